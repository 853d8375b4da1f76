#!/usr/bin/env bash
# Packs a Windows build into qelv_dorevivi-<version>-win32-x86.zip and its
# .sha256: the install layout with the binaries stripped, their symbols in
# symbols/ (split DWARF with a debug link, and the PDB), signed when asked.
# The same commit packs to the same bytes.
# Usage: tools/dist.sh BUILD_DIR OUT_DIR
#   SIGN_PFX=cert.pfx SIGN_PASS_FILE=pass.txt [SIGN_TIMESTAMP_URL=...]: sign
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

version=$(sed -n 's/^#define QELV_VERSION "\(.*\)"$/\1/p' "$build/include/qelv_version.h")
name=qelv_dorevivi-$version-win32-x86
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
cmake --install "$build" --prefix "$stage" >/dev/null

# Strip first, sign last: a signature covers the bytes that ship.
for binary in qelv_dorevivi.dll qelvcall.exe; do
  i686-w64-mingw32-objcopy --only-keep-debug "$stage/bin/$binary" "$stage/symbols/$binary.debug"
  (cd "$stage/symbols" &&
   i686-w64-mingw32-objcopy --strip-all --add-gnu-debuglink="$binary.debug" "$stage/bin/$binary")
done
if [ -n "${SIGN_PFX:-}" ]; then
  "$root/tools/sign.sh" "$stage/bin/qelv_dorevivi.dll" "$stage/bin/qelvcall.exe"
fi

# Every entry dated at the commit, in name order, with the same mode.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
python3 - "$stage" "$out/$name.zip" "$name" "$epoch" <<'PY'
import os, sys, time, zipfile
stage, archive, top, epoch = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip dates start in 1980
paths = sorted(os.path.relpath(os.path.join(d, f), stage)
               for d, _, files in os.walk(stage) for f in files)
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for path in paths:
        entry = zipfile.ZipInfo(top + "/" + path.replace(os.sep, "/"), stamp)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, path), "rb") as f:
            z.writestr(entry, f.read(), compresslevel=9)
PY
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "$out/$name.zip"
cat "$out/$name.zip.sha256"
