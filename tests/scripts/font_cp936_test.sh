#!/usr/bin/env bash
# The font export's and the test font's Windows tests once more, in a prefix
# of their own under the Chinese ANSI code page 936, where bytes 129 and up
# begin double-byte characters: the symbol font must still get every byte.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"
cd "$work"
for program in font_tests font_nofont_test font_decoy_test; do
  env LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEPREFIX="$BUILD_DIR/wineprefix-cp936" \
    QELV_EXPECT_ACP=936 "$WINE_RUN" "$BUILD_DIR/$program.exe"
  check "$program under code page 936"
done
check_summary font_cp936
