#!/usr/bin/env bash
# Font-drawn labels through the real DLL, read by zbar: every file must scan
# as exactly its digits (odd input with its leading 0), under the Western and
# the Chinese (936) ANSI code page. The Chinese one runs in its own prefix,
# so the shared prefix keeps its locale.
set -euo pipefail
: "${BUILD_DIR:?}" "${WINE_RUN:?}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # the encoder's log lines go to the current directory
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

font=$(winpath "$BUILD_DIR/fonts/code128.ttf")
digits=(5 0 1234 00 000000 0000000000 9596979899 93 0050 12345 98765 123456789012 999999999999 000000000000)
failures=0

# run NAME [env assignments...]: makes the files in $work/NAME and scans them.
run() {
  local name=$1 acp=$2
  shift 2
  local out="$work/$name"
  mkdir -p "$out"
  for d in "${digits[@]}"; do echo "barcodeimage_create_font $d $(winpath "$out/$d.bmp")"; done \
    >"$out/calls.txt"
  env "$@" "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --font "$font" --batch "$(winpath "$out/calls.txt")" \
    | tr -d '\r' >"$out/made.txt" || true
  if ! env "$@" "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --version | tr -d '\r' | grep -qx "ANSI code page $acp"; then
    echo "FAIL $name: expected ANSI code page $acp"
    failures=$((failures + 1))
    return
  fi
  for d in "${digits[@]}"; do
    local want=$d
    [ $((${#d} % 2)) -eq 1 ] && want="0$d"
    if [ ! -s "$out/$d.bmp" ]; then
      echo "FAIL $name $d: export refused: $(cat "$out/made.txt")"
      failures=$((failures + 1))
      continue
    fi
    # zbar wants a quiet zone and more than one pixel per module.
    convert "$out/$d.bmp" -bordercolor white -border 20 -scale 400% "$out/$d.png"
    local got
    got=$(zbarimg --quiet --raw -Sdisable -Scode128.enable "$out/$d.png" 2>/dev/null || true)
    if [ "$got" = "$want" ]; then
      echo "ok   $name $d -> $got"
    else
      echo "FAIL $name $d: zbar read '$got', want '$want'"
      failures=$((failures + 1))
    fi
  done
}

run western 1252
run cp936 936 LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEPREFIX="$BUILD_DIR/wineprefix-cp936"

# The same digits give the same picture whatever the code page.
for d in "${digits[@]}"; do
  if ! cmp -s "$work/western/$d.bmp" "$work/cp936/$d.bmp"; then
    echo "FAIL $d: the pictures differ between the code pages"
    failures=$((failures + 1))
  fi
done

total=$((${#digits[@]} * 3))
echo "$((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
