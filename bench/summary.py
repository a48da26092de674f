#!/usr/bin/env python3
"""The in-process benchmarks in one table: bench/summary.py RESULTS.json

Medians over the repetitions: time per adapter of the run and of the platform calls alone
(the floor), their difference (the plug-in's own work with the simulated host), host
calls per line and heap blocks per run."""
import json
import sys


def main():
    data = json.load(open(sys.argv[1]))
    rows = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        family, mode, size = b["run_name"].split("/")
        rows[(family, mode, int(size))] = b
    sizes = sorted({k[2] for k in rows})
    print("in process (simulated platform), medians; per adapter in microseconds of CPU time")
    print("%8s | %9s %9s %9s %6s %6s | %9s %9s %9s %6s %6s" % (
        "adapters", "run", "floor", "own", "calls", "heap",
        "run /A", "floor /A", "own /A", "calls", "heap"))
    for n in sizes:
        cells = []
        for mode in ("basic", "detailed"):
            run = rows.get(("run", mode, n))
            floor = rows.get(("platform_floor", mode, n))
            if not run or not floor:
                cells.append("%9s %9s %9s %6s %6s" % ("-", "-", "-", "-", "-"))
                continue
            r = run["per_adapter"] * 1e6
            f = floor["per_adapter"] * 1e6
            cells.append("%9.2f %9.2f %9.2f %6.2f %6d" % (
                r, f, r - f, run["host_calls_per_line"], run["heap_blocks"]))
        print("%8d | %s | %s" % (n, cells[0], cells[1]))
    print("calls: host service calls per line end; heap: HeapAlloc blocks of one run;"
          " own: run - floor")


if __name__ == "__main__":
    main()
