#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in the build tree's own prefix.
# Used as the cross-compiling emulator, so ctest runs the Windows tests through it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts on a machine without network.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY WAYLAND_DISPLAY
# Names what the prefix was set up with; a prefix made before a new step
# gets the steps again.
ready="$WINEPREFIX/.qelv-ready-null-nodebugger"
if [ ! -f "$ready" ]; then
  # Parallel tests may arrive here together; only one of them builds the prefix.
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$ready" ]; then
      wineboot --init >/dev/null 2>&1 || true
      # No display here: the null graphics driver, or Wine looks for one on
      # every drawing context, which made each call several times slower.
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
      # No crash debugger: without a display it waits for ever, so a program
      # that faults would hang instead of ending with the fault's code.
      wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
      wineserver --wait || true
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
