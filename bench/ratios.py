#!/usr/bin/env python3
"""Prints named ratios and times from Google Benchmark JSON output.

usage: ratios.py [--check] RESULTS.json|- SPEC...

SPEC is one of
  'LABEL=NUM/DEN'          ratio of the real time of benchmark NUM to DEN
  'LABEL=NUM/DEN<=LIMIT'   the same, marked "over" when above LIMIT
  'LABEL=NAME<=LIMITunit'  the real time of one benchmark against a limit
                           given in ns, us, ms or s (e.g. 50us)
  'LABEL=NAME'             the real time of one benchmark

Benchmark names are matched exactly, or by prefix up to the first '/'
(so 'BM_Save' matches 'BM_Save/real_time'). Aggregates (mean, median) are
used when present, the mean first. With --check the exit status is 1 when a
limit is missed.

Produce the JSON with: bench_xyz --benchmark_out=xyz.json
"""
import json
import re
import sys

UNITS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(path):
    with (sys.stdin if path == "-" else open(path)) as f:
        data = json.load(f)
    times = {}
    for b in data.get("benchmarks", []):
        if b.get("error_occurred"):
            continue
        name = b.get("run_name", b["name"])
        aggregate = b.get("aggregate_name", "")
        if aggregate and aggregate != "mean":
            continue
        ns = b["real_time"] * UNITS[b.get("time_unit", "ns")]
        # A mean overrides single runs of the same name.
        if aggregate == "mean" or name not in times:
            times[name] = ns
    return times


def lookup(times, name):
    if name in times:
        return times[name]
    for full, ns in times.items():
        if full.split("/")[0] == name:
            return ns
    raise KeyError(name)


def format_ns(ns):
    for unit in ("s", "ms", "us"):
        if ns >= UNITS[unit]:
            return "%.3g %s" % (ns / UNITS[unit], unit)
    return "%.3g ns" % ns


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    if len(args) < 2:
        sys.stderr.write(__doc__)
        return 2
    times = load(args[0])
    missed = False
    for spec in args[1:]:
        m = re.fullmatch(r"([^=]+)=([^/<]+)(?:/([^<]+))?(?:<=(.+))?", spec)
        if not m:
            sys.stderr.write("bad spec: %s\n" % spec)
            return 2
        label, num, den, limit = m.groups()
        try:
            if den:
                value = lookup(times, num) / lookup(times, den)
                text = "%.2fx" % value
                bound = float(limit) if limit else None
                limit_text = "%gx" % bound if limit else ""
            else:
                value = lookup(times, num)
                text = format_ns(value)
                bound = None
                if limit:
                    u = re.fullmatch(r"([0-9.]+)\s*(ns|us|ms|s)", limit)
                    if not u:
                        sys.stderr.write("bad limit: %s\n" % limit)
                        return 2
                    bound = float(u.group(1)) * UNITS[u.group(2)]
                limit_text = limit or ""
        except KeyError as missing:
            print("%-32s missing benchmark %s" % (label, missing))
            missed = True
            continue
        verdict = ""
        if bound is not None:
            ok = value <= bound
            missed |= not ok
            verdict = "  (limit %s: %s)" % (limit_text, "ok" if ok else "OVER")
        print("%-32s %s%s" % (label, text, verdict))
    return 1 if (check and missed) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
