#!/usr/bin/env bash
# Runs each architecture's export_bench under Wine in a scratch folder, with
# every CPU kept busy by a spinner at the lowest priority (nice 19). An idle
# CPU sleeps, and waking it costs each Wine server round trip tens of
# microseconds that a busy one does not: an export makes more round trips
# than the floor it is measured against, so idle CPUs inflate its ratio by
# whatever the machine's sleep states cost. The spinners yield to any real
# work, so neither side waits for them either.
# Usage: tools/bench_exports.sh PRESET...
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
spinners=()
trap 'kill "${spinners[@]}" 2>/dev/null || true' EXIT
for _ in $(seq "$(nproc)"); do
  nice -n 19 bash -c 'while :; do :; done' &
  spinners+=($!)
done
echo "($(nproc) CPUs kept busy by spinners at nice 19)"
for preset in "$@"; do
  echo "$preset:"
  scratch=$(mktemp -d)
  status=0
  (cd "$scratch" && "$root/tools/wine-run.sh" "$root/build/$preset/export_bench.exe") || status=$?
  rm -rf "$scratch"
  [ "$status" -eq 0 ] || exit "$status"
done
