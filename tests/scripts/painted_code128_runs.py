"""Reads Code 128 symbols from 24-bit BMP files by their bar widths.

zbar reads Code 128 only up to 252 digits; longer symbols are checked here
with widths learned from a picture that zbar has read, so the table comes
from zbar's reading, not from ours.

  learn <bmp> <digits> <table>   store the widths of each pair value
  read <bmp> <table>             print the digits, or exit 1
"""
import json
import struct
import sys


def runs(path):
    """Widths of the alternating black and white runs of the middle row."""
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP")
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24 or width <= 0 or height <= 0:
        sys.exit(f"{path}: not a bottom-up 24-bit BMP")
    stride = (width * 3 + 3) // 4 * 4
    row = data[offset + stride * (height // 2):][: width * 3]
    dark = [row[3 * x] < 128 for x in range(width)]
    if not dark[0]:
        sys.exit(f"{path}: first column is not a bar")
    widths, count = [], 1
    for x in range(1, width):
        if dark[x] == dark[x - 1]:
            count += 1
        else:
            widths.append(count)
            count = 1
    widths.append(count)
    return widths


def groups(widths):
    """Start, the characters after it (check last) and the stop."""
    if len(widths) < 19 or (len(widths) - 19) % 6:
        sys.exit("not a whole number of symbol characters")
    chars = [tuple(widths[i:i + 6]) for i in range(0, len(widths) - 7, 6)]
    return chars[0], chars[1:], tuple(widths[-7:])


def learn(path, digits, table):
    start, chars, stop = groups(runs(path))
    pairs = [int(digits[i:i + 2]) for i in range(0, len(digits), 2)]
    if len(chars) != len(pairs) + 1:
        sys.exit("pair count does not match the picture")
    values = {str(v): list(c) for v, c in zip(pairs, chars)}
    json.dump({"start": list(start), "stop": list(stop), "values": values}, open(table, "w"))


def read(path, table):
    known = json.load(open(table))
    by_widths = {tuple(w): int(v) for v, w in known["values"].items()}
    start, chars, stop = groups(runs(path))
    if list(start) != known["start"] or list(stop) != known["stop"]:
        sys.exit("start or stop differs")
    values = [by_widths.get(c) for c in chars]
    if None in values:
        sys.exit("a character zbar never showed us")
    *data, check = values
    if (105 + sum(v * (i + 1) for i, v in enumerate(data))) % 103 != check:
        sys.exit("check character does not match")
    print("".join(f"{v:02d}" for v in data))


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "learn":
        learn(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "read":
        read(*sys.argv[2:])
    else:
        sys.exit(__doc__)
