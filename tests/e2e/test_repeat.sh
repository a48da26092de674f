#!/bin/bash
# The command as the shell runs it: loaded once, run many times in one process, on a test
# host (scripts/testhosts.sh). Every run must leave nothing behind that changes the next
# one, and nothing that piles up:
#   - 1,000 runs of NICSHOW /A into a file: every run's output byte for byte the first's,
#     every exit code 0;
#   - 200 runs of a bad argument: the same message each time, every exit code 1;
#   - 200 runs of NICSHOW /P in a terminal of 24 rows, each prompt answered with "a";
# and after the last run of each, the process's handles and heap no more than after run
# 10 plus a small slack: HANDLE_SLACK more handles (the launcher's next_handle probe:
# Wine hands out the lowest free handle, so a leaked one pushes it up) and HEAP_SLACK
# more bytes in use in the process's heaps.
source "$(dirname "$0")/lib.sh" "$1"
need_terminal_on_test_host "the repeated-run tests" repeat
DLL=$NICSHOW_DLL
HANDLE_SLACK=4
HEAP_SLACK=16384
TMP=$(mktemp -d)

start_test_host_until_exit

# check_repeat WHAT ERR_FILE RUNS CODE: the --timing lines of ERR_FILE say RUNS measured
# runs, all with exit code CODE, and the probes after run 10 and after the last run lie
# within the slack. Prints one ok or FAIL line per check.
check_repeat() {
    python3 - "$@" "$HANDLE_SLACK" "$HEAP_SLACK" <<'PY'
import re, sys
what, err, runs, code, handle_slack, heap_slack = sys.argv[1:]
text = open(err, encoding="utf-8", errors="replace").read()
fails = 0
def check(name, ok, detail):
    global fails
    print(("ok: " if ok else "FAIL: ") + "%s: %s" % (what, name) + ("" if ok else "\n  " + detail))
    fails += not ok
timing = re.search(r"^timing: runs=(\d+) ", text, re.M)
check("%s measured runs" % runs, bool(timing) and timing.group(1) == runs,
      "timing line: %r" % (timing.group(0) if timing else None))
exits = re.search(r"^exits:(.*?)\r?$", text, re.M)
check("every exit code %s" % code, bool(exits) and exits.group(1) == " %s=%s" % (code, runs),
      "exits line: %r" % (exits.group(0) if exits else None))
probes = {int(m.group(1)): (int(m.group(2), 16), int(m.group(3)))
          for m in re.finditer(r"^probe: after_run=(\d+) next_handle=0x([0-9A-F]+) "
                               r"heap_busy_bytes=(\d+) ", text, re.M)}
last = int(runs)
if 10 not in probes or last not in probes:
    check("probes after run 10 and run %d" % last, False, "probes: %r" % probes)
else:
    (h10, b10), (hn, bn) = probes[10], probes[last]
    check("handles after run %d: %#x, after run 10: %#x, slack %s" % (last, hn, h10, handle_slack),
          hn <= h10 + 4 * int(handle_slack), "")
    check("heap after run %d: %d bytes, after run 10: %d, slack %s" % (last, bn, b10, heap_slack),
          bn <= b10 + int(heap_slack), "")
sys.exit(1 if fails else 0)
PY
    [ $? -eq 0 ] || FAILS=$((FAILS + 1))
}

# 1,000 runs of /A into a file, against one run in a process of its own.
in_ns "$WINE" nicshow-host.exe --set noloadmsg=1 $DLL nicshow /A >"$TMP/one" 2>"$TMP/one.err"
expect_eq "one run of /A: exit code 0, nothing on stderr" "0:" "$?:$(cat "$TMP/one.err")"
in_ns "$WINE" nicshow-host.exe --set noloadmsg=1 --repeat 1000 --timing $DLL nicshow /A \
    >"$TMP/many" 2>"$TMP/many.err"
expect_eq "1,000 runs of /A: the launcher's exit code" "0" "$?"
# The warm-up run of --timing writes its report too: 1,001 copies.
expect_eq "1,000 runs of /A: every report byte for byte the first (and the one run's)" "yes" \
    "$(python3 -c '
import sys
one, many = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
print("yes" if one and many == one * 1001 else
      "no: %d bytes against 1001 x %d" % (len(many), len(one)))' "$TMP/one" "$TMP/many")"
expect_eq "1,000 runs of /A: a listing of the test host" "yes" \
    "$(grep -q '^   IPv4 address . . . . . . :  192.0.2.10' "$TMP/one" && echo yes || echo no)"
check_repeat "1,000 runs of /A" "$TMP/many.err" 1000 0

# 200 runs of a bad argument: nothing on standard output, the same message 201 times.
in_ns "$WINE" nicshow-host.exe --set noloadmsg=1 --repeat 200 --timing $DLL nicshow /Z \
    >"$TMP/bad" 2>"$TMP/bad.err"
expect_eq "200 runs of /Z: the launcher's exit code, nothing on stdout" "1:" "$?:$(cat "$TMP/bad")"
message=$'Nicshow plugin: Unknown option: "/Z"\r'
expect_eq "200 runs of /Z: the message once per run and the warm-up" "201 201" \
    "$(grep -c . <(grep -v -e '^timing: ' -e '^exits:' -e '^probe: ' "$TMP/bad.err")) $(grep -cxF "$message" "$TMP/bad.err")"
check_repeat "200 runs of /Z" "$TMP/bad.err" 200 1

# 200 runs of /P in a terminal, each prompt answered as it comes: prompts are counted in
# the stream the terminal receives (the screen looks the same at every prompt).
tmux_start_sh paged 80 24 "$WINE nicshow-host.exe --set noloadmsg=1 --repeat 200 --timing $DLL nicshow /P 2>$TMP/paged.err"
_tmux pipe-pane -t paged -o "cat >>$TMP/paged.log"
prompts() { grep -o 'Press a key to continue' "$TMP/paged.log" 2>/dev/null | wc -l; }
answered=0
for ((i = 1; i <= 201; i++)); do
    for ((t = 0; t < 600 && $(prompts) < i; t++)); do
        sleep 0.05
    done
    [ "$(prompts)" -ge "$i" ] || break
    tmux_keys paged a
    answered=$i
done
rc=$(tmux_wait_exit paged 60)
expect_eq "200 runs of /P in 24 rows: every prompt answered, the launcher's exit code" \
    "201 prompts, 0" "$answered prompts, $rc"
expect_eq "200 runs of /P: one prompt a run, the warm-up's included" "201" "$(prompts)"
check_repeat "200 runs of /P in a terminal" "$TMP/paged.err" 200 0

finish
