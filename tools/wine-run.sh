#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in the build tree's own prefix.
# Used as the cross-compiling emulator, so ctest runs the Windows tests through it.
# A 64-bit program runs in a 64-bit prefix of its own, a 32-bit one in the
# 32-bit prefix; QELV_WINE_ARCH (win32, win64) chooses for commands that
# are not a program file (cmd, reg).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The optional header's magic: 0x20b is PE32+, a 64-bit program.
pe_arch() {
  python3 - "$1" <<'PY' 2>/dev/null || echo win32
import struct, sys
pe = open(sys.argv[1], "rb").read(4096)
at = struct.unpack_from("<I", pe, 0x3C)[0]
print("win64" if pe[:2] == b"MZ" and struct.unpack_from("<H", pe, at + 24)[0] == 0x20B else "win32")
PY
}
if [ -f "${1:-}" ] && [ -z "${QELV_IN_WINE10:-}" ]; then QELV_WINE_ARCH=$(pe_arch "$1"); fi
# QELV_WINE=10: the same program under Debian 13's Wine 10 (tools/wine10.sh),
# in a mount namespace of its own that shows this tree, /tmp and /dev at
# their places; this script then goes on inside it.
if [ "${QELV_WINE:-}" = 10 ] && [ -z "${QELV_IN_WINE10:-}" ]; then
  "$root/tools/wine10.sh" ready
  export QELV_WINE_ARCH=${QELV_WINE_ARCH:-win32} QELV_IN_WINE10=1
  prefix=$root/build/wine10prefix
  [ "$QELV_WINE_ARCH" = win64 ] && prefix=$root/build/wine10prefix64
  export WINEPREFIX=${WINEPREFIX:-$prefix}
  userspec=${QELV_WINE_USER:+--userspec=$QELV_WINE_USER}
  exec unshare -m -- bash -c 'c=$1; shift; here=$1; shift; as_user=$1; shift
    mount --make-rprivate / && mkdir -p "$c$here" &&
    mount --rbind /dev "$c/dev" && mount -t proc proc "$c/proc" &&
    mount --rbind /tmp "$c/tmp" && mount --rbind "$here" "$c$here" || exit 1
    exec chroot $as_user "$c" /bin/bash -c "cd \"\$0\" && exec \"\$@\"" \
      "$PWD" bash "$here/tools/wine-run.sh" "$@"' \
    wine10 "$root/build/trixie" "$root" "$userspec" "$@"
fi
export WINEARCH=${QELV_WINE_ARCH:-win32}
default_prefix=$root/build/wineprefix
[ "$WINEARCH" = win64 ] && default_prefix=$root/build/wineprefix64
export WINEPREFIX=${WINEPREFIX:-$default_prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts on a machine without network.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY WAYLAND_DISPLAY
# Debian's "wine" starts the 32-bit loader whenever it is installed.
loader=wine
[ "$WINEARCH" = win64 ] && loader=/usr/lib/wine/wine64 && export WINELOADER=$loader
# Names what the prefix was set up with; a prefix made before a new step
# gets the steps again.
ready="$WINEPREFIX/.qelv-ready-null-nodebugger"
if [ ! -f "$ready" ]; then
  # Parallel tests may arrive here together; only one of them builds the prefix.
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$ready" ]; then
      "$loader" wineboot --init >/dev/null 2>&1 || true
      # No display here: the null graphics driver, or Wine looks for one on
      # every drawing context, which made each call several times slower.
      "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
      # No crash debugger: without a display it waits for ever, so a program
      # that faults would hang instead of ending with the fault's code.
      "$loader" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
      wineserver --wait || true
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# Under Wine 10 a server keeps the mounts of the namespace it started in:
# a test that mounts a disk between calls asks for a server of its own
# prefix each time.
if [ -n "${QELV_IN_WINE10:-}" ] && [ -n "${QELV_WINE10_FRESH_SERVER:-}" ]; then
  wineserver -k 2>/dev/null || true
# Debian runs the server with -p0: it closes its socket the moment the last
# program of the prefix ends, and a program connecting in that instant has
# its connection reset ("wine client error:0: recvmsg: Connection reset by
# peer"). A prefix of the build tree gets a server that waits a minute for
# the next program instead; it is started here, before any program, so that
# it holds none of the caller's output open (a pipe would wait for it). A
# server already running answers 2 and keeps serving. tools/wine-servers.sh
# stops them when a run ends.
elif [[ "$WINEPREFIX" == "$root/build/"* ]]; then
  detached() {
    (
      for fd in /proc/self/fd/*; do
        n=${fd##*/}
        [ "$n" -gt 2 ] && eval "exec $n>&-"
      done
      exec "$@"
    ) </dev/null >/dev/null 2>&1
  }
  # The first program of a server also starts the prefix's own services,
  # which live as long as the server and keep that program's output open:
  # a quiet program starts them, while the others wait.
  (
    flock 9
    if detached wineserver -p60; then detached "$loader" cmd /c exit || true; fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$loader" "$@"
