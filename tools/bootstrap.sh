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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then japanese_locale; exit; fi

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi

echo "bootstrap: installing ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
japanese_locale
