#!/usr/bin/env bash
# The integration guide's declarations match the header, and its C examples
# (linking the shipped import library, as C and as C++; loading the DLL at
# run time) compile, run under Wine and write labels that zbar reads as the
# digits they passed.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}" "${MINGW:?}"

. "$SOURCE_DIR/tests/scripts/lib/check.sh"
export LC_ALL=C.UTF-8  # how Wine names the example's Unicode file on disk

python3 "$SOURCE_DIR/tests/scripts/guide_declarations.py" "$SOURCE_DIR"
check "C#, Delphi, PowerBuilder declarations and the export table match the header"

python3 "$SOURCE_DIR/tests/scripts/guide_declarations.py" "$SOURCE_DIR" --block c >"$work/example.c"
check "the guide has one C block"
cp "$BUILD_DIR/qelv_dorevivi.dll" "$work/"

for lang in c c++; do
  compiler=$MINGW-gcc
  [ "$lang" = c++ ] && compiler=$MINGW-g++
  dir="$work/$lang"
  mkdir -p "$dir"
  cp "$work/qelv_dorevivi.dll" "$dir/"
  "$compiler" -x "$lang" -Wall -Wextra -Werror -I"$SOURCE_DIR/include" -I"$BUILD_DIR/include" "$work/example.c" \
    -x none "$BUILD_DIR/sdk/qelv_dorevivi.lib" -static -o "$dir/example.exe"
  check "the C example compiles as $lang and links against sdk/qelv_dorevivi.lib"
  [ -f "$dir/example.exe" ] || continue

  (cd "$dir" && "$WINE_RUN" ./example.exe >"$dir/out" 2>"$dir/err")
  out=$(tr -d '\r' <"$dir/out")
  [ "$out" = "refused page: 0" ]
  check "the $lang example runs and its NULL page call returns 0 (got: $out)"
  [ "$(zbar_read "$dir/label-c128.bmp")" = "CODE-128:20260105" ]
  check "the $lang example's Code 128 label reads 20260105"
  [ "$(zbar_read "$dir/label-itf.bmp")" = "I2/5:12345678" ]
  check "the $lang example's ITF label reads 12345678"
  cmp -s "$dir/label-c128.bmp" "$dir/label-病棟.bmp"
  check "the $lang example's W call wrote the same label under a Unicode name"
done

# The run-time example, a host without the import library, run from
# another folder: it finds the DLL beside itself, not in the current one.
python3 "$SOURCE_DIR/tests/scripts/guide_declarations.py" "$SOURCE_DIR" --block c:run-time >"$work/run-time.c"
mkdir -p "$work/run-time/elsewhere"
cp "$work/qelv_dorevivi.dll" "$work/run-time/"
"$MINGW-gcc" -Wall -Wextra -Werror "$work/run-time.c" -static -o "$work/run-time/example.exe" &&
  out=$(cd "$work/run-time/elsewhere" && "$WINE_RUN" ../example.exe 2>&1 | tr -d '\r') &&
  [ "$out" = "written: 1" ] && [ "$(zbar_read "$work/run-time/elsewhere/label-itf.bmp")" = "I2/5:12345678" ]
check "the run-time example loads the DLL by its full path and writes its label (got: ${out:-})"
# A DLL of that name planted in the current folder is never loaded.
mv "$work/run-time/qelv_dorevivi.dll" "$work/run-time/elsewhere/"
out=$(cd "$work/run-time/elsewhere" && "$WINE_RUN" ../example.exe 2>&1 | tr -d '\r')
[[ "$out" == "cannot load "*"qelv_dorevivi.dll: error 126" ]]
check "without the DLL beside it, the run-time example loads none from the current folder ($out)"

# Every row of the reliability table names a test that exists.
missing=""
for name in $(grep -o '`[A-Z][A-Za-z]*\.[A-Z][A-Za-z]*`' "$SOURCE_DIR/docs/reliability.md" | tr -d '`' | sort -u); do
  grep -rqE "TEST(_F)?\(${name%%.*}, ${name#*.}\)" "$SOURCE_DIR/tests" || missing="$missing $name"
done
for script in $(grep -o '`[a-z_]*\.sh`' "$SOURCE_DIR/docs/reliability.md" | tr -d '`' | sort -u); do
  [ -f "$SOURCE_DIR/tests/scripts/$script" ] || missing="$missing $script"
done
[ -z "$missing" ]
check "the reliability table names only tests that exist (not:$missing)"

check_summary guide
