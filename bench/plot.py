#!/usr/bin/python3
"""The Wine benchmark of one build as a plot: bench/plot.py BENCH-WINE.TSV OUT.PNG ARCH

Milliseconds per run against the interfaces of the test hosts, both axes logarithmic: the
command in a loaded host (basic and /A), each beside its floor (the IP Helper calls of a
run alone), and ipconfig /all as a whole process. The medians are those that
scripts/bench-wine.sh writes. Debian's matplotlib, drawn without a display (Agg)."""
import csv
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402  (the backend is chosen first)
from matplotlib.ticker import (FixedFormatter, FixedLocator, FuncFormatter,  # noqa: E402
                               LogLocator, NullFormatter, NullLocator)

# program in the table, label, colour, line style, marker; each floor dashed on top of
# its command in a darker shade, since the two lie within a few per cent of each other
SERIES = [
    ("loaded", "nicshow, loaded host", "tab:blue", "-", "o"),
    ("rfloor", "its floor (the IP Helper calls alone)", "#08306b", "--", None),
    ("loaded_a", "nicshow /A, loaded host", "tab:orange", "-", "s"),
    ("rfloor_a", "its floor", "#7f2704", "--", None),
    ("ipconfig", "ipconfig /all, whole process", "tab:red", "-", "^"),
]


def read_medians(path):
    medians, rounds = {}, set()
    with open(path, newline="") as f:
        for row in csv.DictReader(f, delimiter="\t"):
            medians.setdefault(row["program"], {})[int(row["interfaces"])] = \
                float(row["median_ms"])
            rounds.add(int(row["rounds"]))
    return medians, rounds


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: bench/plot.py BENCH-WINE.TSV OUT.PNG ARCH")
    tsv, png, arch = sys.argv[1:]
    try:
        medians, rounds = read_medians(tsv)
    except (OSError, KeyError, ValueError) as e:
        sys.exit("bench/plot.py: %s: not a bench-wine table (%s)" % (tsv, e))
    missing = [p for p, *_ in SERIES if p not in medians]
    if missing:
        sys.exit("bench/plot.py: %s: no medians of %s" % (tsv, ", ".join(missing)))
    interfaces = sorted(medians["loaded"])
    if any(sorted(medians[p]) != interfaces for p, *_ in SERIES):
        sys.exit("bench/plot.py: %s: the programs were not measured on the same test hosts"
                 % tsv)

    fig, ax = plt.subplots(figsize=(6.4, 4.2), dpi=100)
    for program, label, colour, style, marker in SERIES:
        ax.plot(interfaces, [medians[program][i] for i in interfaces], label=label,
                color=colour, linestyle=style, marker=marker, linewidth=1.5 if marker else 1.2,
                zorder=2 if marker else 3)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.xaxis.set_major_locator(FixedLocator(interfaces))
    ax.xaxis.set_major_formatter(FixedFormatter([str(i) for i in interfaces]))
    ax.xaxis.set_minor_locator(NullLocator())
    ax.xaxis.set_minor_formatter(NullFormatter())
    # 1, 2 and 5 in each decade, so that a range of less than a decade is labelled too
    ax.yaxis.set_major_locator(LogLocator(base=10, subs=(1.0, 2.0, 5.0)))
    ax.yaxis.set_major_formatter(FuncFormatter(lambda v, _: "%g" % v))
    ax.yaxis.set_minor_formatter(NullFormatter())
    ax.set_xlabel("interfaces on the test host")
    ax.set_ylabel("milliseconds per run")
    ax.set_title("NICSHOW under Wine, %s build (medians of %s rounds)"
                 % (arch, "/".join(str(r) for r in sorted(rounds))), fontsize=10)
    ax.grid(True, which="major", linewidth=0.4, alpha=0.6)
    ax.legend(fontsize=8, loc="best")
    fig.tight_layout()
    # No software version in the file, so the same medians give the same bytes.
    try:
        fig.savefig(png, metadata={"Software": None})
    except OSError as e:
        sys.exit("bench/plot.py: %s" % e)


if __name__ == "__main__":
    main()
