#!/usr/bin/env bash
# The bootstrap against a registry in the middle of a sync: a local file
# repository whose index is cut, so that it no longer matches its Release
# file. The bootstrap tries again, then says in one line which index did
# not load; what the loaded indexes hold is still installed.
set -uo pipefail
: "${SOURCE_DIR:?}"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"

if [ "$(id -u)" -ne 0 ]; then
  not_run "the bootstrap against a cut index (5 rows)" "installing a package needs root"
  check_summary bootstrap_registry
fi

# repo NAME PACKAGE: a flat repository holding one empty package.
repo() {
  local dir=$work/$1 pkg=$2
  mkdir -p "$dir/src/DEBIAN"
  printf 'Package: %s\nVersion: 1.0\nArchitecture: all\nMaintainer: qelv <qelv@localhost>\nDescription: bootstrap test\n' \
    "$pkg" >"$dir/src/DEBIAN/control"
  dpkg-deb -b "$dir/src" "$dir/$pkg.deb" >/dev/null
  { cat "$dir/src/DEBIAN/control"
    echo "Filename: ./$pkg.deb"
    echo "Size: $(stat -c %s "$dir/$pkg.deb")"
    echo "SHA256: $(sha256sum "$dir/$pkg.deb" | cut -d' ' -f1)"
  } >"$dir/Packages"
  { echo "Date: $(date -Ru)"
    echo "SHA256:"
    echo " $(sha256sum "$dir/Packages" | cut -d' ' -f1) $(stat -c %s "$dir/Packages") Packages"
  } >"$dir/Release"
  echo "deb [trusted=yes] file:$dir ./" >>"$work/sources.list"
}
repo whole qelv-probe-whole
repo cut qelv-probe-cut
truncate -s -10 "$work/cut/Packages"

mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
export QELV_APT_OPTIONS="-o Dir::Etc::sourcelist=$work/sources.list -o Dir::Etc::sourceparts=- \
-o Dir::State::Lists=$work/lists -o Dir::Cache=$work/cache -o APT::Sandbox::User=root"
export QELV_APT_TRIES=2 QELV_APT_PAUSE=0

QELV_BOOTSTRAP_PACKAGES="qelv-probe-whole qelv-probe-cut" \
  "$SOURCE_DIR/tools/bootstrap.sh" >"$work/out" 2>"$work/err"
rc=$?
[ "$rc" -ne 0 ]; check "a package only the cut index holds stops the bootstrap"
[ "$(grep -c 'in the middle of a sync' "$work/err")" -eq 1 ] &&
  grep -q "file:$work/cut.*Packages.*did not load" "$work/err"
check "one line names the index that did not load"
dpkg-query -W -f='${Status}' qelv-probe-whole 2>/dev/null | grep -q 'install ok installed'
check "what the loaded index holds is installed all the same"

QELV_BOOTSTRAP_PACKAGES="qelv-probe-whole" "$SOURCE_DIR/tools/bootstrap.sh" >/dev/null 2>&1
check "with it installed, the bootstrap goes on"
dpkg -r qelv-probe-whole >/dev/null 2>&1
QELV_BOOTSTRAP_PACKAGES="qelv-probe-whole" "$SOURCE_DIR/tools/bootstrap.sh" >/dev/null 2>"$work/err"
installed=$?
said=$(tail -1 "$work/err")
[ "$installed" -eq 0 ]
check "a package the loaded indexes hold is installed in spite of the cut one: $said"
dpkg -r qelv-probe-whole >/dev/null 2>&1

check_summary bootstrap_registry
