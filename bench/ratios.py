"""Prints ours / libzint for every benchmark pair of bench/encoders_bench.

Reads Google Benchmark's JSON on stdin; a name "X_ours/N" pairs with
"X_zint/N". Below 1.0x ours is faster.
"""
import json
import sys

runs = {b["name"]: b["cpu_time"] for b in json.load(sys.stdin)["benchmarks"]}
print("%-28s %12s %12s %8s" % ("encoder, digits", "ours ns", "libzint ns", "ratio"))
for name, ours in runs.items():
    if "_zint" in name:
        continue
    if "_ours" not in name:
        print("%-28s %12.1f" % (name, ours))
        continue
    zint = runs.get(name.replace("_ours", "_zint"))
    if zint:
        ratio = ours / zint
        print("%-28s %12.1f %12.1f %7.2fx %s" % (name.replace("_ours", ""), ours, zint, ratio,
                                                  "ok" if ratio <= 1.0 else "OVER"))
