#!/usr/bin/env bash
# Runs each architecture's export_bench under Wine in a scratch folder, with
# every CPU kept from idling by a spinner that yields at once (nice 19). An
# idle CPU halts (a virtual machine's too), and waking it costs each Wine
# server round trip tens of microseconds that a running one does not: an
# export makes more round trips than the floor it is measured against, so
# idle CPUs inflate its ratio by whatever waking costs on that machine. A
# spinner that only yields gives way to any thread that can run; a plain
# busy loop does not (it held its CPU for whole scheduler ticks here, and
# every figure grew to milliseconds).
# Usage: tools/bench_exports.sh PRESET...
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
spinners=()
trap 'kill "${spinners[@]}" 2>/dev/null || true' EXIT
for _ in $(seq "$(nproc)"); do
  nice -n 19 python3 -c 'import os
while True: os.sched_yield()' &
  spinners+=($!)
done
echo "($(nproc) CPUs kept from idling by yielding spinners at nice 19)"
for preset in "$@"; do
  echo "$preset:"
  scratch=$(mktemp -d)
  status=0
  (cd "$scratch" && "$root/tools/wine-run.sh" "$root/build/$preset/export_bench.exe") || status=$?
  rm -rf "$scratch"
  [ "$status" -eq 0 ] || exit "$status"
done
