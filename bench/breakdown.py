#!/usr/bin/env python3
"""Medians of each start step from the marks files scripts/bench.sh --breakdown
collects: one file a start, holding "launched <Unix us>" and "seen <Unix us>"
from the driver, and from the program "process_created <Unix us>" then
"<mark name> <us since the process was created>" lines.

  breakdown.py PRESET LOAD FILE... -- FILE...   (velmora.exe's starts, then the floor's)
"""
import datetime
import os
import platform
import statistics
import sys


def steps_of(path):
    """One start's steps as (name, ms since launch), in time order; a repeated
    mark is numbered. None when the driver's own lines are missing."""
    launched = created = seen = None
    marks, count = [], {}
    for line in open(path, encoding="latin-1"):
        name, _, value = line.strip().rpartition(" ")
        if not name:
            continue
        value = int(value)
        if name == "launched":
            launched = value
        elif name == "seen":
            seen = value
        elif name == "process_created":
            created = value
        else:
            count[name] = count.get(name, 0) + 1
            marks.append((name if count[name] == 1 else "%s#%d" % (name, count[name]), value))
    if launched is None or seen is None:
        return None
    steps = []
    if created is not None:
        steps.append(("process created (wine-run.sh, Wine)", (created - launched) / 1000))
        steps += [(name, (created + us - launched) / 1000) for name, us in marks]
    steps.append(("window seen (polled every 20 ms)", (seen - launched) / 1000))
    return sorted(steps, key=lambda s: s[1])


def table(title, paths):
    runs = [s for s in map(steps_of, paths) if s]
    at, took = {}, {}
    for steps in runs:
        before = 0.0
        for name, ms in steps:
            at.setdefault(name, []).append(ms)
            took.setdefault(name, []).append(ms - before)
            before = ms
    lines = ["%s: %d starts, ms since launch" % (title, len(runs))]
    if not runs:
        return lines + ["  no start completed"]
    head = ("step", "at", "step took", "IQR of step", "n")
    rows = []
    for name in sorted(at, key=lambda n: statistics.median(at[n])):
        t = sorted(took[name])
        q = statistics.quantiles(t, n=4, method="inclusive") if len(t) >= 4 else (t[0], t[-1], t[-1])
        rows.append((name, "%.1f" % statistics.median(at[name]), "%.1f" % statistics.median(t),
                     "%.1f-%.1f" % (q[0], q[2]), str(len(t))))
    widths = [max(len(r[i]) for r in rows + [head]) for i in range(len(head))]
    for r in [head, tuple("-" * w for w in widths)] + rows:
        lines.append("  " + "  ".join(c.ljust(widths[0]) if i == 0 else c.rjust(widths[i])
                                      for i, c in enumerate(r)))
    return lines


def main(argv):
    preset, load = argv[1], argv[2].split()
    files = argv[3:]
    split = files.index("--") if "--" in files else len(files)
    print("Velmora start breakdown %s, %s, %d cores, %s build; load average %s at start, %s at end"
          % (datetime.date.today().isoformat(), platform.machine(), os.cpu_count(), preset,
             "/".join(load[:3]), "/".join(load[3:6])))
    print("(each step's time is from the step before it in the same start; medians over the starts)")
    for title, paths in (("velmora.exe", files[:split]), ("floor_window.exe", files[split + 1:])):
        print("\n".join(table(title, paths)))


if __name__ == "__main__":
    main(sys.argv)
