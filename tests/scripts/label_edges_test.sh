#!/usr/bin/env bash
# Labels at the edges of a workstation, through the real DLL under Wine.
#
# A folder that takes no new file (immutable as root, read-only otherwise)
# but whose label may be written: the label is written in place, and a
# refusal leaves it empty. An old label that can be neither removed nor
# emptied (immutable, as root) is announced.
#
# Labels on a full disk: a file-size limit
# that any user may set, and (as root) a small tmpfs with 0, 4 and 8 KiB
# free; an older label at the path. Every call leaves either the complete
# label (nonzero) or no file at all (0, "disk full"): never a cut file,
# never the older label. A log that meets the full disk keeps whole
# entries only.
set -uo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_RUN:?}"
. "$SOURCE_DIR/tests/scripts/lib/check.sh"

winpath() { local p=$1; echo "Z:${p//\//\\}"; }
qelvcall() { "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --font "$font" "$@" | tr -d '\r'; }

font=$(winpath "$BUILD_DIR/fonts/code128.ttf")
disk="$work/disk"
mkdir -p "$work/ref" "$disk"
cd "$work/ref" || exit 1  # the encoders' log lines stay off the small disk
trap 'cd /; umount "$disk" 2>/dev/null; rm -rf "$work"' EXIT

# name|export and arguments before the path|label bytes
labels="itf|itf125barimage_create 2 10 1234|2214
code128|barcodeimage_create 1234|6074
font|barcodeimage_create_font 1234|10694"

while IFS='|' read -r name call size; do
  # shellcheck disable=SC2086
  qelvcall $call "$(winpath "$work/ref/$name.bmp")" >/dev/null
  [ "$(stat -c %s "$work/ref/$name.bmp" 2>/dev/null)" = "$size" ]
  check "reference $name label of $size bytes"
done <<<"$labels"

lock_folder() { if [ "$(id -u)" -eq 0 ]; then chattr "$1"i "$2"; else chmod "$([ "$1" = + ] && echo a-w || echo u+w)" "$2"; fi; }
mkdir -p "$work/locked"
head -c 2214 /dev/urandom >"$work/locked/label.bmp"
lock_folder + "$work/locked"
out=$(qelvcall barcodeimage_create 1234 "$(winpath "$work/locked/label.bmp")")
[[ "$out" != *"returned 0"* ]] && cmp -s "$work/locked/label.bmp" "$work/ref/code128.bmp"
check "a folder that takes no new file: the label is written in place [$out]"
out=$(qelvcall barcodeimage_create 12A4 "$(winpath "$work/locked/label.bmp")")
[[ "$out" == *"digits 0-9"* ]] && [ ! -s "$work/locked/label.bmp" ]
check "a folder that takes no new file: a refusal leaves the label empty [$out]"
out=$(qelvcall barcodeimage_create 1234 "$(winpath "$work/locked/new.bmp")")
[[ "$out" == *"returned 0"* ]] && [ ! -e "$work/locked/new.bmp" ]
check "a folder that takes no new file and no label yet: 0 [$out]"
lock_folder - "$work/locked"
if [ "$(id -u)" -eq 0 ]; then
  chattr +i "$work/locked/label.bmp"
  out=$(qelvcall barcodeimage_create 12A4 "$(winpath "$work/locked/label.bmp")")
  [[ "$out" == *"may still be at the path"* ]]
  check "an old label that can be neither removed nor emptied is announced [$out]"
  chattr -i "$work/locked/label.bmp"
fi

# The write stops part way at the limit (SIGXFSZ ignored, so the write
# fails instead of the program). The Wine server is started unlimited first:
# it writes the registry, which the limit would cut.
mkdir -p "$work/limited" && cd "$work/limited" || exit 1
limit=4096
"$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --list >/dev/null
while IFS='|' read -r name call size; do
  head -c 2214 /dev/urandom >label.bmp
  # shellcheck disable=SC2086
  out=$(trap '' XFSZ; prlimit --fsize=$limit -- "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --font "$font" \
          $call "$(winpath "$work/limited/label.bmp")" | tr -d '\r')
  if [ "$size" -le $limit ]; then
    [[ "$out" != *"returned 0"* ]] && cmp -s label.bmp "$work/ref/$name.bmp"
  else
    [[ "$out" == *"disk full"* ]] && [ ! -e label.bmp ]
  fi
  check "$name label ($size bytes) under a $limit-byte file-size limit: whole or absent [$out]"
  [ -z "$(find . -name '~qelv*')" ]
  check "$name label under a file-size limit leaves no temporary file"
done <<<"$labels"
cd "$work/ref" || exit 1

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: the tmpfs cases need a mount"
  check_summary label_edges
  exit
fi

page=4096
for free in 0 4096 8192; do
  while IFS='|' read -r name call size; do
    mount -t tmpfs -o size=16k tmpfs "$disk" || { check "mount a tmpfs"; continue; }
    head -c 2214 /dev/urandom >"$disk/label.bmp"  # the older label: one page
    head -c $((16384 - page - free)) /dev/zero >"$disk/fill"
    # shellcheck disable=SC2086
    out=$(qelvcall $call "$(winpath "$disk/label.bmp")")
    fits=$(( (size + page - 1) / page * page <= free ))
    case "$out" in
      *"returned 0"*)
        [ "$fits" -eq 0 ] && [ ! -e "$disk/label.bmp" ] && [[ "$out" == *"disk full"* ]] ;;
      *)
        [ "$fits" -eq 1 ] && cmp -s "$disk/label.bmp" "$work/ref/$name.bmp" ;;
    esac
    check "$name label ($size bytes) with $free bytes free: whole or absent [$out]"
    [ -z "$(find "$disk" -name '~qelv*')" ]
    check "$name label with $free bytes free leaves no temporary file"
    umount "$disk"
  done <<<"$labels"
done

# The log on a full disk: a short write is cut back, so the entries that
# were there stay and no torn entry follows them.
mount -t tmpfs -o size=8k tmpfs "$disk" && cd "$disk" || exit 1
printf '\r\n[2026-01-05 09:07:03]: kept %s ' "$(head -c 3000 /dev/zero | tr '\0' x)" >webdll_log.txt
cp webdll_log.txt "$work/log.before"
head -c 4096 /dev/zero >fill
qelvcall itf125barimage_create 3 35 "$(printf '%0202d' 7)" "$(winpath "$work/ref/long.bmp")" >/dev/null
cmp -s webdll_log.txt "$work/log.before"
check "a log entry that does not fit is cut back whole"
rm -f fill
qelvcall itf125barimage_create 2 20 12 "$(winpath "$work/ref/short.bmp")" >/dev/null
python3 - "$disk/webdll_log.txt" <<'PY'
import re, sys
text = open(sys.argv[1], "rb").read().decode("latin-1")
entries = text.split("\r\n")[1:]
shape = re.compile(r"^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\]: .* $")
sys.exit(0 if len(entries) == 1 + 5 and all(shape.match(e) for e in entries) else 1)
PY
check "with room again, the next call's entries follow whole"
cd / && umount "$disk"

check_summary label_edges
