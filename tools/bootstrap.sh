#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine.
# Idempotent: does nothing when every package is already there.
set -euo pipefail

packages=(
  cmake ninja-build make g++ pkg-config
  g++-mingw-w64-i686 binutils-mingw-w64-i686  # the x86 DLL
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64  # the x64 DLL
  wine wine32:i386 wine64  # each tested in a prefix of its own
  libgtest-dev libgmock-dev
  python3 zbar-tools imagemagick python3-fontforge fontforge
  python3-pefile  # an independent reader of the shipped images
  llvm lld clang  # the import library in MSVC's format, and an MSVC-style test link
  libclang-rt-14-dev  # libFuzzer and the sanitizers for clang
  osslsigncode openssl unzip  # make dist: signing, its test, the archive's test
  gdb  # the guide's crash recipe, tested on the archive's symbols
  libbenchmark-dev libzint-dev  # make bench: our encoders against libzint
  debootstrap  # Debian 13 with Wine 10 beside Wine 8, for the store's other branches
  locales  # a Japanese locale, so Wine runs under code page 932 and names files in it
)

# Wine takes the ANSI code page from the locale, and names files on disk
# through it: a label test runs under code page 932.
japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  [ "$(id -u)" -eq 0 ] && localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8 2>/dev/null
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' ||
    { echo "bootstrap: the locale ja_JP.UTF-8 is missing; run as root to make it" >&2; return 1; }
}

# The registry test names packages of its own.
[ -n "${QELV_BOOTSTRAP_PACKAGES:-}" ] && read -ra packages <<<"$QELV_BOOTSTRAP_PACKAGES"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then japanese_locale; exit; fi

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi

# A registry in the middle of a sync serves an index that does not match
# its Release file for a while; apt then leaves that index out and says so
# only in its output (its status is still 0). Tries a few times with a
# pause, and names the first index that would not load.
APT_OPTIONS=(${QELV_APT_OPTIONS:-})
UPDATE_TRIES=${QELV_APT_TRIES:-4}
UPDATE_PAUSE=${QELV_APT_PAUSE:-20}
unloaded=""
update_indexes() {
  local try out
  for ((try = 1; try <= UPDATE_TRIES; try++)); do
    out=$(apt-get "${APT_OPTIONS[@]}" update -qq 2>&1) || true
    unloaded=$(printf '%s\n' "$out" | sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' | head -n 1)
    [ -z "$unloaded" ] && return 0
    [ "$try" -lt "$UPDATE_TRIES" ] && sleep "$UPDATE_PAUSE"
  done
  return 1
}

install_packages() {
  apt-get "${APT_OPTIONS[@]}" install -y -qq --no-install-recommends "$@"
}

# Without the unloaded index one architecture of its suite is older than
# the other, and the two halves of a library must have one version: the
# suite is set aside, and the versions of the suites that loaded whole are
# taken (also where the suite that did not load had a newer one).
install_without_unloaded_suite() {
  local suite prefs other
  suite=$(printf '%s\n' "$unloaded" | sed -n 's|.*/dists/\([^/]*\)/.*|\1|p')
  [ -n "$suite" ] || return 1
  prefs=$(mktemp)
  printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\n' "$suite" >"$prefs"
  for other in $(apt-get "${APT_OPTIONS[@]}" indextargets --format '$(CODENAME)' | sort -u); do
    [ "$other" = "$suite" ] || printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n\n' "$other" >>"$prefs"
  done
  apt-get "${APT_OPTIONS[@]}" -o Dir::Etc::Preferences="$prefs" install -y -qq \
    --no-install-recommends --allow-downgrades "$@" >/dev/null 2>&1
  local status=$?
  rm -f "$prefs"
  return $status
}

mid_sync() {
  echo "bootstrap: the package registry is in the middle of a sync ($unloaded did not load); $1" >&2
}

echo "bootstrap: installing ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
if update_indexes; then
  install_packages "${missing[@]}"
elif install_packages "${missing[@]}" >/dev/null 2>&1; then
  :
elif install_without_unloaded_suite "${missing[@]}"; then
  mid_sync "installed without its suite; run the command again in a few minutes for that suite's updates"
else
  # What the loaded indexes can give is installed still; what needs the
  # index that did not load waits for the registry.
  for p in "${missing[@]}"; do install_packages "$p" >/dev/null 2>&1 || true; done
  mid_sync "run the command again in a few minutes"
  exit 1
fi
japanese_locale
