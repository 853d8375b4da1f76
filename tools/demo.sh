#!/usr/bin/env bash
# Shows what the library does, through qelvcall.exe under Wine: the address of
# every LIS page for a sample server, then barcode labels written into
# build/demo/ and read back with zbar.
#   tools/demo.sh [--update-docs]   (BUILD_DIR defaults to build/win32,
#   DEMO_DIR to build/demo)
# --update-docs also refreshes docs/label-code128.png and docs/label-itf.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/win32}
demo=${DEMO_DIR:-$root/build/demo}
qelvcall=$build/qelvcall.exe
wine_run=$root/tools/wine-run.sh
update_docs=false
[ "${1:-}" = "--update-docs" ] && update_docs=true

if [ ! -f "$qelvcall" ]; then
  echo "demo: $qelvcall is missing; run 'make build' first" >&2
  exit 1
fi
rm -rf "$demo"
mkdir -p "$demo"
cd "$demo"

# Output goes through a file: in a prefix outside the build tree the Wine
# server and services that a call starts outlive it, and a pipe would wait
# for them.
call() {
  local status=0
  "$wine_run" "$qelvcall" "$@" >"$demo/.out" 2>&1 || status=$?
  tr -d '\r' <"$demo/.out"
  rm -f "$demo/.out"
  return $status
}

echo "== LIS page addresses for server lis.example.org:8080, user U0042 (not opened)"
server=lis.example.org:8080
while read -r export args; do
  # shellcheck disable=SC2086
  printf '%-22s %s\n' "$export" "$(call --dry-run "$export" $server U0042 $args || true)"
done <<'EOF'
OpenVarEda
lis_req P123 Name
lis_exec D07 W12
lis_report P123 Name D07 W12
lis_bloodapply P123
lis_bloodexec D07 W12
lis_apply P123
lis_reportdate P123 Name D07 W12 2026-01-05 2026-01-31
lis_reportdateAndType P123 Name D07 W12 2026-01-05 2026-01-31 2
lis_req_clinic P123 D09
EOF

# The tests' own reading: zbar, after the quiet zone the labels leave out.
. "$root/tests/scripts/lib/zbar.sh"
decode() { zbar_read "$1" | paste -sd' ' -; }

label() {  # file, what, qelvcall arguments...
  local file=$1 what=$2
  shift 2
  if call "$@" >/dev/null && [ -s "$file" ]; then
    printf '%-24s %-34s reads: %s\n' "$file" "$what" "$(decode "$file" || true)"
  else
    printf '%-24s %-34s not available yet (no file)\n' "$file" "$what"
  fi
}

echo
echo "== Barcode labels in build/demo/, read back with zbarimg"
label code128.bmp "Code 128, 20260105001234" barcodeimage_create 20260105001234 code128.bmp
label code128-odd.bmp "Code 128, 5 (gets a leading 0)" barcodeimage_create 5 code128-odd.bmp
label itf-ratio2.bmp "ITF ratio 2, height 20, 12345678" itf125barimage_create 2 20 12345678 itf-ratio2.bmp
label itf-ratio3.bmp "ITF ratio 3, height 35, 00123456" itf125barimage_create 3 35 00123456 itf-ratio3.bmp
font=$build/fonts/code128.ttf
if [ -f "$font" ]; then
  label font.bmp "font Code 128, 123456789012" --font "$font" barcodeimage_create_font 123456789012 font.bmp
else
  printf '%-24s %-34s not available yet (no test font)\n' font.bmp "font Code 128"
fi
# Text that would not read back as the digits given is refused: no file.
if call barcodeimage_create 12A4 refused.bmp >/dev/null || [ -e refused.bmp ]; then
  printf '%-24s %-34s written, although it is not digits\n' refused.bmp "Code 128, 12A4"
else
  printf '%-24s %-34s refused: no file, result 0\n' refused.bmp "Code 128, 12A4 (not digits)"
fi

if [ -f webdll_log.txt ]; then
  echo
  echo "== build/demo/webdll_log.txt: $(grep -c '^\[' webdll_log.txt) entries; the first ones (ITF 12345678):"
  tr -d '\r' <webdll_log.txt | sed -n '2,6p' | cut -c1-100
fi

# Enlarged, with the quiet zone, for the README.
picture() {
  [ -s "$1" ] || return 0
  convert "$1" -bordercolor white -border 10 -scale 400% -strip \
    -define png:exclude-chunks=date,time "$2"
  echo "picture: $2"
}
echo
picture code128.bmp "$demo/label-code128.png"
picture itf-ratio3.bmp "$demo/label-itf.png"
if $update_docs; then
  cp "$demo/label-code128.png" "$demo/label-itf.png" "$root/docs/"
  echo "updated docs/label-code128.png and docs/label-itf.png"
fi
