#!/usr/bin/env bash
# Shows what the library does: the page addresses for a sample server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
echo "qelv_dorevivi demo"
"$root/tools/wine-run.sh" "$root/build/win32/qelvcall.exe" || true
