#!/usr/bin/env python3
"""Every message that docs/ENGINE.md quotes is one the engine prints: a text of the engine's source,
alone or followed by a name, or the box of an internal error raised in the file it names, its line
given as the pattern <line> since the number moves whenever the file changes above it.
   guide-messages.py <repository>"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
sources = {path.relative_to(root).as_posix(): path.read_text()
           for folder in ("Host", "Shared", "Sdl", "Windows", "Web") for path in (root / folder).glob("*.[ch]*")}
texts = set(re.findall(r'"([^"\\\n]*)"', "\n".join(sources.values())))
# The prose only, its lines joined: quotes in code are code, not messages.
prose = re.sub(r"^```.*?^```", "", (root / "docs/ENGINE.md").read_text(), flags=re.S | re.M)
prose = " ".join(re.sub(r"`[^`]*`|^    .*$", "", prose, flags=re.M).split())

wrong = []
for quote in re.findall(r'"([^"]*)"', prose):
    if box := re.fullmatch(r"Fatal error: CGeneralError@([\w/.]+)\(<line>\): (.*)", quote):
        ok = f'VANTOR_GENERAL_ERROR("{box[2]}")' in sources.get(box[1], "")
    elif quote.startswith("Fatal error: "):  # a standard library error shows its own type and text
        ok = quote in texts or quote.startswith("Fatal error: std::")
    else:
        ok = quote in texts or any(text.endswith(": ") and quote.startswith(text) for text in texts)
    if not ok:
        wrong.append(quote)
        print(f'docs/ENGINE.md quotes "{quote}", which the engine does not print', file=sys.stderr)
sys.exit(1 if wrong else 0)
