#!/bin/bash
# NICSHOW on real interfaces in a network namespace; see netns_report.py.
source "$(dirname "$0")/lib.sh" "$1"
exec python3 "$(dirname "$0")/netns_report.py" "$1"
