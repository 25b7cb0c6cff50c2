#!/usr/bin/env python3
"""Checks ORBEN's Spanish catalog against the sources.

    check_catalog.py SOURCE_DIR

Extracts every text the Qt-free sources mark (tr, trf, Text and N_) with
xgettext
and fails, listing each, when one has no Spanish text in po/es.po (or only
a fuzzy one), when the catalog keeps a text no source uses, when a
translation's placeholders ({0}, {1}, ...) differ from its source's, or
when msgfmt --check finds anything to say.
"""

import collections
import glob
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import po_to_cpp  # noqa: E402

PLACEHOLDER = re.compile(r"(?<!\{)\{(\d+)\}")


def read(path):
    with open(path, encoding="utf-8") as f:
        return po_to_cpp.entries(f.read().split("\n"))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip())
    root = sys.argv[1]
    catalog = os.path.join(root, "po", "es.po")
    # The windows' own texts go through Qt's tr, not this catalog.
    qt = (os.path.join(root, "src", "widgets"), os.path.join(root, "src", "windows"))
    sources = sorted(path for pattern in ("*.cpp", "*.h")
                     for path in glob.glob(os.path.join(root, "src", "**", pattern), recursive=True)
                     if not path.startswith(qt))
    problems = []
    with tempfile.TemporaryDirectory() as scratch:
        template = os.path.join(scratch, "orben.pot")
        subprocess.run(["xgettext", "--language=C++", "--from-code=UTF-8", "--keyword=tr:1",
                        "--keyword=trf:1", "--keyword=Text:1", "--keyword=N_:1", "--omit-header",
                        "-o", template] + sources, check=True)
        wanted = {english for english, _, _ in read(template)} if os.path.exists(template) else set()
    translated = {}
    for english, spanish, fuzzy in read(catalog):
        if not english:
            continue
        translated[english] = (spanish, fuzzy)
    for english in sorted(wanted):
        if english not in translated:
            problems.append(f"no Spanish text for {english!r}")
        elif not translated[english][0] or translated[english][1]:
            problems.append(f"only an empty or fuzzy Spanish text for {english!r}")
    for english in sorted(set(translated) - wanted):
        problems.append(f"the catalog keeps a text no source uses: {english!r}")
    for english, (spanish, _) in sorted(translated.items()):
        if spanish and (collections.Counter(PLACEHOLDER.findall(english)) !=
                        collections.Counter(PLACEHOLDER.findall(spanish))):
            problems.append(f"placeholders differ in {english!r} and {spanish!r}")
    check = subprocess.run(["msgfmt", "--check", "-o", os.devnull, catalog],
                           capture_output=True, text=True)
    if check.returncode != 0 or check.stderr.strip():
        problems.append("msgfmt --check: " + check.stderr.strip())
    for problem in problems:
        print(problem)
    print(f"{len(wanted)} texts in the sources, {len(translated)} in the catalog, "
          f"{len(problems)} problems")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
