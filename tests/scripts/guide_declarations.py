"""Holds docs/integration-guide.md against include/qelv_dorevivi.h.

  guide_declarations.py SOURCE_DIR           check every language's block
  guide_declarations.py SOURCE_DIR --block c print the guide's C block

Each language's declarations must name the header's 17 functions, each
with the header's parameters (names, and ANSI text, UTF-16 text or
integer, in order), an integer result and the standard calling convention
in that language's own words. A wrong declaration in a host crashes or corrupts its stack, and
nothing else would notice it.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import prototypes  # noqa: E402

DLL = "qelv_dorevivi.dll"


def blocks(guide):
    """(language, body) of each fenced block; "```c run-time" is "c:run-time"."""
    return [(lang + (":" + tag if tag else ""), body) for lang, tag, body in
            re.findall(r"^```(\w+)(?: ([\w-]+))?\n(.*?)^```", guide, re.S | re.M)]


def one_block(guide, language):
    found = [body for lang, body in blocks(guide) if lang == language]
    if len(found) != 1:
        raise SystemExit("expected one %s block, found %d" % (language, len(found)))
    return found[0]


def split_typed(params, kinds):
    """'string a, int b' -> [(kind, name)] with kinds mapping type -> kind."""
    out = []
    for param in filter(None, (p.strip() for p in params.split(","))):
        c_type, name = param.rsplit(None, 1)
        out.append((kinds.get(c_type, "?" + c_type), name))
    return out


def csharp(body, problems):
    if 'const string Dll = "%s";' % DLL not in body:
        problems.append("C#: Dll is not %s" % DLL)
    decls = re.findall(
        r"\[DllImport\(Dll,([^\]]*)\)\]\s*public static extern (\w+) (\w+)\(([^)]*)\);", body)
    if len(decls) != body.count(" extern "):
        problems.append("C#: a declaration does not have the expected form")
    found = {}
    for attrs, result, name, params in decls:
        wide = "CharSet = CharSet.Unicode" in attrs
        charset = "CharSet = CharSet.Unicode" if wide else "CharSet = CharSet.Ansi"
        for needed in ("CallingConvention = CallingConvention.StdCall", charset):
            if needed not in attrs:
                problems.append("C#: %s lacks %s" % (name, needed))
        found[name] = ({"int": "int"}.get(result, "?" + result),
                       split_typed(params, {"string": "wtext" if wide else "text", "int": "int"}))
    return found


def delphi(body, problems):
    if "QelvDll = '%s';" % DLL not in body:
        problems.append("Delphi: QelvDll is not %s" % DLL)
    decls = re.findall(
        r"^function (\w+)(?:\(([^)]*)\))?: (\w+); (\w+); external QelvDll;$", body, re.M)
    if len(decls) != len(re.findall(r"^function ", body, re.M)):
        problems.append("Delphi: a declaration does not have the expected form")
    kinds = {"PAnsiChar": "text", "PWideChar": "wtext", "Integer": "int"}
    found = {}
    for name, groups, result, convention in decls:
        if convention != "stdcall":
            problems.append("Delphi: %s is %s, not stdcall" % (name, convention))
        params = []
        for group in filter(None, groups.split(";")):
            names, type_name = (s.strip() for s in group.split(":"))
            params += [(kinds.get(type_name, "?" + type_name), n.strip())
                       for n in names.split(",")]
        found[name] = (kinds.get(result, "?" + result), params)
    return found


def powerbuilder(body, problems):
    # PowerBuilder's external functions are always __stdcall; what can go
    # wrong is the width of the integers and the width of the characters.
    # Without ";Ansi" a string goes as UTF-16: right for the W functions only.
    decls = re.findall(
        r'^function (\w+) (\w+)\(([^)]*)\) library "([^"]*)" alias for "(\w+)(;Ansi)?"$',
        body, re.M)
    if len(decls) != len(re.findall(r"^function ", body, re.M)):
        problems.append("PowerBuilder: a declaration does not have the expected form")
    found = {}
    for result, name, params, library, alias, ansi in decls:
        if library != DLL or alias != name:
            problems.append("PowerBuilder: %s binds %s in %s" % (name, alias, library))
        found[name] = ({"long": "int"}.get(result, "?" + result),
                       split_typed(params, {"string": "text" if ansi else "wtext", "long": "int"}))
    return found


def export_table(guide, problems):
    rows = re.findall(r"^\| (\d+) \| `(\w+)` \| (.*) \|$", guide, re.M)
    found = {}
    for ordinal, name, params in rows:
        parsed = []
        for param in (p.strip() for p in params.split(",") if params != "none"):
            kind = "int" if param.endswith(" (int)") else (
                "wtext" if param.endswith(" (UTF-16)") else "text")
            parsed.append((kind, param.replace(" (int)", "").replace(" (UTF-16)", "")))
        found[name] = ("int", parsed, int(ordinal))
    return found


def compare(language, found, header, problems):
    expected = {name: (result, params) for _, name, result, params in header}
    if set(found) != set(expected):
        problems.append("%s: declares %s; the header has %s" % (
            language, sorted(set(found) - set(expected)), sorted(set(expected) - set(found))))
    for name in sorted(set(found) & set(expected)):
        if found[name][:2] != expected[name]:
            problems.append("%s: %s is %s; the header says %s" % (
                language, name, found[name][:2], expected[name]))


def numbers(source_dir, guide, problems):
    """The limits the guide states are the ones the code enforces."""
    def constant(path, name):
        with open(os.path.join(source_dir, path), encoding="utf-8") as f:
            return re.search(name + r"\s*=\s*(\d+)", f.read()).group(1)

    claims = [
        (r"Code 128 \(`barcodeimage_create`\) (\d+) digits",
         constant("symbology/code128.h", "kCode128MaxDigits")),
        (r"Interleaved 2 of 5\s+\(`itf125barimage_create`\) (\d+) digits",
         constant("symbology/itf.h", "kItfMaxDigits")),
        (r"\(`barcodeimage_create_font`\) (\d+) digits",
         constant("symbology/code128_font.h", "kCode128FontMaxDigits")),
    ]
    with open(os.path.join(source_dir, "include/qelv_errors.h"), encoding="utf-8") as f:
        for name, value in re.findall(r"#define (QELV_ERROR_\w+)\s+(0x[0-9A-Fa-f]+)L", f.read()):
            claims.append((r"\| `%s` \| (0x[0-9A-Fa-f]+) \|" % name, value))
    for pattern, value in claims:
        m = re.search(pattern, guide)
        if not m or m.group(1) != value:
            problems.append("guide: '%s' should state %s" % (pattern, value))


def main():
    source_dir = sys.argv[1]
    with open(os.path.join(source_dir, "docs/integration-guide.md"), encoding="utf-8") as f:
        guide = f.read()
    if sys.argv[2:3] == ["--block"]:
        sys.stdout.write(one_block(guide, sys.argv[3]))
        return 0
    header = prototypes.read(os.path.join(source_dir, "include/qelv_dorevivi.h"))
    problems = []
    if len(header) != 17:
        problems.append("header: %d prototypes read, not 17" % len(header))
    table = export_table(guide, problems)
    compare("export table", table, header, problems)
    for ordinal, name, _, _ in header:
        if name in table and table[name][2] != ordinal:
            problems.append("export table: %s on %d, header %d" % (name, table[name][2], ordinal))
    compare("C#", csharp(one_block(guide, "csharp"), problems), header, problems)
    compare("Delphi", delphi(one_block(guide, "delphi"), problems), header, problems)
    compare("PowerBuilder", powerbuilder(one_block(guide, "powerbuilder"), problems),
            header, problems)
    numbers(source_dir, guide, problems)
    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
