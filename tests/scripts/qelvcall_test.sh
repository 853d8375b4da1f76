#!/usr/bin/env bash
# qelvcall.exe as an integrator uses it under Wine: the page addresses that
# --dry-run prints, NULL arguments, exit codes, --list against the header.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}"

exe="$BUILD_DIR/qelvcall.exe"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"
cd "$work" || exit 1

# Runs qelvcall; sets out (stdout without CRs), err and rc.
run() {
  "$WINE_RUN" "$exe" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}

check() {  # as the shared one, and shows the run it judged
  local status=$? name=$1
  checks=$((checks + 1))
  if [ $status -ne 0 ]; then
    failures=$((failures + 1))
    echo "FAIL: $name (rc=$rc)"
    echo "  stdout: $out"
    echo "  stderr: ${err:0:300}"
  fi
}

server=lis.example.org:8080
main="/modules/main/sysMain.aspx?qelv_userno="
entry="/modules/sysA/groupB/modelA/reqAddMain.aspx?qelv_userno="
S="http://$server"

# --- Every page export's address for a sample server: case|export|args|address
while IFS='|' read -r name export args expected; do
  [ -z "$name" ] && continue
  # shellcheck disable=SC2086
  run --dry-run "$export" $args
  [ "$rc" -eq 0 ] && [ "$out" = "$expected" ]
  check "dry-run $name"
done <<EOF
main page, no mode|OpenVarEda|$server U0042|$S${main}U0042
lis_req mode 1, patname never sent|lis_req|$server U0042 P123 Name|$S${main}U0042&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=P123
lis_exec mode 2 dept and ward|lis_exec|$server U0042 D07 W12|$S${main}U0042&HIS_PARAM_MODE=2&HIS_PARAM_DEPT=D07&HIS_PARAM_WARD=W12
lis_report mode 3|lis_report|$server U0042 P123 Name D07 W12|$S${main}U0042&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P123&HIS_PARAM_DEPT=D07&HIS_PARAM_WARD=W12
lis_bloodapply mode 4 main page|lis_bloodapply|$server U0042 P123|$S${main}U0042&HIS_PARAM_MODE=4&HIS_PARAM_PATNO=P123
lis_bloodexec mode 5|lis_bloodexec|$server U0042 D07 W12|$S${main}U0042&HIS_PARAM_MODE=5&HIS_PARAM_DEPT=D07&HIS_PARAM_WARD=W12
lis_apply mode 11 request entry page|lis_apply|$server U0042 P123|$S${entry}U0042&HIS_PARAM_MODE=11&HIS_PARAM_PATNO=P123
lis_reportdate dates after ward|lis_reportdate|$server U0042 P123 Name D07 W12 2026-01-05 2026-01-31|$S${main}U0042&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P123&HIS_PARAM_DEPT=D07&HIS_PARAM_WARD=W12&Inpdate=2026-01-05&Outdate=2026-01-31
lis_reportdateAndType pattype last|lis_reportdateAndType|$server U0042 P123 Name D07 W12 2026-01-05 2026-01-31 2|$S${main}U0042&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P123&HIS_PARAM_DEPT=D07&HIS_PARAM_WARD=W12&Inpdate=2026-01-05&Outdate=2026-01-31&HIS_PARAM_PATTYPE=2
lis_req_clinic patno before dept|lis_req_clinic|$server U0042 P123 D09|$S${main}U0042&HIS_PARAM_MODE=6&HIS_PARAM_PATNO=P123&HIS_PARAM_DEPT=D09
server with http:// gets no second prefix|OpenVarEda|http://$server U0042|$S${main}U0042
report untested NULLs send empty values|lis_report|$server U0042 P123 Name NULL NULL|$S${main}U0042&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P123&HIS_PARAM_DEPT=&HIS_PARAM_WARD=
EOF

# Texts go in as one argument each, spaces and option-like words included.
run --dry-run lis_req "$server" "--list" "a b&c=d" ""
[ "$rc" -eq 0 ] && [ "$out" = "$S${main}--list&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=a b&c=d" ]
check "dry-run passes texts raw, one argument each"

# --- NULL in a tested argument: nothing would be opened. export|args|param
while IFS='|' read -r export args param; do
  [ -z "$export" ] && continue
  # shellcheck disable=SC2086
  run --dry-run "$export" $args
  [ "$rc" -eq 1 ] && [ "$out" = "nothing opened: $param is NULL" ]
  check "dry-run $export with NULL $param"
done <<EOF
OpenVarEda|NULL U0042|pUrl
OpenVarEda|$server NULL|pUserno
lis_req|$server U0042 P123 NULL|patname
lis_report|$server U0042 NULL Name D07 W12|patno
lis_req_clinic|$server U0042 P123 NULL|deptno
EOF

# --- The 1023-character limit: one byte more and nothing is opened.
fixed="$S$main"
userno=$(printf 'u%.0s' $(seq 1 $((1023 - ${#fixed}))))
run --dry-run OpenVarEda "$server" "$userno"
[ "$rc" -eq 0 ] && [ ${#out} -eq 1023 ]
check "dry-run address of exactly 1023 characters is printed"
run --dry-run OpenVarEda "$server" "${userno}u"
[ "$rc" -eq 1 ] && [[ "$out" == "nothing opened:"*"1023"* ]]
check "dry-run address of 1024 characters opens nothing"

# --- Real calls that the argument guard refuses: result 0, exit 1, no file.
run OpenVarEda NULL NULL
[ "$rc" -eq 1 ] && [ "$out" = "OpenVarEda returned 0
why: a required text is NULL (error 87)" ]
check "OpenVarEda with NULL texts returns 0"
run lis_reportdateAndType NULL NULL NULL NULL NULL NULL NULL NULL NULL
[ "$rc" -eq 1 ] && [ "$out" = "lis_reportdateAndType returned 0
why: a required text is NULL (error 87)" ]
check "nine NULL texts reach the nine-parameter export"
run barcodeimage_create 1234 NULL
[ "$rc" -eq 1 ] && [ "$out" = "barcodeimage_create returned 0
why: a required text is NULL (error 87)" ] && [ -z "$(ls -A "$work" | grep -v '^out$\|^err$')" ]
check "barcode with NULL fileName writes nothing"
run itf125barimage_create -5 1000 NULL itf.bmp
[ "$rc" -eq 1 ] && [ ! -e itf.bmp ]
check "itf with NULL pBarcode writes nothing whatever its integers"

# --- Why a call gave 0, in words: one reason of each class.
while IFS='|' read -r words args; do
  # shellcheck disable=SC2086
  run $args
  [ "$rc" -eq 1 ] && [[ "$out" == *"why: $words"* ]]
  check "the reason is told: $words"
done <<EOF
the text holds something other than the digits 0-9|barcodeimage_create 12A4 label.bmp
too many digits for the symbol|barcodeimage_create_font 1234567890123 label.bmp
the path names a folder or a device, not a file|itf125barimage_create 2 20 1234 NUL
the page address would be longer than 1023 characters|OpenVarEda $(printf '%01100d' 0) u
EOF

# --- The W exports take the command line's own Unicode text: a file name no
# code page holds gets the bytes the ANSI twin writes.
export LC_ALL=C.UTF-8  # how Wine reads the Unix command line and file names
for export in barcodeimage_create itf125barimage_create; do
  ints=""; [ $export = itf125barimage_create ] && ints="3 30"
  # shellcheck disable=SC2086
  run ${export}W $ints 20260105 "標本-Ωψ 🧪.bmp"
  [ "$rc" -eq 0 ] && [ -f "標本-Ωψ 🧪.bmp" ]
  check "${export}W writes under a Unicode name from the command line"
  # shellcheck disable=SC2086
  run $export $ints 20260105 ansi.bmp
  cmp -s "標本-Ωψ 🧪.bmp" ansi.bmp
  check "${export}W writes the bytes of its ANSI twin"
  rm -f "標本-Ωψ 🧪.bmp" ansi.bmp webdll_log.txt
done
run barcodeimage_createW １２３４ w.bmp
[ "$rc" -eq 1 ] && [[ "$out" == *"why: the text holds something other than the digits 0-9"* ]] && [ ! -e w.bmp ]
check "fullwidth digits are refused, never folded"

# --- Command-line errors: usage on stderr, exit 2; loading errors exit 3.
while IFS='|' read -r name args; do
  [ -z "$name" ] && continue
  # shellcheck disable=SC2086
  run $args
  [ "$rc" -eq 2 ] && [[ "$err" == *"usage: qelvcall"* ]] && [ -z "$out" ]
  check "usage: $name"
done <<EOF
no arguments at all|
unknown export|NoSuchExport a b
too few arguments|OpenVarEda $server
too many arguments|OpenVarEda $server U0042 extra
integer that is not a number|itf125barimage_create two 20 1234 x.bmp
integer beyond 32 bits|itf125barimage_create 2 4294967296 1234 x.bmp
NULL for an integer|itf125barimage_create NULL 20 1234 x.bmp
dry-run of a barcode export|--dry-run barcodeimage_create 1234 x.bmp
unknown option|--verbose OpenVarEda a b
option without its value|--dll
EOF

run --dll "$work/missing.dll" OpenVarEda NULL NULL
[ "$rc" -eq 3 ] && [[ "$err" == *"cannot load"* ]]
check "--dll that does not exist"
run --font "$work/missing.ttf" barcodeimage_create_font 1234 f.bmp
[ "$rc" -eq 3 ] && [ ! -e f.bmp ]
check "--font that does not exist: nothing called"

# --- --list is the header's export table, parameter for parameter.
run --list
expected_list=$(python3 "$SOURCE_DIR/tests/scripts/prototypes.py" "$SOURCE_DIR/include/qelv_dorevivi.h")
[ "$rc" -eq 0 ] && [ "$out" = "$expected_list" ] && [ "$(wc -l <<<"$out")" -eq 17 ]
check "--list equals the header's prototypes"
if [ "$out" != "$expected_list" ]; then diff <(echo "$out") <(echo "$expected_list"); fi

run --help
[ "$rc" -eq 0 ] && [[ "$out" == *"the word NULL passes a null pointer"* ]]
check "--help documents NULL"

# --- --batch: a word in quotes keeps its blanks; a quote left open stops it.
mkdir -p "with blanks"
printf '%s\r\n' '  # a comment "' 'barcodeimage_create 1234 "with blanks\a b.bmp"' \
  'itf125barimage_create 3 30 "12" "with blanks\i t.bmp"' >jobs.txt
run --batch jobs.txt
[ "$rc" -eq 0 ] && [ -s "with blanks/a b.bmp" ] && [ -s "with blanks/i t.bmp" ]
check "--batch: quoted paths with blanks"
printf 'barcodeimage_create 1234 "open.bmp\n' >open.txt
run --batch open.txt
[ "$rc" -eq 2 ] && [[ "$err" == *"open.txt line 1: a quote is not closed"* ]] && [ -z "$(ls ./*open.bmp* 2>/dev/null)" ]
check "--batch: an unclosed quote is refused"

# --- It runs with its starter's rights: an asInvoker manifest.
level=$(/usr/bin/python3 - "$exe" <<'PY'
import pefile, re, sys
pe = pefile.PE(sys.argv[1])
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    if kind.id == 24:  # RT_MANIFEST
        data = kind.directory.entries[0].directory.entries[0].data.struct
        found = re.search(rb'requestedExecutionLevel level="(\w+)"', pe.get_data(data.OffsetToData, data.Size))
        print(found.group(1).decode() if found else "")
PY
)
[ "$level" = asInvoker ]
check "qelvcall.exe's manifest asks for asInvoker ($level)"

check_summary qelvcall
