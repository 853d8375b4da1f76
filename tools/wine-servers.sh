#!/usr/bin/env bash
# Stops the Wine servers tools/wine-run.sh keeps for the build tree's
# prefixes: at the end of a run, and before the tree is removed, since a
# server left for a removed prefix would serve a new one that got its inode.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
command -v wineserver >/dev/null || exit 0
for prefix in "$root"/build/*prefix* "$root"/build/*/*prefix*; do
  [ -d "$prefix/dosdevices" ] || continue
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
done
