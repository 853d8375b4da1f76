#!/usr/bin/env python3
"""Writes THIRD-PARTY-NOTICES.txt for the release: what the binaries link
statically, with the full licence texts, readable in Notepad (CR LF).

Usage: notices.py HEAD MINGW_COPYRIGHT GCC_COPYRIGHT GPL3 OUT

HEAD is our own introduction. The texts come from the build machine's
packages: the mingw-w64 runtime's licences are taken from its
machine-readable copyright file (paragraphs for the parts linked: the
start-up code, the support library and gdtoa's number formatting), the
GCC Runtime Library Exception from GCC's, and the GPL 3 in full, so every
text the notices refer to is in the file itself.
"""
import re
import sys

# mingw-w64 licence name -> what of it the binaries link.
MINGW_LINKED = {
    "ZPL-2.1": "the mingw-w64 runtime (start-up code, support library)",
    "public-domain": "the mingw-w64 start-up code and headers",
    "Lucent": "gdtoa and the printf formatting of the mingw-w64 runtime",
}


def paragraphs(text):
    return [p for p in re.split(r"\n\s*\n", text) if p.strip()]


def field(paragraph, name):
    """The value of a DEP-5 field: its first line and its continuation."""
    match = re.search(r"^%s:(.*(?:\n[ \t].*)*)" % name, paragraph, re.M)
    if not match:
        return None
    lines = match.group(1).split("\n")
    body = [line[1:] if line.startswith(" ") else line for line in lines[1:]]
    body = ["" if line.strip() == "." else line for line in body]
    return lines[0].strip(), "\n".join(body).rstrip()


def mingw_sections(copyright_text):
    sections = []
    for paragraph in paragraphs(copyright_text):
        licence = field(paragraph, "License")
        if not licence or licence[0] not in MINGW_LINKED or not licence[1]:
            continue
        holder = field(paragraph, "Copyright")
        notice = "Copyright: " + (holder[0] + ("\n" + holder[1] if holder[1] else "")) if holder else ""
        sections.append((MINGW_LINKED.pop(licence[0]), licence[0], notice, licence[1]))
    for part, name in ((v, k) for k, v in MINGW_LINKED.items()):
        sections.append((part, name, "", "Dedicated to the public domain by its authors."
                         if name == "public-domain" else ""))
    return sections


def runtime_exception(gcc_text):
    start = gcc_text.index("GCC RUNTIME LIBRARY EXCEPTION")
    end = gcc_text.index("2. No Weakening of GCC Copyleft.", start)
    end = gcc_text.index("\n\n", gcc_text.index("\n\n", end) + 2)
    return gcc_text[start:end].strip()


def main(head, mingw, gcc, gpl3, out):
    rule = "=" * 72
    parts = [open(head).read().strip()]
    for part, name, notice, text in mingw_sections(open(mingw).read()):
        parts.append("\n".join([rule, "%s (%s)" % (part, name), rule, "", notice, "", text]).rstrip())
    parts.append("\n".join([
        rule, "libstdc++ and libgcc from GCC (GPL 3 with the GCC Runtime Library Exception)", rule, "",
        "Copyright (C) Free Software Foundation, Inc.", "",
        "These runtime libraries are free software under the terms of the GNU",
        "General Public License, version 3 or later, with version 3.1 of the GCC",
        "Runtime Library Exception; both texts follow. The Exception permits",
        "conveying the binaries, which GCC combined with these libraries, under",
        "our own licence.", "", runtime_exception(open(gcc).read())]))
    parts.append("\n".join([rule, "GNU General Public License, version 3", rule, "",
                            open(gpl3).read().strip()]))
    text = "\n\n\n".join(parts) + "\n"
    with open(out, "w", newline="\r\n") as f:
        f.write(text)


if __name__ == "__main__":
    main(*sys.argv[1:6])
