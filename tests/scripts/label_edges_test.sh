#!/usr/bin/env bash
# Labels at the edges of a workstation, through the real DLL under Wine.
#
# A folder that takes no new file (immutable as root, read-only otherwise)
# but whose label may be written: the label is written in place, and a
# refusal leaves it empty. An old label that can be neither removed nor
# emptied (immutable, as root) is announced. Links at the path or in the
# temporary slots are never followed; names Windows cannot hold and
# unreachable shares get their own reasons.
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

# Under Wine 10 the disk rows mount a tmpfs between calls: a prefix of
# this script's own, whose server starts afresh for each of those calls.
[ "${QELV_WINE:-}" = 10 ] && export WINEPREFIX="$BUILD_DIR/wine10prefix-edges"
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

# Powers some rows need, which a container may lack: root locks a folder
# with chattr (CAP_LINUX_IMMUTABLE), and mounts a tmpfs (CAP_SYS_ADMIN).
root=0 can_chattr=0 can_mount=0
[ "$(id -u)" -eq 0 ] && root=1
touch "$work/probe" && mkdir -p "$work/probe.d"
[ $root = 1 ] && chattr +i "$work/probe" 2>/dev/null && chattr -i "$work/probe" && can_chattr=1
[ $root = 1 ] && mount -t tmpfs -o size=4k tmpfs "$work/probe.d" 2>/dev/null && umount "$work/probe.d" && can_mount=1
no_chattr="chattr +i is refused: run the container with --cap-add LINUX_IMMUTABLE or --privileged"
no_mount="no tmpfs can be mounted: run as root, in a container with --cap-add SYS_ADMIN or --privileged"
can_lock=$(( root == 0 || can_chattr == 1 ))

lock_folder() { if [ $root = 1 ]; then chattr "$1"i "$2"; else chmod "$([ "$1" = + ] && echo a-w || echo u+w)" "$2"; fi; }
if [ $can_lock = 0 ]; then
  not_run "a folder that takes no new file (3 rows)" "$no_chattr"
else
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
[[ "$out" == *"returned 0"* && "$out" == *"(error 5)"* ]] && [ ! -e "$work/locked/new.bmp" ]
check "a folder that takes no new file and no label yet: 0, access denied [$out]"
lock_folder - "$work/locked"
fi
if [ $root = 1 ] && [ $can_chattr = 0 ]; then
  not_run "an immutable old label, an append-only folder (6 rows)" "$no_chattr"
fi
if [ $can_chattr = 1 ]; then
  mkdir -p "$work/locked"
  head -c 2214 /dev/urandom >"$work/locked/label.bmp"
  chattr +i "$work/locked/label.bmp"
  for digits in 12A4 1234; do
    out=$(qelvcall barcodeimage_create $digits "$(winpath "$work/locked/label.bmp")")
    [[ "$out" == *"may still be at the path"* ]]
    check "an old label that can be neither removed nor emptied is announced ($digits) [$out]"
  done
  chattr -i "$work/locked/label.bmp"
  # An append-only folder: files may be made and written, not renamed or
  # removed. The label is written in place; the one leftover the first
  # call cannot remove is reused by every later call.
  mkdir -p "$work/append" && chattr +a "$work/append"
  for call in "barcodeimage_create 1234|code128" "itf125barimage_create 2 10 1234|itf" \
              "barcodeimage_create 1234|code128"; do
    # shellcheck disable=SC2086
    out=$(qelvcall ${call%|*} "$(winpath "$work/append/label.bmp")")
    cmp -s "$work/append/label.bmp" "$work/ref/${call#*|}.bmp"
    check "an append-only folder gets its label in place (${call%|*}) [$out]"
  done
  out=$(qelvcall barcodeimage_create 12A4 "$(winpath "$work/append/label.bmp")")
  [[ "$out" == *"digits 0-9"* ]] && [ ! -s "$work/append/label.bmp" ] &&
    [ "$(find "$work/append" -name '~qelv*' | wc -l)" -le 1 ] && [ -z "$(find "$work/append" -name '~qelv*' -size +0)" ]
  check "an append-only folder: a refusal empties the label; at most one empty leftover [$out]"
  chattr -a "$work/append"
fi
if [ $root = 1 ]; then
  # A sticky shared folder with another user's label that all may write:
  # the label can be neither replaced nor removed, only written in place.
  chmod 755 "$work" && mkdir -m 1777 "$work/sticky" && mkdir "$work/nobody" && chown nobody "$work/nobody"
  # (under Wine 10 the runner enters its chroot as root, then becomes nobody)
  as_nobody() {
    if [ "${QELV_WINE:-}" = 10 ]; then
      env HOME="$work/nobody" WINEPREFIX="$work/nobody/prefix" QELV_WINE_USER=nobody \
        "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" "$@" 2>/dev/null | tr -d '\r'
    else
      runuser -u nobody -- env HOME="$work/nobody" WINEPREFIX="$work/nobody/prefix" \
        "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" "$@" 2>/dev/null | tr -d '\r'
    fi
  }
  for digits in 1234 12A4; do
    head -c 2214 /dev/urandom >"$work/sticky/label.bmp" && chmod 666 "$work/sticky/label.bmp"
    out=$(as_nobody barcodeimage_create $digits "$(winpath "$work/sticky/label.bmp")")
    if [ $digits = 1234 ]; then cmp -s "$work/sticky/label.bmp" "$work/ref/code128.bmp"; else
      [[ "$out" == *"digits 0-9"* ]] && [ ! -s "$work/sticky/label.bmp" ]; fi
    check "a sticky folder, another user's label: written in place, or emptied by a refusal ($digits) [$out]"
  done
fi

# --- Nothing but the label: links are replaced, never followed; a slot that
# cannot be used is skipped; a name Windows cannot hold gets its own reason.
mkdir -p "$work/links/other" "$work/links/lab"
echo target >"$work/links/other/t.bmp"
ln -s ../other/t.bmp "$work/links/lab/link.bmp"
out=$(qelvcall barcodeimage_create 12a4 "$(winpath "$work/links/lab/link.bmp")")
[[ "$out" == *"digits 0-9"* ]] && [ ! -e "$work/links/lab/link.bmp" ] && [ ! -L "$work/links/lab/link.bmp" ] &&
  [ "$(cat "$work/links/other/t.bmp")" = target ]
check "a refusal removes a link at the path, not its target [$out]"
ln -s ../other/t.bmp "$work/links/lab/link.bmp"
out=$(qelvcall barcodeimage_create 1234 "$(winpath "$work/links/lab/link.bmp")")
[ ! -L "$work/links/lab/link.bmp" ] && cmp -s "$work/links/lab/link.bmp" "$work/ref/code128.bmp" &&
  [ "$(cat "$work/links/other/t.bmp")" = target ]
check "a good call replaces a link at the path with the label [$out]"
echo victim >"$work/links/other/victim"
ln -s ../other/victim "$work/links/lab/~qelv00.tmp"
ln -s ../other/none "$work/links/lab/~qelv01.tmp"
out=$(qelvcall itf125barimage_create 2 10 1234 "$(winpath "$work/links/lab/sweep.bmp")")
[ "$(cat "$work/links/other/victim")" = victim ] && [ -L "$work/links/lab/~qelv00.tmp" ] &&
  cmp -s "$work/links/lab/sweep.bmp" "$work/ref/itf.bmp"
check "leftover slots that are links, live or dangling, are skipped, never removed through [$out]"
mkdir -p "$work/slots"
for i in $(seq -w 0 31); do mkdir "$work/slots/~qelv$i.tmp"; done
out=$(qelvcall barcodeimage_create 1234 "$(winpath "$work/slots/label.bmp")")
[[ "$out" == *"(error 82)"* ]] && [ ! -e "$work/slots/label.bmp" ]
check "every slot a folder: the reason says no temporary file can be made, not path busy [$out]"
rm -rf "$work/slots" && mkdir -p "$work/slots"
for i in $(seq -w 0 31); do echo left >"$work/slots/~qelv$i.tmp"; chmod a-w "$work/slots/~qelv$i.tmp"; done
out=$(qelvcall barcodeimage_create 1234 "$(winpath "$work/slots/label.bmp")")
cmp -s "$work/slots/label.bmp" "$work/ref/code128.bmp" && [ ! -e "$work/slots/~qelv00.tmp" ]
check "read-only leftovers are swept like any other [$out]"
mkdir -p "$work/links/shut" && echo hard >"$work/links/other/hard.bmp"
ln -s ../other/t.bmp "$work/links/shut/link.bmp" && ln "$work/links/other/hard.bmp" "$work/links/shut/hard.bmp"
if [ $can_lock = 0 ]; then
  not_run "a folder that forbids removing, with a link or a hard link (4 rows)" "$no_chattr"
else
lock_folder + "$work/links/shut"
for name in link hard; do
  before=$(cat "$work/links/other/$name.bmp" 2>/dev/null || cat "$work/links/other/t.bmp")
  for digits in 12a4 1234; do
    out=$(qelvcall barcodeimage_create $digits "$(winpath "$work/links/shut/$name.bmp")")
    [[ "$out" == *"may still be at the path"* ]] &&
      [ "$(cat "$work/links/other/$name.bmp" 2>/dev/null || cat "$work/links/other/t.bmp")" = "$before" ]
    check "a folder that forbids removing: a $name is left alone, its other name untouched ($digits) [$out]"
  done
done
lock_folder - "$work/links/shut"
fi
head -c 300 /dev/urandom >"$work/links/dev.bmp"
out=$(qelvcall barcodeimage_create 12a4 "\\\\.\\$(winpath "$work/links/dev.bmp")")
[ ! -e "$work/links/dev.bmp" ]
check "\\\\.\\Z: names the file at Z:, and a refusal clears it [$out]"
out=$(qelvcall barcodeimage_create 1234 "\\\\.\\$(winpath "$work/links/dev.bmp")")
cmp -s "$work/links/dev.bmp" "$work/ref/code128.bmp"
check "\\\\.\\Z: takes a label [$out]"
for name in '"quoted.bmp"' $'line.bmp\r\n' $'tab\t.bmp' 'a|b.bmp' 'a<b.bmp' 'a>b.bmp' 'a*.bmp' 'a?.bmp'; do
  out=$(qelvcall barcodeimage_create 1234 "$(winpath "$work/links")\\$name")
  [[ "$out" == *"(error 123)"* ]]
  check "a name Windows cannot hold is 123, not an old label kept [${name//[$'\r\n\t']/ }: $out]"
done
# Code page 932 spells U+2170 in two byte forms, EE EF and FA 40: either
# names the one file CreateFileA opens, so a label written through one is
# cleared by a refusal through the other (the bytes come from a batch file,
# as from a host's database, untouched by any command line).
mkdir -p "$work/cp932" && cd "$work/cp932" || exit 1
printf 'barcodeimage_create 1234 "\xEE\xEF.bmp"\r\n' >write.txt
printf 'barcodeimage_create 12A4 "\xFA\x40.bmp"\r\n' >refuse.txt
cp932() { LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" "$@" 2>/dev/null | tr -d '\r'; }
out=$(cp932 --version; cp932 --batch write.txt)
[[ "$out" == *"ANSI code page 932"*"returned 1"* ]] && cmp -s "$work/cp932/"$'\xe2\x85\xb0'.bmp "$work/ref/code128.bmp"
check "code page 932: EE EF names U+2170 as CreateFileA reads it [$out]"
out=$(cp932 --batch refuse.txt)
[[ "$out" == *"digits 0-9"* ]] && [ -z "$(ls "$work/cp932"/*.bmp 2>/dev/null)" ]
check "code page 932: a refusal through FA 40 clears the label EE EF wrote [$out]"
cd "$work/ref" || exit 1
refused=$(qelvcall barcodeimage_create 12a4 '\\qelv-no-such-server\labels\x.bmp')
out=$(qelvcall barcodeimage_create 1234 '\\qelv-no-such-server\labels\x.bmp')
[[ "$refused" == *"digits 0-9"* && "$out" == *"returned 0"* && "$out" != *"may still be"* ]]
check "an unreachable share gives the network's reason, not an old label kept [$out]"

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
# The log under the same limit: an append that does not fit is cut back.
printf '\r\n[2026-01-05 09:07:03]: kept %s ' "$(head -c 3000 /dev/zero | tr '\0' x)" >webdll_log.txt
cp webdll_log.txt "$work/log.limited"
out=$(trap '' XFSZ; prlimit --fsize=$limit -- "$WINE_RUN" "$BUILD_DIR/qelvcall.exe" itf125barimage_create \
        3 35 "$(printf '%0202d' 7)" "$(winpath "$work/ref/long.bmp")" | tr -d '\r')
cmp -s webdll_log.txt "$work/log.limited"
check "a log entry that does not fit under a file-size limit is cut back whole [$out]"
cd "$work/ref" || exit 1

if [ $can_mount = 0 ]; then
  not_run "labels and the log on a full tmpfs (20 rows)" "$no_mount"
  check_summary label_edges
  exit
fi

export QELV_WINE10_FRESH_SERVER=1
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
