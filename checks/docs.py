#!/usr/bin/env python3
"""Runs every example the documents show and compares what the programs print with what the
documents say they print, so that no example goes stale.

    checks/docs.py --bin BUILD_DIR [--update] [FILE.md ...]

Without files it reads README.md and docs/*.md. The convention, in a Markdown file:

  ```console
  $ dispersao-exato -p 5 rw1621.tsp
  Entrada: rw1621.tsp (1621 pontos; distancia EUC_2D (TSPLIB))
  ...
  ```

- Only blocks fenced as ```console are checked; show anything else (commands without their
  output, long runs) in ```sh or ```text blocks.
- A line beginning with "$ " is a command; the lines after it, up to the next command, are what
  it prints on standard output and standard error together.
- Each document runs in a scratch folder of its own holding copies of examples/ and bench/data/,
  the repository's layout, with the built programs first on PATH. Every block starts in that
  folder and runs in one shell, so `cd` holds to the end of the block and files a block writes
  stay for the blocks after it. Standard input is empty and standard error is no terminal.
- Masks for what changes from run to run: a line that is exactly "..." stands for any number of
  lines (none included); "[...]" inside a line stands for any text; the figures of the time lines
  the programs print ("Tempo de CPU = 0.000005 segundos", "Tempo da busca: 0.002 segundos",
  "segundos":0.001863 in JSON) are masked on both sides, so they are shown as a real run gave them.
- Trailing white space is ignored (Markdown editors drop it); bytes that are not UTF-8 (the menu
  program's 0xE2 for "a" with a circumflex) are read as ISO 8859-1.

--update rewrites, with what the programs printed, every failing block that has no masks.
Exit status 0 when every block matches, 1 otherwise (with a diff per block), 2 on bad usage.
"""
import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FENCE = re.compile(r"^```console\s*$")
SEPARATOR = "\x1edocs-check-command\x1e"
VOLATILE = [
    (re.compile(r"(Tempo de CPU = )[0-9.]+( segundos)"), r"\1<s>\2"),
    (re.compile(r"(Tempo da busca: )[0-9.]+( segundos)"), r"\1<s>\2"),
    (re.compile(r'("segundos":)[0-9.eE+-]+'), r"\1<s>"),
]
SECONDS_PER_BLOCK = 120


def decode(data):
    """Returns the text of program output: UTF-8, any other byte as ISO 8859-1."""
    text = data.decode("utf-8", errors="surrogateescape")
    return re.sub(r"[\udc80-\udcff]", lambda m: chr(ord(m.group()) - 0xDC00), text)


def blocks(path):
    """Yields (first line number, lines) of every ```console block of the file at `path`."""
    lines = path.read_text(encoding="utf-8").split("\n")
    i = 0
    while i < len(lines):
        if FENCE.match(lines[i]):
            start = i + 1
            end = start
            while end < len(lines) and not lines[end].startswith("```"):
                end += 1
            yield start + 1, lines[start:end]
            i = end
        i += 1


def run_block(lines, folder, env):
    """Runs the commands of a block in `folder`; returns the transcript as the block shows it."""
    commands = [line[2:] for line in lines if line.startswith("$ ")]
    script = "".join(
        f"printf '%s\\n' '{SEPARATOR}'\n{{ {command}\n}} 2>&1\n" for command in commands)
    try:
        result = subprocess.run(["bash", "-c", script], cwd=folder, env=env, capture_output=True,
                                stdin=subprocess.DEVNULL, timeout=SECONDS_PER_BLOCK)
        output = decode(result.stdout) + decode(result.stderr)
    except subprocess.TimeoutExpired:
        output = SEPARATOR + f"\n(more than {SECONDS_PER_BLOCK} s)\n"
    pieces = output.split(SEPARATOR + "\n")[1:]
    transcript = []
    for command, piece in zip(commands, pieces + [""] * (len(commands) - len(pieces))):
        transcript.append("$ " + command)
        transcript.extend(piece.removesuffix("\n").split("\n") if piece else [])
    while transcript and transcript[-1] == "":
        transcript.pop()
    return transcript


def normal(line):
    """Returns `line` without trailing white space and with its volatile figures masked."""
    line = line.rstrip()
    for pattern, replacement in VOLATILE:
        line = pattern.sub(replacement, line)
    return line


def line_matches(expected, actual):
    """Returns whether one expected line, "[...]" standing for any text, matches `actual`."""
    if "[...]" not in expected:
        return expected == actual
    parts = [re.escape(part) for part in expected.split("[...]")]
    return re.fullmatch(".*".join(parts), actual, re.S) is not None


def matches(expected, actual):
    """Returns whether the expected lines, a "..." line standing for any lines, match `actual`."""
    memo = {}

    def match(i, j):
        if (i, j) not in memo:
            if i == len(expected):
                memo[(i, j)] = j == len(actual)
            elif expected[i] == "...":
                memo[(i, j)] = any(match(i + 1, k) for k in range(j, len(actual) + 1))
            else:
                memo[(i, j)] = j < len(actual) and line_matches(expected[i], actual[j]) and \
                    match(i + 1, j + 1)
        return memo[(i, j)]

    return match(0, 0)


def check_file(path, env, update):
    """Checks every console block of one document; returns how many failed."""
    failures = 0
    replacements = []
    with tempfile.TemporaryDirectory(prefix="dispersao-docs-") as folder:
        shutil.copytree(ROOT / "examples", Path(folder) / "examples")
        shutil.copytree(ROOT / "bench" / "data", Path(folder) / "bench" / "data")
        for first, lines in blocks(path):
            while lines and lines[-1].strip() == "":
                lines = lines[:-1]
            if not any(line.startswith("$ ") for line in lines):
                print(f"{path}:{first}: a console block without a \"$ \" command")
                failures += 1
                continue
            actual = run_block(lines, folder, env)
            expected = [normal(line) for line in lines]
            if matches(expected, [normal(line) for line in actual]):
                continue
            failures += 1
            masked = any(line == "..." or "[...]" in line for line in lines)
            if update and not masked:
                replacements.append((first, len(lines), [line.rstrip() for line in actual]))
                print(f"{path}:{first}: updated")
                continue
            print(f"{path}:{first}: the output differs from the document")
            sys.stdout.writelines(difflib.unified_diff(
                [line.rstrip() + "\n" for line in lines], [line + "\n" for line in actual],
                "document", "programs"))
    if replacements:
        text = path.read_text(encoding="utf-8").split("\n")
        for first, count, actual in reversed(replacements):
            text[first - 1:first - 1 + count] = actual
        path.write_text("\n".join(text), encoding="utf-8")
    return failures


def main():
    parser = argparse.ArgumentParser(description="Checks the examples the documents show.")
    parser.add_argument("--bin", required=True, help="the folder of the built programs")
    parser.add_argument("--update", action="store_true",
                        help="rewrite failing blocks without masks with the programs' output")
    parser.add_argument("files", nargs="*", type=Path)
    args = parser.parse_args()
    files = args.files or [ROOT / "README.md"] + sorted((ROOT / "docs").glob("*.md"))
    env = {
        "PATH": str(Path(args.bin).resolve()) + os.pathsep + os.environ.get("PATH", ""),
        "HOME": os.environ.get("HOME", "/tmp"),
        "LC_ALL": "C",
        "TZ": "UTC",
    }
    failures = 0
    count = 0
    for path in files:
        count += sum(1 for _ in blocks(path))
        failures += check_file(path, env, args.update)
    print(f"docs: {count} example blocks in {len(files)} files, {failures} differ")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
