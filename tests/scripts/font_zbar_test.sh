#!/usr/bin/env bash
# Font-drawn labels through the real DLL, read by zbar: every file must scan
# as exactly its digits (odd input with its leading 0), under the Western and
# the Chinese (936) ANSI code page. The Chinese one runs in its own prefix,
# so the shared prefix keeps its locale.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"
cd "$work"  # the encoder's log lines go to the current directory

font=$(winpath "$BUILD_DIR/fonts/code128.ttf")
digits=(5 0 1234 00 000000 0000000000 9596979899 93 0050 12345 98765 123456789012 999999999999 000000000000)

# run NAME ACP [env assignments...]: makes the files in $work/NAME and scans them.
run() {
  local name=$1 acp=$2
  shift 2
  local out="$work/$name"
  mkdir -p "$out"
  for d in "${digits[@]}"; do echo "barcodeimage_create_font $d $(winpath "$out/$d.bmp")"; done \
    >"$out/calls.txt"
  env "$@" "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --font "$font" --batch "$(winpath "$out/calls.txt")" \
    | tr -d '\r' >"$out/made.txt"
  local seen
  seen=$(env "$@" "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --version | tr -d '\r' | grep -x "ANSI code page $acp")
  check "$name: expected ANSI code page $acp"
  [ -n "$seen" ] || return 0
  for d in "${digits[@]}"; do
    local want=$d
    [ $((${#d} % 2)) -eq 1 ] && want="0$d"
    made=$(cat "$out/made.txt")
    [ -s "$out/$d.bmp" ]
    check "$name $d: export refused: $made"
    [ -s "$out/$d.bmp" ] || continue
    local got
    got=$(zbar_read "$out/$d.bmp" --raw -Sdisable -Scode128.enable)
    [ "$got" = "$want" ]
    check "$name $d: zbar read '$got', want '$want'"
  done
}

run western 1252
run cp936 936 LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEPREFIX="$BUILD_DIR/wineprefix-cp936"

# The same digits give the same picture whatever the code page.
for d in "${digits[@]}"; do
  cmp -s "$work/western/$d.bmp" "$work/cp936/$d.bmp"
  check "$d: the pictures differ between the code pages"
done

check_summary font_zbar
