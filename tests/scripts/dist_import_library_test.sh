#!/usr/bin/env bash
# What `cmake --install` lays out for integrators, and whether a host can
# link against it: the .def agrees with the DLL's real export table, and a
# program compiled and linked the way MSVC does (clang for the MSVC target,
# lld-link with its x86 SafeSEH default) binds every working export through
# the shipped import library and runs under Wine, and a C++ host binds the
# samples under the names clang's MSVC mangling gives them on this
# architecture.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}" "${QELV_ARCH:?}" "${MSVC_TARGET:?}"

. "$SOURCE_DIR/tests/scripts/lib/check.sh"
dist="$work/dist"

cmake --install "$BUILD_DIR" --prefix "$dist" >/dev/null
check "cmake --install succeeds"
for f in bin/qelv_dorevivi.dll bin/qelvcall.exe include/qelv_dorevivi.h \
         lib/qelv_dorevivi.lib lib/qelv_dorevivi.def integration-guide.md fonts/code128.ttf \
         LICENSE THIRD-PARTY-NOTICES.txt CHANGELOG.md symbols/qelv_dorevivi.pdb; do
  [ -s "$dist/$f" ]
  check "installed $f"
done
[ -z "$(find "$dist" -iname 'lib*.dll')" ]
check "no runtime DLLs are shipped"
cmp -s "$dist/include/qelv_dorevivi.h" "$SOURCE_DIR/include/qelv_dorevivi.h"
check "the installed header is the source header"

# The .def's names and ordinals are the DLL's own, read from its export table.
def_table=$(sed -n '/^EXPORTS/,$p' "$dist/lib/qelv_dorevivi.def" | tail -n +2 |
            awk '{ sub("@", "", $2); print $2, $1 }' | sort -n)
dll_table=$(llvm-readobj --coff-exports "$dist/bin/qelv_dorevivi.dll" |
            awk '/Ordinal:/ { o = $2 } /Name:/ { print o, $2 }' | sort -n)
[ -n "$def_table" ] && [ "$def_table" = "$dll_table" ]
check "lib/qelv_dorevivi.def lists the DLL's 21 names on their ordinals"
[ "$(wc -l <<<"$def_table")" -eq 21 ]
check "the .def has 21 exports"

# Each symbol a compiler emits for the header's prototypes is in the import
# library: on x86 the stdcall _name@(4 x parameters), on x64 the plain name.
symbols=$(llvm-nm "$dist/lib/qelv_dorevivi.lib" 2>/dev/null)
while read -r ordinal name params; do
  count=$(tr ',' '\n' <<<"$params" | grep -c .)
  symbol="__imp__${name}@$((4 * count))"
  [ "$QELV_ARCH" = x64 ] && symbol="__imp_${name}"
  grep -q " ${symbol}$" <<<"$symbols"
  check "import library defines $symbol"
done < <(python3 "$SOURCE_DIR/tests/scripts/prototypes.py" "$SOURCE_DIR/include/qelv_dorevivi.h" |
         sed -E 's/^ *([0-9]+) ([A-Za-z0-9_]+)\((.*)\)$/\1 \2 \3/')

# An MSVC-style build of a host: no C runtime, only our header and library.
cat >"$work/host.c" <<'EOF'
#include "qelv_dorevivi.h"

int start(void) {
    int sum = OpenVarEda(0, 0) + lis_req(0, 0, 0, 0) + lis_exec(0, 0, 0, 0) +
              lis_report(0, 0, 0, 0, 0, 0) + lis_bloodapply(0, 0, 0) +
              lis_bloodexec(0, 0, 0, 0) + lis_apply(0, 0, 0) +
              barcodeimage_create(0, 0) + barcodeimage_create_font(0, 0) +
              itf125barimage_create(2, 20, 0, 0) +
              lis_reportdate(0, 0, 0, 0, 0, 0, 0, 0) +
              lis_reportdateAndType(0, 0, 0, 0, 0, 0, 0, 0, 0) + lis_req_clinic(0, 0, 0, 0) +
              barcodeimage_createW(0, 0) + barcodeimage_create_fontW(0, 0) +
              itf125barimage_createW(2, 20, 0, 0);
    /* 87: the last call's NULL text, as ERROR_INVALID_PARAMETER. */
    return sum == 0 && qelv_last_error() == 87 ? 42 : 1;
}
EOF
mkdir -p "$work/run"
cp "$dist/bin/qelv_dorevivi.dll" "$work/run/"
clang --target="$MSVC_TARGET" -Wall -Werror -I"$dist/include" -c "$work/host.c" -o "$work/host.obj" &&
  lld-link /nologo /entry:start /subsystem:console /nodefaultlib /out:"$work/run/host.exe" \
    "$work/host.obj" "$dist/lib/qelv_dorevivi.lib"
check "an MSVC-style compile and link against lib/qelv_dorevivi.lib succeeds"
imports=$(llvm-readobj --coff-imports "$work/run/host.exe" 2>/dev/null | awk '/Symbol:/ { print $2 }' | sort)
expected=$(python3 "$SOURCE_DIR/tests/scripts/prototypes.py" "$SOURCE_DIR/include/qelv_dorevivi.h" |
           sed -E 's/^ *[0-9]+ ([A-Za-z0-9_]+)\(.*$/\1/' | sort)
[ -n "$imports" ] && [ "$imports" = "$expected" ]
check "the host imports the 17 plain names, without @bytes"
(cd "$work/run" && "$WINE_RUN" ./host.exe)
[ $? -eq 42 ]
check "the MSVC-style host loads the DLL, every refused call returns 0, qelv_last_error says why"

# The samples as a C++ host declares them: clang mangles the names the way
# MSVC does for this architecture, and the import library and DLL have them.
cat >"$work/samples.cpp" <<'EOF'
class __declspec(dllimport) CQelvLogic {
public:
    CQelvLogic();
    CQelvLogic& operator=(const CQelvLogic&);
};
__declspec(dllimport) int fnQelvLogic();
__declspec(dllimport) extern int nQelvLogic;

extern "C" int start() {
    CQelvLogic a, b;
    return &(a = b) == &a && fnQelvLogic() == 42 && nQelvLogic == 0 ? 42 : 1;
}
EOF
clang++ --target="$MSVC_TARGET" -fno-exceptions -fno-rtti -Wall -Werror -c "$work/samples.cpp" \
  -o "$work/samples.obj" &&
  lld-link /nologo /entry:start /subsystem:console /nodefaultlib /out:"$work/run/samples.exe" \
    "$work/samples.obj" "$dist/lib/qelv_dorevivi.lib"
check "a C++ host binds the samples through the import library"
mangled=$(llvm-nm "$work/samples.obj" | awk '$1 == "U" && $2 ~ /^__imp_/ { sub(/^__imp_/, "", $2); print $2 }' | sort)
exported=$(grep -o '^ *[?][^ ]*' "$dist/lib/qelv_dorevivi.def" | tr -d ' ' | sort)
names=$(tr '\n' ' ' <<<"$mangled")
[ "$(wc -l <<<"$mangled")" -eq 4 ] && [ "$mangled" = "$exported" ]
check "clang's MSVC mangling of the samples is the DLL's four names ($names)"
(cd "$work/run" && "$WINE_RUN" ./samples.exe)
[ $? -eq 42 ]
check "the C++ host constructs, assigns, calls fnQelvLogic and reads nQelvLogic"

check_summary dist
