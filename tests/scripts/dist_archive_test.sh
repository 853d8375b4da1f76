#!/usr/bin/env bash
# The release archives, x86 and x64, as a hospital's IT and an integrator
# meet them: two checkouts of the commit pack to the same bytes; unpacked
# into an empty folder, the binaries of each are hardened, stripped with their symbols beside
# them, import only what Windows Vista has, and work under Wine against each
# other; the guide's C example links against its import library; a signed
# archive verifies, a changed byte does not, and the signed DLL still runs.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"
# make dist passes its SIGN_* settings on to the tests; the builds compared
# here are unsigned, and the signed one below names its certificate.
unset SIGN_PFX SIGN_PASS_FILE SIGN_TIMESTAMP_URL

# --- Two checkouts packing at the same time, one archive.
for side in a b; do git clone -q "$SOURCE_DIR" "$work/$side"; done
(cd "$work/a" && tools/dist.sh "$work/a/out" >/dev/null 2>"$work/a.err") & pid_a=$!
sleep 1
(cd "$work/b" && tools/dist.sh "$work/b/out" >/dev/null 2>"$work/b.err") & pid_b=$!
for side in a b; do
  pid=pid_$side
  wait "${!pid}"
  packed=$?
  said=$(head -c 300 "$work/$side.err")
  [ "$packed" -eq 0 ]
  check "checkout $side packs while the other does ($said)"
  [ "$(git -C "$work/$side" worktree list | wc -l)" -eq 1 ] && [ -z "$(git -C "$work/$side" status --porcelain --untracked-files=no)" ]
  check "packing leaves checkout $side as it was: no worktree registered, no file changed"
done
release=$work/a/build/release/src
for suffix in win32-x86 win64-x64; do
  zip_a=$(ls "$work"/a/out/*-$suffix.zip 2>/dev/null)
  zip_b=$(ls "$work"/b/out/*-$suffix.zip 2>/dev/null)
  [ -n "$zip_a" ] && cmp -s "$zip_a" "$zip_b"
  check "two checkouts of one commit pack the $suffix archive to the same bytes"
  [[ "$(basename "$zip_a")" =~ ^qelv_dorevivi-[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+-$suffix\.zip$ ]]
  check "the archive is named qelv_dorevivi-<version>-$suffix.zip"
  # Built again in a folder of its own, the binaries are the release build's.
  preset=${suffix%-*}
  (cd "$work/a" && cmake --preset "$preset" >/dev/null &&
   cmake --build --preset "$preset" --target qelv_dorevivi qelvcall qelv_import_library >/dev/null)
  for f in qelv_dorevivi.dll qelvcall.exe sdk/qelv_dorevivi.lib; do
    cmp -s "$work/a/build/$preset/$f" "$release/build/$preset/$f"
    check "$preset $f built in two folders is the same bytes"
  done
done
(cd "$work/a/out" && sha256sum -c --quiet ./*.sha256) && [ "$(ls "$work"/a/out/*.sha256 | wc -l)" -eq 2 ]
check "each archive matches its .sha256"

git clone -q --depth 1 "file://$SOURCE_DIR" "$work/shallow"
out=$(cd "$work/shallow" && tools/dist.sh "$work/shallow/out" 2>&1)
[ $? -ne 0 ] && [ "$(wc -l <<<"$out")" -eq 1 ] && grep -q "shallow clone" <<<"$out"
check "a shallow clone is refused a release, in one line ($out)"

# A PE image's checksum verdict, TimeDateStamp and export directory's stamp
# (- without one), read by pefile, not by our own stamping code.
pe_facts() {
  /usr/bin/python3 -c 'import pefile, sys
pe = pefile.PE(sys.argv[1])
exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
print(pe.verify_checksum(), pe.FILE_HEADER.TimeDateStamp, exports.struct.TimeDateStamp if exports else "-")' "$1"
}

# --- Each archive unpacked into an empty folder:
#   unpacked SUFFIX BINUTILS BUILD FLAGS GUARD_REF EXPORT_SYMBOL
# GUARD_REF: how the code refers to the stack guard (x64: through a
# pointer beside the code); EXPORT_SYMBOL: barcodeimage_create's symbol.
unpacked() {
local suffix=$1 binutils=$2 build=$3 image_flags=$4 guard_ref=$5 export_symbol=$6
local objdump=$binutils-objdump arch_build=$SOURCE_DIR/build/$3
local zip top dll fields flags symbols code guard address line offset base fault where out
zip=$(ls "$work"/a/out/*-$suffix.zip)
mkdir "$work/u-$suffix" && unzip -q "$zip" -d "$work/u-$suffix"
top=$(ls -d "$work"/u-$suffix/qelv_dorevivi-*)
for f in bin/qelv_dorevivi.dll bin/qelvcall.exe include/qelv_dorevivi.h include/qelv_errors.h \
         include/qelv_version.h lib/qelv_dorevivi.lib lib/qelv_dorevivi.def fonts/code128.ttf \
         fonts/FONT-LICENSE.txt fonts/code128_font.py fonts/install-font.cmd fonts/uninstall-font.cmd \
         symbols/qelv_dorevivi.dll.debug symbols/qelvcall.exe.debug \
         symbols/qelv_dorevivi.pdb integration-guide.md LICENSE THIRD-PARTY-NOTICES.txt CHANGELOG.md RELEASE-NOTES.txt; do
  [ -s "$top/$f" ]
  check "the archive holds $f"
done
notices=$top/THIRD-PARTY-NOTICES.txt
[ "$(grep -c $'\r$' "$notices")" -eq "$(wc -l <"$notices")" ] &&
  grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$notices" && grep -q "TERMS AND CONDITIONS" "$notices" &&
  grep -q "Zope Public License" "$notices" && ! grep -Eiq "winpthread|libssp|debian|/usr/" "$notices"
check "the notices read in Notepad and hold every text they refer to, for what is linked"
version=$(sed -n 's/#define QELV_VERSION "\(.*\)"/\1/p' "$top/include/qelv_version.h")
[ "$(grep -m1 '^## ' "$top/CHANGELOG.md")" = "## $version" ]
check "the CHANGELOG is headed by the archive's version ($version)"
dll=$top/bin/qelv_dorevivi.dll
fields=$(fontforge -quiet -lang=py -c 'import fontforge, sys
f = fontforge.open(sys.argv[1])
names = dict((n[1], n[2]) for n in f.sfnt_names)
print("|".join([f.familyname, f.copyright, names.get("Manufacturer", "")]))' "$top/fonts/code128.ttf" 2>/dev/null)
[[ "$fields" == "code 128|"*"qelv_dorevivi developers"*"|the qelv_dorevivi developers" && "$fields" != *[Tt]est* ]] &&
  grep -q "code128_font.py, beside it in this folder" "$top/fonts/FONT-LICENSE.txt"
check "the font names itself code 128 by our project, and its licence points at what the archive holds ($fields)"

# The guide's deployment steps for the font, in a Wine prefix of their own:
# installed for all users by the archive's script, found by --font-check,
# and gone again after the uninstall script.
deploy() {
  WINEPREFIX="$BUILD_DIR/wineprefix-deploy-$build" QELV_WINE_ARCH=$build "$WINE_RUN" "$@" 2>/dev/null | tr -d '\r'
}
font_check() { (cd "$top/bin" && deploy ./qelvcall.exe --font-check); }
deploy cmd /c "$(winpath "$top/fonts/uninstall-font.cmd")" >/dev/null  # a prefix an earlier run left
[[ "$(font_check)" == "not usable"* ]]
check "before install-font.cmd, --font-check finds no font"
out=$(deploy cmd /c "$(winpath "$top/fonts/install-font.cmd")") && [[ "$(font_check)" == ok* ]]
check "after install-font.cmd, --font-check says ok ($out)"
out=$(deploy cmd /c "$(winpath "$top/fonts/uninstall-font.cmd")") && [[ "$(font_check)" == "not usable"* ]]
check "after uninstall-font.cmd, the font is missing again ($out)"
size=$(stat -c %s "$dll")
[ "$size" -lt $((350 * 1024)) ]
check "the DLL is under 350 KB ($size bytes)"
flags=$($objdump -p "$dll")
for flag in $image_flags; do
  grep -q "^[[:space:]]*$flag$" <<<"$flags"
  check "the DLL carries $flag"
done
grep -q "Subsystem.*Windows GUI" <<<"$flags" && grep -q "MajorSubsystemVersion.6" <<<"$flags" &&
  grep -q "MajorOSystemVersion.6" <<<"$flags"
check "the DLL states the GUI subsystem and Windows 6.0"
[ -z "$($objdump -h "$dll" | grep -E '\.debug_')" ]
check "the DLL is stripped"
symbols=$("$binutils-nm" "$top/symbols/qelv_dorevivi.dll.debug")
code=$($objdump -d "$dll")
if [[ "$image_flags" == *NO_SEH* ]]; then
  # NO_SEH is true only if nothing registers a handler through fs:[0].
  ! grep -q '%fs:0x0' <<<"$code"
  check "no code of the DLL registers an SEH handler"
fi
guard=$(awk -v ref="$guard_ref" '$3 == ref {print $1}' <<<"$symbols" | sed 's/^0*//')
[ -n "$guard" ] && [ "$(grep -Ec "(0x|# )$guard" <<<"$code")" -gt 10 ]
check "the DLL's functions check the stack guard"
strings -a "$dll" | grep -qx 'qelv_dorevivi.dll.debug'
check "the DLL links to its split symbols"
# Every product source is compiled hardened and with lines: its unit in the
# shipped symbols of the DLL or of qelvcall names -fstack-protector-strong
# and has a line table (an object built without -g has no unit at all).
verdict=$(for binary in qelv_dorevivi.dll qelvcall.exe; do
            $objdump --dwarf=info "$top/symbols/$binary.debug" 2>/dev/null
          done | python3 -c '
import re, sys
units, unit = {}, None
for line in sys.stdin:
    if "DW_TAG_compile_unit" in line:
        unit = {"producer": "", "lines": False}
    elif unit is not None and "DW_AT_producer" in line:
        unit["producer"] = line
    elif unit is not None and "DW_AT_stmt_list" in line:
        unit["lines"] = True
    elif unit is not None and "DW_AT_name" in line:
        m = re.search(r"/qelv_dorevivi/(\S+)$", line.strip())
        if m:
            units.setdefault(m.group(1), []).append(unit)
        else:
            unit = None
bad = [s for s in sys.argv[1:] if not units.get(s) or not all(
       "-fstack-protector-strong" in u["producer"] and u["lines"] for u in units[s])]
print(" ".join(bad) or "none")
' $(cd "$SOURCE_DIR" && git ls-files 'frame/*.cpp' 'symbology/*.cpp' 'imaging/*.cpp' 'vareda/*.cpp' \
      'tools/qelvcall/*.cpp' | grep -v '_posix\.cpp$'))
[ "$verdict" = none ]
check "every product source is hardened with line information (not: $verdict)"
address=$(awk -v name="$export_symbol" '$2 == "T" && $3 == name {print "0x"$1}' <<<"$symbols")
line=$(grep -n '^QELV_EXPORT barcodeimage_create(' "$SOURCE_DIR/imaging/barcode_exports.cpp" | cut -d: -f1)
[ "$("$binutils-addr2line" -e "$top/symbols/qelv_dorevivi.dll.debug" "$address")" = "/qelv_dorevivi/imaging/barcode_exports.cpp:$line" ]
check "a code address maps to its source line"
grep -q "RSDS.*qelv_dorevivi.pdb" <<<"$flags"
check "the DLL names its PDB"
for binary in "$dll" "$top/bin/qelvcall.exe"; do
  read -r sound stamp exported <<<"$(pe_facts "$binary")"
  name=$(basename "$binary")
  [ "$stamp" = "$(git -C "$work/a" log -1 --format=%ct)" ] && [[ "$exported" == "$stamp" || "$exported" == - ]]
  check "$name's TimeDateStamp, the export directory's too, is the commit's time ($stamp, $exported)"
  [ "$sound" = True ]
  check "$name's PE checksum is right"
done
# The guide's crash recipe, on a real crash in the core: the fault offset
# plus the image base, through addr2line, names the file and line; gdb
# finds the symbols put next to the DLL.
cp "$arch_build/log_writer.exe" "$top/bin/"
offset=$(cd "$top/bin" && "$WINE_RUN" ./log_writer.exe --crash 2>/dev/null | tr -d '\r' | sed -n 's/^fault offset //p')
base=$($objdump -p "$dll" | awk '$1 == "ImageBase" {print $2}')
fault=$(printf '0x%X' $((0x$base + ${offset:-0})))
where=$("$binutils-addr2line" -f -C -e "$top/symbols/qelv_dorevivi.dll.debug" "$fault" | tail -1)
[[ -n "$offset" && "$where" =~ ^/qelv_dorevivi/symbology/digit_text\.cpp:[0-9]+ ]]
check "a crash at fault offset ${offset:-none} resolves to $where"
cp "$top/symbols/qelv_dorevivi.dll.debug" "$top/bin/"
line=$(gdb -batch -ex "info line *$fault" "$dll" 2>/dev/null)
[[ "$line" == *'"/qelv_dorevivi/symbology/digit_text.cpp"'* ]]
check "gdb finds the symbols next to the DLL ($line)"
rm -f "$top/bin/log_writer.exe" "$top/bin/qelv_dorevivi.dll.debug" "$top/bin/crash.bmp"

# Every import is listed with the Windows version that first has it.
for binary in "$dll" "$top/bin/qelvcall.exe"; do
  $objdump -p "$binary" | awk '/DLL Name:/ {dll=toupper($3); next}
    dll && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print dll, $3} /^$/ {dll=""}'
done | sort -u >"$work/imports"
unknown=$(awk 'NR == FNR { if ($1 !~ /^#/ && $3 <= 6.0) known[$1" "$2] = 1; next }
               !(($1" "$2) in known)' "$SOURCE_DIR/tests/scripts/windows_imports.txt" "$work/imports")
[ -n "$(cat "$work/imports")" ] && [ -z "$unknown" ]
check "every import exists on Windows Vista (not: ${unknown//$'\n'/, })"

# Its own qelvcall against its own DLL, one export of each family.
cd "$top/bin" || return
run() { "$WINE_RUN" ./qelvcall.exe "$@" 2>&1 | tr -d '\r'; }
out=$(run --version)
grep -q "^qelvcall $(sed -n 's/#define QELV_VERSION "\(.*\)"/\1/p' "$top/include/qelv_version.h")$" <<<"$out" &&
  grep -q "^qelv_dorevivi.dll [0-9.]* (" <<<"$out"
check "qelvcall --version names both versions ($out)"
out=$(run lis_req lis.example.org U1 P7 NULL)
grep -q "why: a required text is NULL" <<<"$out"
check "a page export answers through the export table ($out)"
run barcodeimage_create 20260105001234 c128.bmp >/dev/null && [ "$(zbar_read c128.bmp --raw)" = 20260105001234 ]
check "the painted Code 128 label reads back"
run itf125barimage_create 3 30 12345678 itf.bmp >/dev/null && [ "$(zbar_read itf.bmp --raw)" = 12345678 ]
check "the ITF label reads back"
run --font ../fonts/code128.ttf barcodeimage_create_font 123456 font.bmp >/dev/null &&
  [ "$(zbar_read font.bmp --raw)" = 123456 ]
check "the shipped font draws a label that reads back"
out=$(run --font ../fonts/code128.ttf --font-check)
grep -q "^ok" <<<"$out"
check "qelvcall --font-check passes with the shipped font ($out)"
out=$(run --font-check)
grep -q "^not usable" <<<"$out"
check "qelvcall --font-check says so without a font ($out)"
# A C++ exception thrown and caught inside the stripped DLL still unwinds.
# One case of the program runs, so its closing line counts it a failure;
# gtest's own tally says whether that case passed.
cp "$arch_build/painted_alloc_test.exe" .
out=$("$WINE_RUN" ./painted_alloc_test.exe --gtest_filter='*FailedPixelBuffer*' 2>&1)
grep -q '^\[  PASSED  \] 1 test\.' <<<"$out" && ! grep -q '^\[  FAILED  \]' <<<"$out"
check "the stripped DLL catches its own allocation failure"
rm -f painted_alloc_test.exe ./*.bmp webdll_log.txt

# The guide's C example against the archive's header and import library.
python3 "$SOURCE_DIR/tests/scripts/guide_declarations.py" "$SOURCE_DIR" --block c >"$work/example.c" &&
  "$binutils-gcc" -Wall -Wextra -Werror -I"$top/include" "$work/example.c" \
    "$top/lib/qelv_dorevivi.lib" -o "$work/example-$suffix.exe"
check "the guide's C example links against the archive's import library"
cd "$work" || return
}

# The x64 image must not claim NO_SEH: its C++ exceptions unwind by SEH.
unpacked win32-x86 i686-w64-mingw32 win32 "DYNAMIC_BASE NX_COMPAT NO_SEH" ___stack_chk_guard \
  _barcodeimage_create@8
unpacked win64-x64 x86_64-w64-mingw32 win64 "DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA" \
  .refptr.__stack_chk_guard barcodeimage_create
! x86_64-w64-mingw32-objdump -p "$(ls "$work"/u-win64-x64/*/bin/qelv_dorevivi.dll)" | grep -q '^[[:space:]]*NO_SEH$'
check "the x64 DLL does not claim NO_SEH"

# --- Signed on request: verifies, a changed byte does not, still runs.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=qelv test signer" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null &&
  echo secret >"$work/pass" &&
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout file:"$work/pass" \
    -out "$work/cert.pfx"
check "a throwaway certificate"
out=$(make -s --no-print-directory -C "$work/a" dist SIGN_PFX="$work/missing.pfx" SIGN_PASS_FILE="$work/pass" 2>&1)
[ $? -ne 0 ] && [ "$(wc -l <<<"$out")" -le 2 ] && grep -q "^signing: cannot read the certificate" <<<"$out"
check "make dist with a wrong certificate path stops before the tests, in one line ($out)"
warned=$(make -C "$work/a" package SIGN_PFX="$work/cert.pfx" SIGN_PASS_FILE="$work/pass" 2>&1 >/dev/null) &&
  mkdir -p "$work/signed" && mv "$work"/a/build/dist/*.zip "$work/signed/"
check "make package signs with SIGN_PFX and SIGN_PASS_FILE, as make dist does after the tests"
[[ "$warned" == *"no SIGN_TIMESTAMP_URL, so the signature expires with the certificate"* ]]
check "signing without a timestamp server warns ($warned)"
for zip in "$work"/signed/*.zip; do
  mkdir -p "$work/s" && unzip -q "$zip" -d "$work/s"
done
for binary in "$work"/s/*/bin/qelv_dorevivi.dll "$work"/s/*/bin/qelvcall.exe; do
  name=$(basename "$(dirname "$(dirname "$binary")")")/$(basename "$binary")
  osslsigncode verify -CAfile "$work/cert.pem" -in "$binary" >/dev/null 2>&1
  check "the signed $name verifies"
  [[ "$(pe_facts "$binary")" == True* ]]
  check "its PE checksum is right after signing"
done
[ "$(ls "$work"/s/*/bin/qelv_dorevivi.dll | wc -l)" -eq 2 ]
check "both archives are signed"
thumbprint=$(openssl x509 -in "$work/cert.pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
notes=$(tr -d '\r' <"$(ls "$work"/s/*-win32-x86/RELEASE-NOTES.txt)")
[[ "$notes" == *"subject: CN=qelv test signer"*"SHA-1 thumbprint: $thumbprint"* ]] &&
  grep -qx "not signed" <(tr -d '\r' <"$(ls "$work"/u-win32-x86/*/RELEASE-NOTES.txt)")
check "the release notes name the signer and its thumbprint, or say unsigned ($notes)"
# The guide's recipe: a signed binary without its signature, stamped again,
# is the unsigned build's bytes.
osslsigncode remove-signature -in "$(ls "$work"/s/*-win32-x86/bin/qelv_dorevivi.dll)" \
  -out "$work/unsigned.dll" >/dev/null 2>&1 &&
  python3 "$SOURCE_DIR/tools/pe_stamp.py" "$work/unsigned.dll" "$(git -C "$work/a" log -1 --format=%ct)" &&
  cmp -s "$work/unsigned.dll" "$(ls "$work"/u-win32-x86/*/bin/qelv_dorevivi.dll)"
check "a signed DLL, its signature removed and stamped again, is the unsigned build"
signed=$(ls -d "$work"/s/*-win32-x86)/bin
cp "$signed/qelv_dorevivi.dll" "$work/tampered.dll"
printf '\x90' | dd of="$work/tampered.dll" bs=1 seek=$((0x1000 + 100)) conv=notrunc 2>/dev/null
! osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.dll" >/dev/null 2>&1
check "one changed byte fails verification"
(cd "$signed" && "$WINE_RUN" ./qelvcall.exe barcodeimage_create 1234 s.bmp >/dev/null) &&
  [ "$(zbar_read "$signed/s.bmp" --raw)" = 1234 ]
check "the signed DLL runs under Wine"

check_summary dist_archive
