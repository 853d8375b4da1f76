#!/usr/bin/env bash
# Wine 10 from Debian 13, beside the Wine 8 of the machine: a debootstrap of
# trixie in build/trixie, made once as root and reused, with Wine for both
# architectures from the same registry. The label store takes other
# branches there (Wine 10 has POSIX deletes), so the Windows test programs
# and the label scripts run under both.
#   tools/wine10.sh ready   exit 0 when the chroot can run, else says why
#   tools/wine10.sh make    makes it (root), or says by name why it cannot
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
chroot_dir=$root/build/trixie
stamp=$chroot_dir/.qelv-wine10-ready
mirror=${QELV_TRIXIE_MIRROR:-http://deb.debian.org/debian}

cannot() { echo "NOT RUN: Wine 10 ($1)" >&2; exit 77; }

case "${1:-}" in
ready)
  [ -f "$stamp" ] || cannot "no chroot yet: tools/wine10.sh make"
  [ "$(id -u)" -eq 0 ] || cannot "running in the chroot needs root"
  unshare -m true 2>/dev/null || cannot "no mount namespace here: give the container --cap-add SYS_ADMIN"
  ;;
make)
  [ -f "$stamp" ] && exit 0
  [ "$(id -u)" -eq 0 ] || cannot "making the chroot needs root"
  unshare -m true 2>/dev/null || cannot "no mount namespace here: give the container --cap-add SYS_ADMIN"
  command -v debootstrap >/dev/null || cannot "debootstrap is missing: run tools/bootstrap.sh"
  echo "wine10: making $chroot_dir (Debian 13 and its Wine, once)"
  rm -rf "$chroot_dir"
  debootstrap --variant=minbase trixie "$chroot_dir" "$mirror" >"$root/build/trixie.log" 2>&1 ||
    cannot "debootstrap of trixie failed: see build/trixie.log"
  chroot "$chroot_dir" sh -c 'dpkg --add-architecture i386 && apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine wine32:i386 wine64 locales &&
    localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8' \
    >>"$root/build/trixie.log" 2>&1 || cannot "Wine 10 could not be installed: see build/trixie.log"
  touch "$stamp"
  ;;
*)
  echo "usage: tools/wine10.sh ready|make" >&2
  exit 2
  ;;
esac
