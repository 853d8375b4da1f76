"""Reads the exports' prototypes from include/qelv_dorevivi.h.

Used by the script tests to hold qelvcall's export list and the guide's
declarations against the header, the one place hosts compile against.
"""
import re
import sys

PROTOTYPE = re.compile(
    r"/\*\s*Ordinal\s+(\d+)\.[^*]*\*/\s*"
    r"QELV_API\s+(\w+)\s+QELV_CALL\s+(\w+)\s*\(([^)]*)\)\s*;",
    re.S)


def kind_of(c_type):
    c_type = " ".join(c_type.split())
    if c_type == "const char*":
        return "text"
    if c_type == "const wchar_t*":
        return "wtext"
    if c_type == "int":
        return "int"
    raise ValueError("unexpected parameter type: " + c_type)


def read(path):
    """[(ordinal, name, result kind, [(kind, parameter name), ...])]"""
    with open(path, encoding="ascii") as f:
        source = f.read()
    exports = []
    for ordinal, result, name, params in PROTOTYPE.findall(source):
        parsed = []
        for param in ([] if params.strip() == "void" else params.split(",")):
            m = re.fullmatch(r"\s*(.*?)\s*(\w+)\s*", param, re.S)
            parsed.append((kind_of(m.group(1)), m.group(2)))
        exports.append((int(ordinal), name, kind_of(result), parsed))
    return sorted(exports)


def as_list(exports):
    """The form qelvcall --list prints."""
    return "".join(
        "%2d %s(%s)\n" % (o, n, ", ".join("%s %s" % p for p in ps))
        for o, n, _, ps in exports)


if __name__ == "__main__":
    sys.stdout.write(as_list(read(sys.argv[1])))
