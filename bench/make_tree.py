#!/usr/bin/env python3
"""Generates the benchmark tree: 100,000 folders (10 + 10*99 + 10*99*100) holding 10 files each,
1,000,000 files in all, with names made of common words, numbers and extensions.

    python3 bench/make_tree.py /tmp/es-bench/tree [TOP]

TOP top folders (default 10) of 100,000 entries and 10,000 folders each: 2 make a tree of 220,000.

Deterministic (fixed seed). Writes DIR/.complete when done; an existing complete tree is kept."""
import os
import random
import sys

WORDS = ("report budget invoice photo holiday music song letter notes draft summary project "
         "meeting scan backup video lecture recipe travel family contract manual").split()
FOLDER_WORDS = ("archive documents pictures music videos projects downloads work school home "
                "misc shared old new temp clients data source build assets").split()
EXTENSIONS = ("txt pdf docx jpg png mp3 wav mp4 mkv c h cpp py zip xlsx csv html log ini md").split()
TOP = ("archive documents pictures music videos projects downloads work school shared")


def make_files(rng, folder, flags):
    for n in range(10):
        name = "%s %s %d.%s" % (rng.choice(WORDS), rng.choice(WORDS), rng.randrange(10000),
                                rng.choice(EXTENSIONS))
        fd = os.open(os.path.join(folder, "%d %s" % (n, name)), flags, 0o644)
        os.close(fd)
    return 10


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "/tmp/es-bench/tree"
    if os.path.exists(os.path.join(root, ".complete")):
        print("tree exists:", root)
        return
    top_count = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    rng = random.Random(4)
    folders = files = 0
    flags = os.O_CREAT | os.O_WRONLY | os.O_TRUNC
    for top in TOP.split()[:top_count]:
        level1 = os.path.join(root, top)
        os.makedirs(level1, exist_ok=True)
        folders += 1
        files += make_files(rng, level1, flags)
        for j in range(99):
            level2 = os.path.join(level1, "%s %02d" % (rng.choice(FOLDER_WORDS), j))
            os.mkdir(level2)
            folders += 1
            files += make_files(rng, level2, flags)
            for k in range(100):
                level3 = os.path.join(level2, "%s_%03d" % (rng.choice(FOLDER_WORDS), k))
                os.mkdir(level3)
                folders += 1
                files += make_files(rng, level3, flags)
    open(os.path.join(root, ".complete"), "w").close()
    print("folders %d, files %d" % (folders, files))


if __name__ == "__main__":
    main()
