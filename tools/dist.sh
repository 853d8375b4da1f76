#!/usr/bin/env bash
# Packs the commit that is checked out (not uncommitted changes) into
# qelv_dorevivi-<version>-win32-x86.zip and its .sha256: the install layout
# with the binaries stripped, their symbols in symbols/ (split DWARF with a
# debug link, and the PDB), signed when asked. The commit is built in one
# fixed folder, whose path the PDB records, so that the same commit packs
# to the same bytes wherever it is checked out; the build stays there.
# Usage: tools/dist.sh OUT_DIR
#   SIGN_PFX=cert.pfx SIGN_PASS_FILE=pass.txt [SIGN_TIMESTAMP_URL=...]: sign
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
release=/tmp/qelv_dorevivi-release

exec 9>"$release.lock"
flock 9
rm -rf "$release"
git -C "$root" worktree prune
git -C "$root" worktree add -f --detach -q "$release" HEAD
trap 'git -C "$root" worktree remove --force "$release" 2>/dev/null || true' ERR
(cd "$release" && cmake --preset win32 >/dev/null &&
 cmake --build --preset win32 --target qelv_dorevivi qelvcall qelv_import_library qelv_test_fonts >/dev/null)
build=$release/build/win32

version=$(sed -n 's/^#define QELV_VERSION "\(.*\)"$/\1/p' "$build/include/qelv_version.h")
name=qelv_dorevivi-$version-win32-x86
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
cmake --install "$build" --prefix "$stage" >/dev/null

# Strip first, sign last: a signature covers the bytes that ship. The
# stripped headers keep the link's zero timestamp.
export SOURCE_DATE_EPOCH=0
for binary in qelv_dorevivi.dll qelvcall.exe; do
  i686-w64-mingw32-objcopy --only-keep-debug "$stage/bin/$binary" "$stage/symbols/$binary.debug"
  (cd "$stage/symbols" &&
   i686-w64-mingw32-objcopy --strip-all --add-gnu-debuglink="$binary.debug" "$stage/bin/$binary")
done
# GNU ld stamps the PDB's info stream (version 20000404, then the stamp,
# age and GUID) with the time of the link. Debuggers match the PDB to the
# DLL by GUID and age, so the stamp is set to zero.
python3 - "$stage/symbols/qelv_dorevivi.pdb" <<'PY'
import sys
path = sys.argv[1]
pdb = bytearray(open(path, "rb").read())
at = pdb.find(bytes.fromhex("942e3101"))
while at >= 0 and pdb[at + 8:at + 12] != bytes.fromhex("01000000"):
    at = pdb.find(bytes.fromhex("942e3101"), at + 1)
if at < 0:
    sys.exit("no PDB info stream in " + path)
pdb[at + 4:at + 8] = bytes(4)
open(path, "wb").write(pdb)
PY
if [ -n "${SIGN_PFX:-}" ]; then
  "$root/tools/sign.sh" "$stage/bin/qelv_dorevivi.dll" "$stage/bin/qelvcall.exe"
fi

# Every entry dated at the commit, in name order, with the same mode.
epoch=$(git -C "$release" log -1 --format=%ct)
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
