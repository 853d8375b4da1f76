#!/usr/bin/env bash
# Packs the commit that is checked out (not uncommitted changes) into
# qelv_dorevivi-<version>-win32-x86.zip and qelv_dorevivi-<version>-win64-x64.zip,
# each with its .sha256: the install layout of that build with the binaries
# stripped, their symbols in symbols/ (split DWARF with a debug link, and
# the PDB), signed when asked.
#
# The commit is exported (git archive: nothing is registered in the clone)
# to one fixed path and built there: the PDB records the object files'
# paths, so every checkout must build at the same path to give the same
# bytes. Checkouts packing at once take the fixed path in turn, under its
# lock (no mount namespace, which a container may not grant); the build then
# moves to build/release/ of this checkout, for the archive test.
# Usage: tools/dist.sh OUT_DIR
#   SIGN_PFX=cert.pfx SIGN_PASS_FILE=pass.txt [SIGN_TIMESTAMP_URL=...]: sign
#   QELV_COMPANY=... QELV_SUPPORT=...: the company and support contact the
#   binaries name
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
fixed=/tmp/qelv_dorevivi-release
own=$root/build/release

# The fourth version field counts the commits: a shallow clone would number
# its build from what it happens to hold.
if [ "$(git -C "$root" rev-parse --is-shallow-repository)" = true ]; then
  echo "dist: a shallow clone cannot number the release; fetch its history first (git fetch --unshallow)" >&2
  exit 1
fi
"$root/tools/sign.sh" --check

mkdir -p "$root/build"
exec 9>"$root/build/.release.lock"
flock 9
exec 8>"$fixed.lock"
flock 8
rm -rf "$own" "$fixed"
mkdir -p "$fixed/src"
git -C "$root" archive HEAD | tar -x -C "$fixed/src"
commit_time=$(git -C "$root" log -1 --format=%ct)
version_args=(-DQELV_BUILD_NUMBER="$(git -C "$root" rev-list --count HEAD)"
              -DQELV_COMMIT="$(git -C "$root" rev-parse --short=12 HEAD)"
              -DQELV_COMMIT_TIME="$commit_time")
# Who ships the kit and where its users get help (the defaults say "the
# qelv_dorevivi developers" and "the supplier of this kit").
[ -z "${QELV_COMPANY:-}" ] || version_args+=(-DQELV_COMPANY="$QELV_COMPANY")
[ -z "${QELV_SUPPORT:-}" ] || version_args+=(-DQELV_SUPPORT="$QELV_SUPPORT")
# preset, archive suffix, binutils prefix: one row per architecture.
builds=("win32 win32-x86 i686-w64-mingw32" "win64 win64-x64 x86_64-w64-mingw32")
for row in "${builds[@]}"; do
  read -r preset _ _ <<<"$row"
  (cd "$fixed/src" &&
   cmake --preset "$preset" "${version_args[@]}" >/dev/null &&
   cmake --build --preset "$preset" --target qelv_dorevivi qelvcall qelv_import_library qelv_fonts >/dev/null &&
   cmake --install "build/$preset" --prefix ../install-"$preset" >/dev/null)
done
mv "$fixed" "$own"
flock -u 8

# One archive from one build's install layout (the python steps stay at the
# left margin: their here-documents end there).
pack() {
local preset=$1 suffix=$2 binutils=$3
local build=$own/src/build/$preset installed=$own/install-$preset version name stage binary
version=$(sed -n 's/^#define QELV_VERSION "\(.*\)"$/\1/p' "$build/include/qelv_version.h")
name=qelv_dorevivi-$version-$suffix
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
cp -r "$installed" "$stage"

# Strip first, sign last: a signature covers the bytes that ship.
export SOURCE_DATE_EPOCH=0
for binary in qelv_dorevivi.dll qelvcall.exe; do
  "$binutils-objcopy" --only-keep-debug "$stage/bin/$binary" "$stage/symbols/$binary.debug"
  (cd "$stage/symbols" &&
   "$binutils-objcopy" --strip-all --add-gnu-debuglink="$binary.debug" "$stage/bin/$binary")
  python3 "$root/tools/pe_stamp.py" "$stage/bin/$binary" "$commit_time"
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
# What was released from what, and who signed it: the commit time is the
# stamp the guide's comparison of a signed binary with a rebuild needs.
{
  echo "qelv_dorevivi $version ($suffix)"
  echo "commit: $(git -C "$root" rev-parse HEAD)"
  echo "commit time (TimeDateStamp): $commit_time"
  if [ -n "${SIGN_PFX:-}" ]; then
    echo "signed by:"
    "$root/tools/sign.sh" --signer | sed 's/^/  /'
    echo "  timestamp server: ${SIGN_TIMESTAMP_URL:-none (the signature expires with the certificate)}"
  else
    echo "not signed"
  fi
} | sed 's/$/\r/' >"$stage/RELEASE-NOTES.txt"
if [ -n "${SIGN_PFX:-}" ]; then
  "$root/tools/sign.sh" "$stage/bin/qelv_dorevivi.dll" "$stage/bin/qelvcall.exe"
fi

# Every entry dated at the commit, in name order, with the same mode.
epoch=$commit_time
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
}
for row in "${builds[@]}"; do
  # shellcheck disable=SC2086
  pack $row
done
