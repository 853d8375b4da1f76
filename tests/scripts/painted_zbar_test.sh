#!/usr/bin/env bash
# Round trip of the painted barcode exports: files written by the real DLL
# under Wine, read back by zbar after a white quiet zone is added. Each
# must decode to exactly the digits (odd input with its leading 0), and
# pictures spoilt on purpose must not.
set -uo pipefail
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}" "${WINE_RUN:?}"
here=$SOURCE_DIR/tests/scripts
. "$here/lib/check.sh"
echo "work: $work"
started=$(date +%s%N)

# One qelvcall batch of calls, and what zbar must read: name, zbar type, digits.
python3 - "$work" <<'PY'
import random, sys
work = sys.argv[1]
rng = random.Random(15417)
def digits(n): return "".join(rng.choice("0123456789") for _ in range(n))
def padded(d): return "0" + d if len(d) % 2 else d
def check(d):
    d = padded(d)
    return (105 + sum(int(d[i:i + 2]) * (i // 2 + 1) for i in range(0, len(d), 2))) % 103
jobs, expect = [], []
def c128(name, d, kind="CODE-128"):
    jobs.append(f"barcodeimage_create {d} {name}.bmp"); expect.append(f"{name} {kind} {padded(d)}")
def itf(name, ratio, height, d):
    jobs.append(f"itf125barimage_create {ratio} {height} {d} {name}.bmp"); expect.append(f"{name} I2/5 {padded(d)}")
for name, d in [("c_1234", "1234"), ("c_5", "5"), ("c_123", "123"), ("c_0", "0"),
                ("c_00", "00"), ("c_zeros", "0" * 10), ("c_nines", "9" * 10),
                ("c_odd7", "1234567"), ("c_r31", digits(31)), ("c_r64", digits(64)),
                ("c_r99", digits(99)), ("c_r251", digits(251))]:
    c128(name, d)
# Every pair value once: zbar's reading of it teaches the long check below.
c128("c_pairs", "".join(f"{v:02d}" for v in range(100)))
# The longest Code 128 that fits is past zbar's 252 digits; its check must
# be a value the pairs picture shows (0 to 99).
long = digits(334)
while check(long) > 99: long = digits(334)
c128("c_longest", long, "LEARNED")
for name, ratio, height, d in [
        ("i_1234_r2", 2, 20, "1234"), ("i_1234_r3", 3, 35, "1234"), ("i_12", 3, 27, "12"),
        ("i_5", 2, 20, "5"), ("i_zeros", 2, 30, "0" * 8), ("i_nines", 3, 20, "9" * 8),
        ("i_odd9", 2, 25, "123456789"), ("i_ratio0", 0, 10, digits(14)),
        ("i_ratio4", 4, 1000, digits(20)), ("i_r51", 3, 20, digits(51)),
        ("i_202_r2", 2, 35, digits(202)), ("i_202_r3", 3, 20, digits(202)),
        ("i_201_r3", 3, 35, digits(201))]:
    itf(name, ratio, height, d)
open(f"{work}/jobs.txt", "w").write("\n".join(jobs) + "\n")
open(f"{work}/expect.txt", "w").write("\n".join(expect) + "\n")
PY

cd "$work"
"$WINE_RUN" "$BUILD_DIR/qelvcall.exe" --batch jobs.txt | tr -d '\r' > results.txt
made=$?
refused=$(grep -A1 'returned 0' results.txt)
[ "$made" -eq 0 ]
check "a call gave nothing: $refused"
[ "$(grep -c ' returned [1-9]' results.txt)" = "$(wc -l < jobs.txt)" ]
check "not every job ran"

# What zbar reads, every symbol's text run together; the first symbol's type.
itf_options=(-Si25.enable -Si25.min-len=0 -Si25.max-len=0)
scan() { zbar_read "$1" --raw "${itf_options[@]}" | tr -d '\n'; }
typed() { zbar_read "$1" "${itf_options[@]}" | head -n 1 | cut -d: -f1; }

checked=0
while read -r name kind digits; do
  if [ "$kind" = LEARNED ]; then
    continue
  fi
  got=$(scan "$name.bmp")
  type=$(typed "$name.bmp")
  [ "$got" = "$digits" ]
  check "$name: zbar read '$got', not '$digits'"
  [ "$type" = "$kind" ]
  check "$name: zbar saw type '$type', not $kind"
  checked=$((checked + 1))
done < expect.txt

# The longest Code 128, read with the widths zbar confirmed in c_pairs.
pairs=$(awk '$1 == "c_pairs" { print $3 }' expect.txt)
longest=$(awk '$1 == "c_longest" { print $3 }' expect.txt)
python3 "$here/painted_code128_runs.py" learn c_pairs.bmp "$pairs" widths.json
got=$(python3 "$here/painted_code128_runs.py" read c_longest.bmp widths.json) || got=
[ "$got" = "$longest" ]
check "c_longest: read '$got', not the 334 digits"
checked=$((checked + 1))

# Sanity rows: a spoilt picture must not read as its digits.
# The check character of "1234" (columns 33 to 43) painted white.
convert c_1234.bmp -fill white -draw 'rectangle 33,0 43,34' spoilt_check.bmp
[ "$(scan spoilt_check.bmp)" != 1234 ]
check "zbar read 1234 without its check character"
# One wide bar of the ITF "1234" cut to narrow: a different digit or none.
convert i_1234_r3.bmp -fill white -draw 'point 5,0' -draw 'line 5,0 5,34' spoilt_bar.bmp
[ "$(scan spoilt_bar.bmp)" != 1234 ]
check "zbar read 1234 with a wide bar made narrow"
# The same widths learned from zbar must also refuse a spoilt long symbol.
# convert's copy must still read, so the refusal is the spoiling's doing.
convert c_longest.bmp -type TrueColor BMP3:copy_long.bmp
convert c_longest.bmp -fill white -draw 'rectangle 500,0 501,34' -type TrueColor BMP3:spoilt_long.bmp
[ "$(python3 "$here/painted_code128_runs.py" read copy_long.bmp widths.json)" = "$longest" ]
check "the width reader cannot read convert's copy of the long symbol"
! python3 "$here/painted_code128_runs.py" read spoilt_long.bmp widths.json >/dev/null 2>&1
check "the width reader accepted a spoilt long symbol"

elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
echo "painted_zbar: $checked pictures read back, 3 spoilt ones checked, ${elapsed} ms"
check_summary painted_zbar
