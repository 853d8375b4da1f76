#!/usr/bin/env bash
# The kit's font scripts as hospital IT runs them, in a Wine prefix of their
# own: beside another product's "code 128" font, which they never touch;
# the font seen by a program started right after the install; an uninstall
# that removes only our file, at the next restart when the file is in use.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"

# The archive's layout: fonts\ beside bin\.
mkdir -p "$work/kit/bin" "$work/kit/fonts"
cp "$BUILD_DIR/qelvcall.exe" "$BUILD_DIR/qelv_dorevivi.dll" "$work/kit/bin/"
cp "$SOURCE_DIR"/dist/*-font.cmd "$BUILD_DIR/fonts/code128.ttf" "$work/kit/fonts/"
export WINEPREFIX=$BUILD_DIR/wineprefix-deploy
wine() { "$WINE_RUN" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# script install|uninstall: sets out, and rc as cmd sees the exit code (a
# Unix exit status keeps only the low byte of 3010).
script() {
  printf '@cmd /c "%s"\r\n@echo exit %%errorlevel%%\r\n' "$(winpath "$work/kit/fonts/$1-font.cmd")" >"$work/run.cmd"
  out=$(wine cmd /c "$(winpath "$work/run.cmd")")
  rc=$(tail -1 <<<"$out" | sed -n 's/^exit \([0-9]*\)$/\1/p')
  out=$(sed '$d' <<<"$out")
}
font_check() { (cd "$work/kit/bin" && wine ./qelvcall.exe --font-check); }
key='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts'
values() { wine reg query "$key" | grep -i "code 128" | sed 's/^ *//' | sort; }
fonts=$WINEPREFIX/drive_c/windows/Fonts
foreign() {  # another product's font: foreign NAME VALUE (no VALUE: the file only)
  cp "$BUILD_DIR/fonts/$3" "$fonts/$1"
  [ -z "$2" ] || wine reg add "$key" /v "$2" /t REG_SZ /d "$1" /f >/dev/null
}
unforeign() { rm -f "$fonts/$1"; [ -z "$2" ] || wine reg delete "$key" /v "$2" /f >/dev/null; }
script uninstall  # a prefix an earlier run left

script uninstall
[ "$rc" = 0 ] && [ "$out" = "font: not installed" ]
check "uninstall with nothing installed says so ($rc: $out)"
[[ "$(font_check)" == "not usable"* ]]
check "before install-font.cmd, --font-check finds no font"

# Another product's "code 128": registered, or only in the Fonts folder.
while IFS='|' read -r name file value; do
  foreign "$file" "$value" code128-shifted.ttf
  before=$(values; ls "$fonts")
  script install
  [ "$rc" = 3 ] && [ "$(wc -l <<<"$out")" -eq 1 ] && [[ "$out" == *"another \"code 128\" font"*"$file"* ]] &&
    [ "$(values; ls "$fonts")" = "$before" ]
  check "$name: install stops with 3 and changes nothing ($rc: $out)"
  unforeign "$file" "$value"
done <<'ROWS'
registered under the usual value|code128.ttf|Code 128 (TrueType)
registered under another value, known by its face|c128.ttf|Barcodes (TrueType)
in the Fonts folder unregistered|other128.ttf|
ROWS

# Our own bytes under another name (an earlier kit) do not stop it.
foreign code128.ttf "code 128 (TrueType)" code128.ttf
script install
[ "$rc" = 0 ] && [ -f "$fonts/qelv_code128.ttf" ] && [[ "$(values)" == *"qelv_code128.ttf"* ]]
check "install beside a byte-identical copy, under its own file and value ($rc: $out)"
[[ "$(font_check)" == ok* ]]
check "a program started after the install sees the font"
unforeign code128.ttf "code 128 (TrueType)"

# Uninstall removes only what points at our file.
foreign code128.ttf "Code 128 (TrueType)" code128-shifted.ttf
script uninstall
[ "$rc" = 0 ] && [ ! -e "$fonts/qelv_code128.ttf" ] && [ -f "$fonts/code128.ttf" ] &&
  [ "$(values | awk '{print $1, $2, $3}')" = "Code 128 (TrueType)" ]
check "uninstall leaves another product's font and value alone ($rc: $out)"
unforeign code128.ttf "Code 128 (TrueType)"

# A font file in use is deleted at the next restart: 3010, and scheduled.
script install
rm -f "$work/held"
(cd "$BUILD_DIR" && "$WINE_RUN" ./file_holder.exe "$(winpath "$fonts/qelv_code128.ttf")" \
   "$(winpath "$work/held")" >/dev/null 2>&1) &
for _ in $(seq 600); do [ -e "$work/held" ] && break; sleep 0.1; done
script uninstall
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations)
rm -f "$work/held"; wait
[ "$rc" = 3010 ] && [[ "${pending,,}" == *"qelv_code128.ttf"* ]] && [ -z "$(values)" ]
check "uninstall of a font in use exits 3010 and deletes it at the restart ($rc: $out)"
wine reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations /f >/dev/null
rm -f "$fonts/qelv_code128.ttf"

check_summary font_deploy
