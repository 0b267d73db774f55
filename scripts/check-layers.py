#!/usr/bin/env python3
"""The folders read bottom to top: a file includes only its own folder, its level and folders below.

    base < view < {search, speech} < {actions, preview} < app        (src/)
    engine/ includes only src/base/ and itself

Every #include "..." of src/ and engine/ is read (engine/tests/ is left out: tests stand above every
layer). An include names a folder by its first part ("search/results.h"); one without a folder is
a file of the same folder or a generated header. A folder of src/ missing from the order counts as a
violation too, so that a new folder is given its place. Each violation is printed as file:line.

    scripts/check-layers.py [--root DIR]     exit 1 when an include runs up
    scripts/check-layers.py --self-test      plants upward includes in a copy and expects them found
"""
import argparse
import re
import shutil
import sys
import tempfile
from pathlib import Path

LEVEL = {"base": 0, "view": 1, "search": 2, "speech": 2, "actions": 3, "preview": 3, "app": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCES = (".cpp", ".h", ".inc")


def sources(root):
    for top in ("src", "engine"):
        for path in sorted((root / top).rglob("*")):
            rel = path.relative_to(root)
            if path.suffix in SOURCES and path.is_file() and rel.parts[:2] != ("engine", "tests"):
                yield rel


def violations(root):
    found = []
    for rel in sources(root):
        if rel.parts[0] == "engine":
            own, allowed = "engine", lambda folder: folder == "base"
        else:
            own = rel.parts[1] if len(rel.parts) > 2 else ""
            if own not in LEVEL:
                found.append(f"{rel}:1: folder src/{own or '.'} has no place in the layer order")
                continue
            allowed = lambda folder, own=own: LEVEL.get(folder, 99) <= LEVEL[own]
        lines = (root / rel).read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            folder = m.group(1).split("/")[0]
            if folder != own and not allowed(folder):
                found.append(f"{rel}:{number}: {own} includes \"{m.group(1)}\"")
    return found


def self_test(root):
    """A copy of the tree passes; each planted upward include is then reported at its line."""
    plants = [  # file, include, whether it runs up
        ("src/base/text.h", "view/layout.h", True),
        ("src/view/layout.cpp", "search/results.h", True),
        ("src/search/results.cpp", "preview/preview.h", True),
        ("src/speech/speech.cpp", "app/dispatch.h", True),
        ("src/preview/preview.cpp", "app/toolbar.h", True),
        ("engine/run.cpp", "search/results.h", True),
        ("src/search/results.cpp", "speech/speech.h", False),  # one level
        ("src/preview/preview.cpp", "actions/open.h", False),
        ("engine/run.cpp", "base/text.h", False),
    ]
    with tempfile.TemporaryDirectory() as tmp:
        copy = Path(tmp)
        for top in ("src", "engine"):
            shutil.copytree(root / top, copy / top, ignore=shutil.ignore_patterns("tests"))
        before = violations(copy)
        if before:
            print("self-test: the tree itself has violations:", *before, sep="\n  ")
            return 1
        failures = 0
        for file, include, up in plants:
            target = copy / file
            original = target.read_text(encoding="utf-8")
            lines = original.splitlines(keepends=True)
            lines.insert(1, f'#include "{include}"\n')
            target.write_text("".join(lines), encoding="utf-8")
            found = violations(copy)
            expected = [f"{file}:2: {Path(file).parts[1] if file.startswith('src/') else 'engine'}"
                        f" includes \"{include}\""] if up else []
            if found != expected:
                print(f"self-test: {include} planted in {file}: expected {expected}, got {found}")
                failures += 1
            target.write_text(original, encoding="utf-8")
        (copy / "src/extra").mkdir()
        (copy / "src/extra/x.cpp").write_text('#include "base/app.h"\n', encoding="utf-8")
        if violations(copy) != ["src/extra/x.cpp:1: folder src/extra has no place in the layer order"]:
            print("self-test: a folder outside the order was not reported")
            failures += 1
    print(f"self-test: {len(plants) + 1 - failures} of {len(plants) + 1} cases as expected")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", type=Path, default=Path(__file__).resolve().parent.parent)
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return self_test(args.root)
    found = violations(args.root)
    for line in found:
        print(line)
    print(f"check-layers: {len(found)} include(s) running up" if found else "check-layers: every include runs down")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
