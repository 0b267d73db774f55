#!/usr/bin/env python3
"""Mutation check: do the unit tests notice plausible mistakes?

Each file under tests/mutation/ (ending in .mut) describes one mistake:

    file: src/search/search.cpp
    subsystem: search
    notice: what a user would notice if the mistake shipped
    --- snippet
    exact text as it stands in the file (one or more lines)
    --- replacement
    the text with the mistake

For each mistake, a copy of the sources (build/mutate/tree) gets the snippet replaced, the native unit
tests are rebuilt incrementally (build/mutate/build) and the test programs the build linked again are
run, each in two parts at once (gtest shards). A mistake is caught when a test fails (or
hangs past the time limit). A snippet that does not occur exactly once in its file is reported as stale
and counts as not caught; a mistake that no longer compiles is reported apart and counts as not caught
either, since such an entry no longer tests anything. The working tree is never changed.

    scripts/mutate.py [--only TEXT] [--jobs N] [--which FILE]
"""
import argparse
import collections
import json
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
MUTATIONS = ROOT / "tests" / "mutation"
WORK = ROOT / "build" / "mutate"
TREE = WORK / "tree"
BUILD = WORK / "build"
# What the native unit tests need: the core, the engine, the voice and the unit tests (no benchmarks).
COPIED = ["CMakeLists.txt", "VERSION", "cmake", "src", "engine", "wine", "tests/unit", "packaging/README.txt"]
TEST_PROGRAMS = ["tests/unit/core_tests", "engine/es_tests", "engine/es_import_tests", "wine/voice_tests"]
# Built with them: the native es that the engine's hand-off tests start.
BUILT = [Path(p).name for p in TEST_PROGRAMS] + ["es"]
TEST_TIMEOUT = 120
NATIVE_ES = "engine/es"
SHARDS = 2  # each test program runs in this many parts at once


class Mutation:
    def __init__(self, path):
        self.path = path
        self.name = str(path.relative_to(MUTATIONS))
        head, snippet, replacement = self._parse(path.read_text(encoding="utf-8"))
        self.file = head.get("file", "")
        self.subsystem = head.get("subsystem", "?")
        self.notice = head.get("notice", "")
        self.snippet = snippet
        self.replacement = replacement

    @staticmethod
    def _parse(text):
        head, parts, current = {}, {}, None
        for line in text.splitlines(keepends=True):
            marker = line.strip()
            if marker in ("--- snippet", "--- replacement"):
                current = marker[4:]
                parts[current] = []
            elif current is None:
                if ":" in line:
                    key, value = line.split(":", 1)
                    head[key.strip()] = value.strip()
            else:
                parts[current].append(line)
        # The block's last line break belongs to the format, not to the text.
        def block(key):
            return "".join(parts.get(key, [])).removesuffix("\n")
        return head, block("snippet"), block("replacement")


def sync_file(source, target):
    """Copies one file when its text differs. The copy gets a fresh time, so a file left mutated
    by an interrupted run is rebuilt; an unchanged file keeps its time and is not rebuilt."""
    data = source.read_bytes()
    if target.is_file() and target.read_bytes() == data:
        return
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(data)


def sync_tree():
    """Makes the mutation tree hold exactly the sources of COPIED."""
    for entry in COPIED:
        source = ROOT / entry
        target = TREE / entry
        if source.is_file():
            sync_file(source, target)
            continue
        wanted = {p.relative_to(source) for p in source.rglob("*") if p.is_file()}
        if target.is_dir():
            for p in sorted(target.rglob("*"), reverse=True):
                if p.is_file() and p.relative_to(target) not in wanted:
                    p.unlink()
        for rel in wanted:
            sync_file(source / rel, target / rel)


def configure():
    """The Debug build of the tree copy, with the standard library's bounds checks; through ccache where it is installed, so that the file put
    back after a mistake is not compiled again."""
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    # Reading past a table's end stops the test at once, as the sanitizer build in `make test` does.
    subprocess.run(["cmake", "-S", str(TREE), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Debug",
                    "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS"] + launcher,
                   check=True, stdout=subprocess.DEVNULL)


def build(jobs):
    done = subprocess.run(["cmake", "--build", str(BUILD), "-j%d" % jobs, "--target"] + BUILT,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode == 0, done.stdout


def stamps():
    """When each test program (and the native es the engine's tests start) was last linked."""
    out = {}
    for p in TEST_PROGRAMS + [NATIVE_ES]:
        try:
            out[p] = (BUILD / p).stat().st_mtime_ns
        except OSError:
            out[p] = None
    return out


def relinked(before):
    """The test programs whose result a build can have changed: those linked again, and the engine's
    tests when the native es they start was."""
    after = stamps()
    changed = {p for p in TEST_PROGRAMS if after[p] != before[p]}
    if after[NATIVE_ES] != before[NATIVE_ES]:
        changed.add("engine/es_tests")
    return changed


def run_program(program, timeout):
    """Runs one test program in SHARDS parts at once; its output, and None for a pass, else a reason."""
    # As ctest runs them: no search starts an index service unless its test asks for one.
    env = dict(os.environ, GTEST_TOTAL_SHARDS=str(SHARDS), ES_NO_INDEX="1")
    # Each part in a process group of its own, so that what its tests started ends with it: a process
    # left holding the output pipe would make the wait for the output endless.
    parts = [subprocess.Popen([str(BUILD / program), "--gtest_brief=1"], cwd=BUILD, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, errors="replace", start_new_session=True,
                              env=dict(env, GTEST_SHARD_INDEX=str(i))) for i in range(SHARDS)]
    output, reason, end = "", None, time.monotonic() + timeout
    for part in parts:
        try:
            output += part.communicate(timeout=max(1, end - time.monotonic()))[0]
            if part.returncode != 0 and reason is None:
                reason = "exit"
        except subprocess.TimeoutExpired:
            reason = "hang"
    for part in parts:
        try:
            os.killpg(part.pid, 9)
        except OSError:
            pass
        try:
            part.communicate(timeout=5)
        except subprocess.TimeoutExpired:  # still held by a process that left the group
            part.stdout.close()
            part.kill()
            part.wait()
    return output, reason


def end_strays():
    """Ends the index services left behind by tests whose cleanup never ran (a crash, the time limit) or
    started by a mutant (one that reads -index-serve as a search starts a service from each service):
    every process started in the build folder with -index-serve."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if (os.readlink("/proc/%s/cwd" % pid).startswith(str(BUILD)) and
                    b"-index-serve" in Path("/proc/%s/cmdline" % pid).read_bytes()):
                os.kill(int(pid), 9)
        except OSError:
            pass


def run_tests(failed=None, programs=None):
    """True when every test passed; a hang counts as a failure. With a list for `failed`, every
    program runs to its end and the names of the failing tests are added to the list. With
    `programs`, only those run (the others cannot have changed)."""
    passed = True
    for program in TEST_PROGRAMS:
        if programs is not None and program not in programs:
            continue
        output, reason = run_program(program, TEST_TIMEOUT)
        end_strays()  # a crash or the time limit skips a test's cleanup; a mutant can start services too
        if reason is None:
            continue
        if failed is None:
            return False
        passed = False
        if reason == "hang":
            failed.append("hang:" + Path(program).name)
            continue
        names = re.findall(r"^\[  FAILED  \] ([\w/.]+)", output, re.MULTILINE)
        failed.extend(sorted(set(names)) or ["exit:" + Path(program).name])
    return passed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", default="", help="run only mutations whose path under tests/mutation contains this text")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--which", metavar="FILE", help="run every test for each mistake and write which tests "
                        "caught it to FILE (one JSON object per line): shows which tests no other test backs up")
    args = parser.parse_args()

    mutations = [Mutation(p) for p in sorted(MUTATIONS.rglob("*.mut")) if args.only in str(p.relative_to(MUTATIONS))]
    if not mutations:
        print("mutate: no mutations found under", MUTATIONS)
        return 1

    WORK.mkdir(parents=True, exist_ok=True)
    sync_tree()
    configure()
    ok, log = build(args.jobs)
    if not ok or not run_tests():
        print(log[-4000:])
        print("mutate: the unmutated sources do not build or their tests fail; fix that first")
        return 1

    results = collections.OrderedDict()
    started = time.monotonic()
    for m in mutations:
        target = TREE / m.file
        original = target.read_text(encoding="utf-8") if target.is_file() else None
        if original is None or not m.snippet or original.count(m.snippet) != 1:
            outcome = "STALE"
        else:
            target.write_text(original.replace(m.snippet, m.replacement, 1), encoding="utf-8")
            try:
                before = stamps()
                built, _ = build(args.jobs)
                failed = [] if args.which else None
                outcome = "NO-BUILD" if not built else ("missed" if run_tests(failed, relinked(before)) else "caught")
                if args.which and built:
                    with open(args.which, "a", encoding="utf-8") as out:
                        out.write(json.dumps({"mutation": m.name, "caught_by": failed}) + "\n")
            finally:
                target.write_text(original, encoding="utf-8")
        results[m] = outcome
        print("%-8s %-48s %s" % (outcome, m.name, "" if outcome == "caught" else m.notice), flush=True)
    build(args.jobs)  # leave the tree built as the sources stand

    per = collections.defaultdict(lambda: [0, 0])
    for m, outcome in results.items():
        per[m.subsystem][1] += 1
        per[m.subsystem][0] += outcome == "caught"
    print("\nby subsystem:")
    for subsystem in sorted(per):
        caught, total = per[subsystem]
        print("  %-22s %3d of %3d caught (%3.0f%%)" % (subsystem, caught, total, 100.0 * caught / total))
    caught = sum(1 for o in results.values() if o == "caught")
    print("\n%d of %d mistakes caught by the unit tests (%.0f%%) in %.0f s" %
          (caught, len(results), 100.0 * caught / len(results), time.monotonic() - started))
    missed = [m for m, o in results.items() if o != "caught"]
    if missed:
        print("not caught:")
        for m in missed:
            print("  %-8s %s (%s): %s" % (results[m], m.name, m.file, m.notice))
    return 0


if __name__ == "__main__":
    sys.exit(main())
