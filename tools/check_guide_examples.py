#!/usr/bin/env python3
"""Runs the command-line examples of the user guide and checks their output.

    check_guide_examples.py GUIDE EXAMPLES BIN_DIR [LANG]

The guide's examples are indented code blocks written as terminal sessions:
a line "$ command" followed by what the command prints. In a scratch
folder holding a copy of EXAMPLES (the repository's examples folder), with
BIN_DIR (where tuka2 is) first on PATH, each session is replayed in the
guide's order:

- "$ cat FILE" followed by lines, when FILE does not exist yet, writes those
  lines into FILE: that is how the guide shows a source or a cases file
  before using it. When FILE exists (a command made it), it is printed and
  checked like any other command.
- Any other command runs in bash on a terminal, so that its output and its
  error output interleave as a reader sees them, and its output must be
  the lines that follow it in the guide, with trailing blanks ignored. A
  "…" in those lines stands for any text, a line break included, and a
  line break of the guide may stand for none (the guide shortens long
  output and breaks long lines).
- A command that names a file the scratch folder does not hold (the guide
  assumes files it does not show) is left out, and so is a session placed
  right after the comment <!-- not replayed: REASON -->.

The commands run with LANG (C.UTF-8 by default) as their language, so a
guide in Spanish is replayed with LANG=es_ES.UTF-8; the character type
stays C.UTF-8, which every system has.

Exits with 1 and every difference when an output differs, when a command
fails to run, or when no command could be checked.
"""

import glob
import os
import pty
import re
import select
import shlex
import shutil
import subprocess
import sys
import tempfile

SKIP_MARK = re.compile(r"<!--\s*not replayed:")


def sessions(guide_text):
    """The guide's terminal sessions: lists of (command, expected lines),
    each with its line number, in order. A session is an indented code
    block whose first line starts with "$ "."""
    lines = guide_text.split("\n")
    found = []
    i = 0
    skip_next = False
    while i < len(lines):
        line = lines[i]
        if SKIP_MARK.search(line):
            skip_next = True
        starts_block = line.startswith("    ") and (i == 0 or lines[i - 1].strip() == "")
        if not starts_block:
            i += 1
            continue
        block = []
        first = i
        while i < len(lines) and (lines[i].startswith("    ") or lines[i].strip() == ""):
            block.append(lines[i][4:] if lines[i].startswith("    ") else "")
            i += 1
        while block and block[-1] == "":
            block.pop()
        if not block or not block[0].startswith("$ "):
            continue
        if skip_next:
            skip_next = False
            continue
        session = []
        for offset, text in enumerate(block):
            if text.startswith("$ "):
                session.append([text[2:], [], first + offset + 1])
            else:
                session[-1][1].append(text)
        found.append(session)
    return found


def run_on_terminal(command, folder, env):
    """What `command` prints on a terminal: output and error output in the
    order they were written, line ends as '\\n'."""
    leader, follower = pty.openpty()
    process = subprocess.Popen(["bash", "-c", command], cwd=folder, env=env,
                               stdin=subprocess.DEVNULL, stdout=follower, stderr=follower)
    os.close(follower)
    chunks = []
    while True:
        ready, _, _ = select.select([leader], [], [], 60)
        if not ready:
            process.kill()
            raise RuntimeError("no output for 60 seconds")
        try:
            chunk = os.read(leader, 65536)
        except OSError:  # the terminal closed with the command
            break
        if not chunk:
            break
        chunks.append(chunk)
    process.wait()
    os.close(leader)
    text = b"".join(chunks).decode("utf-8", "replace").replace("\r\n", "\n")
    return "\n".join(as_shown(line) for line in text.split("\n"))


def as_shown(line):
    """A line as the terminal leaves it: after a carriage return, what
    follows is written over what came before (a progress line)."""
    shown = ""
    for part in line.split("\r"):
        shown = part + shown[len(part):]
    return shown


def pattern_of(expected):
    """A regular expression for the guide's lines: '…' is any text, and
    each line break of the guide may be one of the output or none."""
    parts = []
    for index, line in enumerate(expected):
        if index > 0:
            parts.append(r"\n?")
        pieces = line.rstrip().split("…")
        parts.append(r"[\s\S]*?".join(re.escape(piece) for piece in pieces))
    return re.compile(r"\A" + "".join(parts) + r"\Z")


def names_files(command, folder):
    """Whether every file the command reads is in the folder: each word
    with a file pattern or the ending of a source, object, cases, listing
    or report file, unless the command writes it."""
    words = shlex.split(command)
    writes = {words[i + 1] for i, word in enumerate(words[:-1])
              if word in (">", "-o", "-l", "--junit")}
    if words[0] == "cp":
        writes.add(words[-1])
    for word in words[1:]:
        if word in writes or word.startswith("-") or word in (">", "/dev/null"):
            continue
        if "*" in word:
            if not glob.glob(os.path.join(folder, word)):
                return False
            continue
        if re.search(r"\.(asm|ehc|hex|toml|lst|xml)$", word, re.I):
            if not os.path.exists(os.path.join(folder, word)):
                return False
    return True


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__.strip().split("\n")[2].strip(), file=sys.stderr)
        return 2
    guide, examples, bin_dir = sys.argv[1:4]
    language = sys.argv[4] if len(sys.argv) == 5 else "C.UTF-8"
    with open(guide, encoding="utf-8") as f:
        text = f.read()
    env = {key: value for key, value in os.environ.items()
           if not key.startswith("LC_") and key != "LANGUAGE"}
    env.update(PATH=os.path.abspath(bin_dir) + os.pathsep + os.environ["PATH"], LANG=language,
               LC_CTYPE="C.UTF-8", TERM="dumb", COLUMNS="200")
    faults = []
    checked = 0
    left_out = []
    with tempfile.TemporaryDirectory(prefix="guide-examples-") as folder:
        shutil.copytree(examples, os.path.join(folder, "examples"))
        for session in sessions(text):
            for command, expected, line_number in session:
                words = shlex.split(command)
                if words[:1] == ["cat"] and len(words) == 2 and \
                        not os.path.exists(os.path.join(folder, words[1])):
                    path = os.path.join(folder, words[1])
                    os.makedirs(os.path.dirname(path), exist_ok=True)
                    with open(path, "w", encoding="utf-8") as f:
                        f.write("\n".join(expected) + "\n")
                    continue
                if not names_files(command, folder):
                    left_out.append(f"{guide}:{line_number}: {command}")
                    continue
                try:
                    output = run_on_terminal(command, folder, env)
                except RuntimeError as error:
                    faults.append(f"{guide}:{line_number}: {command}: {error}")
                    continue
                checked += 1
                shown = "\n".join(line.rstrip() for line in output.rstrip("\n").split("\n"))
                if not pattern_of(expected).match(shown):
                    faults.append(f"{guide}:{line_number}: $ {command}\n--- the guide shows:\n"
                                  + "\n".join(expected) + "\n--- the program prints:\n" + shown)
    for line in left_out:
        print(f"left out (a file the guide does not show): {line}")
    if checked == 0:
        faults.append(f"{guide}: no command could be checked")
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"{checked} commands of the guide checked, {len(left_out)} left out, "
          f"{len(faults)} differ")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
