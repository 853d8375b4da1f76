#!/usr/bin/env bash
# `make demo` on this build: every label it writes reads back as the digits
# it was given, every page row has its address, the refused text leaves no
# file, and the README's pictures are labels of this code.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}"

. "$SOURCE_DIR/tests/scripts/lib/check.sh"

start=$(date +%s)
out=$(DEMO_DIR="$work/demo" BUILD_DIR="$BUILD_DIR" "$SOURCE_DIR/tools/demo.sh" 2>&1)
check "the demo runs"
echo "demo took $(( $(date +%s) - start )) s"

[ "$(grep -c '^[A-Za-z_]* *http://lis.example.org:8080/modules/' <<<"$out")" -eq 10 ]
check "ten page addresses"
while IFS='|' read -r file reading; do
  grep -q "^$file .* reads: $reading\$" <<<"$out"
  check "$file reads $reading"
done <<'EOF2'
code128.bmp|CODE-128:20260105001234
code128-odd.bmp|CODE-128:05
itf-ratio2.bmp|I2/5:12345678
itf-ratio3.bmp|I2/5:00123456
font.bmp|CODE-128:123456789012
EOF2
grep -q '^refused.bmp .* refused: no file' <<<"$out" && [ ! -e "$work/demo/refused.bmp" ]
check "non-digit text writes no file"
grep -q 'not available yet' <<<"$out"
[ $? -ne 0 ]
check "every barcode export is available"

# The committed pictures show what this build writes.
for name in label-code128 label-itf; do
  [ "$(zbar_read "$SOURCE_DIR/docs/$name.png")" = "$(zbar_read "$work/demo/$name.png")" ] &&
    [ "$(identify -format %wx%h "$SOURCE_DIR/docs/$name.png")" = "$(identify -format %wx%h "$work/demo/$name.png")" ]
  check "docs/$name.png matches the demo's (tools/demo.sh --update-docs refreshes it)"
done

check_summary demo
