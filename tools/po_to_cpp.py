#!/usr/bin/env python3
"""Compiles a gettext catalog into the program's table of texts.

    po_to_cpp.py CATALOG.po OUTPUT.cpp

Writes the translated entries of CATALOG (not the header, not the fuzzy
ones, not those left empty) as orben::detail::kSpanish, sorted by the
English text byte by byte, for a binary search. Exits with 1, naming the
line, on a catalog it cannot read.
"""

import sys


def unquote(text, where):
    """The C string literal `text` (with its quotes) as a str."""
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise ValueError(f"{where}: a string must stand in double quotes")
    out = []
    i = 1
    escapes = {"n": "\n", "t": "\t", "r": "\r", '"': '"', "\\": "\\", "a": "\a"}
    while i < len(text) - 1:
        c = text[i]
        if c == "\\":
            i += 1
            e = text[i] if i < len(text) - 1 else ""
            if e not in escapes:
                raise ValueError(f"{where}: unknown escape \\{e}")
            out.append(escapes[e])
        else:
            out.append(c)
        i += 1
    return "".join(out)


def entries(lines):
    """(msgid, msgstr, fuzzy) of each entry, in the catalog's order."""
    found = []
    current = None
    field = None
    fuzzy = False

    def finish():
        nonlocal current
        if current is not None and "msgid" in current:
            found.append((current.get("msgid", ""), current.get("msgstr", ""), current["fuzzy"]))
        current = None

    for number, raw in enumerate(lines, 1):
        line = raw.strip()
        where = f"line {number}"
        if not line:
            finish()
            fuzzy = False
            continue
        if line.startswith("#,"):
            fuzzy = fuzzy or "fuzzy" in line
            continue
        if line.startswith("#"):
            continue
        for key in ("msgctxt", "msgid_plural", "msgid", "msgstr"):
            if line.startswith(key + " "):
                if key in ("msgctxt", "msgid_plural"):
                    raise ValueError(f"{where}: {key} is not used in ORBEN's catalogs")
                if key == "msgid":
                    finish()
                    current = {"fuzzy": fuzzy}
                    fuzzy = False
                if current is None:
                    raise ValueError(f"{where}: {key} without a msgid")
                field = key
                current[field] = unquote(line[len(key) + 1:].strip(), where)
                break
        else:
            if line.startswith('"') and current is not None and field:
                current[field] += unquote(line, where)
            else:
                raise ValueError(f"{where}: cannot read {line!r}")
    finish()
    return found


def literal(text):
    out = ['"']
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c == '"' or c == "\\":
            out.append("\\" + c)
        elif byte < 0x20 or byte == 0x7F:
            out.append(f"\\{byte:03o}")
        elif c == "?":
            out.append("\\?")  # never part of a trigraph
        elif byte >= 0x80:
            out.append(f"\\{byte:03o}")
        else:
            out.append(c)
    out.append('"')
    return "".join(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip())
    source, target = sys.argv[1], sys.argv[2]
    try:
        with open(source, encoding="utf-8") as f:
            found = entries(f.read().split("\n"))
    except (OSError, ValueError, UnicodeDecodeError) as e:
        sys.exit(f"{source}: {e}")
    table = sorted(
        ((english, spanish) for english, spanish, fuzzy in found if english and spanish and not fuzzy),
        key=lambda entry: entry[0].encode("utf-8"))
    rows = [f"    {{{literal(english)}, {literal(spanish)}}}," for english, spanish in table]
    if not rows:
        rows = ['    {"", ""},']
    with open(target, "w", encoding="utf-8") as f:
        f.write(f"// Made from {source.split('/')[-1]} by tools/po_to_cpp.py when ORBEN is built.\n")
        f.write('#include "text/catalog_entries.h"\n\n')
        f.write("namespace orben::detail {\n\n")
        f.write("const CatalogEntry kSpanish[] = {\n")
        f.write("\n".join(rows) + "\n};\n")
        f.write(f"const std::size_t kSpanishCount = {len(table)};\n\n")
        f.write("}  // namespace orben::detail\n")


if __name__ == "__main__":
    main()
