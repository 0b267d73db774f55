#!/usr/bin/env python3
"""Generated mutants: do the unit tests notice mistakes nobody chose?

Walks the core's sources (src/ and engine/, the *_win32* shell files and the engine's tests aside) and
makes the mutants of each line mechanically:

    rel       a relational operator to its neighbour (<  <=, >  >=, ==  !=)
    int       an integer literal plus or minus one
    logic     && and || swapped
    negate    the condition of an if or a while negated
    call      a lone call statement removed
    bool      a returned true or false inverted
    string    a string literal's first or last character dropped
    swap      two adjacent arguments of a call swapped when both are literals of one kind
              (numbers, true/false, strings) or both k-named constants

Comments, preprocessor lines and the insides of string and character literals are never mutated
(other than by `string`). A reproducible sample (--seed, --sample N or all) is run one mutant at a time
through scripts/mutate.py's tree copy and incremental build: a mutant is caught when a unit test fails
or hangs. Mutants listed in tests/mutation/equivalent.txt cannot change behaviour and count as neither
caught nor missed; a mutant that does not compile is counted apart. Survivors are written to
build/mutate/survivors-seed<S>-<N>.txt in the equivalence list's own format; --rerun FILE runs the
mutants of such a file again (after a test was written for them); --e2e FILE runs the end-to-end
suite against them instead, in a whole copy of the repository (build/mutate-e2e, both programs built,
stopping at the first failing test; about three minutes a mutant).

    scripts/mutate_gen.py [--sample N|all] [--seed S] [--only TEXT] [--jobs N] [--list] [--rerun FILE]
                          [--e2e FILE]
"""
import argparse
import collections
import fcntl
import hashlib
import os
import re
import subprocess
import sys
import time
from pathlib import Path

import mutate

ROOT = mutate.ROOT
EQUIVALENT = ROOT / "tests" / "mutation" / "equivalent.txt"
E2E_TREE = ROOT / "build" / "mutate-e2e"
E2E_TIMEOUT = 1800
# Numbers that name a control or a command: any other value names it as well.
SKIPPED = {"src/base/ids.h"}
# Calls whose removal cannot change what a correct program does.
NOT_REMOVED = {"assert", "static_assert", "(void)"}
KEYWORDS = {"return", "delete", "throw", "break", "continue", "goto", "case", "default", "else", "do",
            "using", "typedef", "namespace", "template", "sizeof", "new", "co_return", "co_await"}
NEIGHBOURS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}

Mutant = collections.namedtuple("Mutant", "file line kind before after")


def core_sources(only=""):
    files = []
    for folder in ("src", "engine"):
        for p in sorted((ROOT / folder).rglob("*")):
            rel = p.relative_to(ROOT).as_posix()
            if (p.suffix in (".cpp", ".h") and "_win32" not in p.name and not rel.startswith("engine/tests/")
                    and rel not in SKIPPED and only in rel):
                files.append(rel)
    return files


def mask(line, in_comment):
    """The line with comments blanked and the insides of literals replaced by '_' (same length), the
    spans (start, end) of its string literals' contents, and whether a block comment is still open."""
    out, spans, i, n = list(line), [], 0, len(line)
    while i < n:
        if in_comment:
            end = line.find("*/", i)
            stop = n if end < 0 else end + 2
            out[i:stop] = " " * (stop - i)
            in_comment, i = end < 0, stop
        elif line.startswith("//", i):
            out[i:] = " " * (n - i)
            break
        elif line.startswith("/*", i):
            in_comment = True
        elif line[i] in "\"'" and not (line[i] == "'" and i > 0 and line[i - 1].isalnum()):
            quote, j = line[i], i + 1
            while j < n and line[j] != quote:
                j += 2 if line[j] == "\\" else 1
            j = min(j, n)
            out[i + 1:j] = "_" * (j - i - 1)
            if quote == '"':
                spans.append((i + 1, j))
            i = j + 1
        else:
            i += 1
    return "".join(out), spans, in_comment


def closing(masked, open_at):
    """Index of the parenthesis that closes the one at open_at, or -1 when not on this line."""
    depth = 0
    for j in range(open_at, len(masked)):
        depth += {"(": 1, ")": -1}.get(masked[j], 0)
        if depth == 0:
            return j
    return -1


def top_level_args(masked, start, end):
    """(start, end) of each argument between the parentheses at start and end, split at the commas
    outside nested brackets; None when a template's angle brackets could hide a comma."""
    inner = masked[start + 1:end]
    if re.search(r"\w<|<\w", inner):
        return None
    args, depth, begin = [], 0, start + 1
    for j in range(start + 1, end):
        c = masked[j]
        depth += 1 if c in "([{" else -1 if c in ")]}" else 0
        if c == "," and depth == 0:
            args.append((begin, j))
            begin = j + 1
    args.append((begin, end))
    return args


def arg_kind(masked, text):
    m, t = masked.strip(), text.strip()
    if re.fullmatch(r"-?\d+", t):
        return "number"
    if t in ("true", "false"):
        return "bool"
    if re.fullmatch(r'(L|u8|u|U)?"_*"', m):
        return "string"
    if re.fullmatch(r"(\w+::)*k[A-Z]\w*", t):
        return "constant"
    return None


def string_tokens(content):
    return re.findall(r"\\x[0-9a-fA-F]+|\\u[0-9a-fA-F]{4}|\\[0-7]{1,3}|\\.|.", content)


def line_mutants(line, masked, spans):
    """Every mutated form of one line as (kind, new line)."""
    out = []

    def put(kind, start, end, text):
        out.append((kind, line[:start] + text + line[end:]))

    for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", masked):
        put("rel", m.start(), m.end(), NEIGHBOURS[m.group()])
    for m in re.finditer(r"(?<![\w.'])\d+(?![\w.'])", masked):
        if re.match(r"\s*;", masked[m.end():]) and re.search(r"\)\s*(const\s*)?=\s*$", masked[:m.start()]):
            continue  # a pure virtual function's = 0
        value = int(m.group())
        put("int", m.start(), m.end(), str(value + 1))
        if value > 0:
            put("int", m.start(), m.end(), str(value - 1))
    for m in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", masked):
        put("logic", m.start(), m.end(), "||" if m.group() == "&&" else "&&")
    for m in re.finditer(r"\b(if|while)\s*\(", masked):
        end = closing(masked, m.end() - 1)
        if end > 0 and not masked[m.start():].startswith("if constexpr"):
            put("negate", m.end() - 1, end + 1, "(!" + line[m.end() - 1:end + 1] + ")")
    code = masked.strip()
    call = re.match(r"([\w:.\[\]]|->)+\s*\(", code)
    if call and code.endswith(");") and not code.startswith("{"):
        head = code[:call.end() - 1].strip()
        open_at = masked.index("(", masked.index(code[0]))
        if (head.split("::")[0] not in KEYWORDS and head not in NOT_REMOVED
                and closing(masked, open_at) == len(masked.rstrip()) - 2):
            indent = line[:len(line) - len(line.lstrip())]
            out.append(("call", indent + ";"))
    for m in re.finditer(r"\breturn (true|false);", masked):
        put("bool", m.start(), m.end(), "return %s;" % ("false" if m.group(1) == "true" else "true"))
    for start, end in spans:
        tokens = string_tokens(line[start:end])
        if tokens:
            put("string", start, end, "".join(tokens[1:]))
            if len(tokens) > 1:
                put("string", start, end, "".join(tokens[:-1]))
    for m in re.finditer(r"\w\s*\(", masked):
        end = closing(masked, m.end() - 1)
        args = top_level_args(masked, m.end() - 1, end) if end > 0 else None
        for (a0, a1), (b0, b1) in zip(args or [], (args or [])[1:]):
            a, b = line[a0:a1], line[b0:b1]
            kind = arg_kind(masked[a0:a1], a)
            if kind and kind == arg_kind(masked[b0:b1], b) and a.strip() != b.strip():
                lead_a, lead_b = a[:len(a) - len(a.lstrip())], b[:len(b) - len(b.lstrip())]
                put("swap", a0, b1, lead_a + b.strip() + "," + lead_b + a.strip())
    seen, unique = set(), []
    for kind, text in out:
        if text != line and text not in seen:
            seen.add(text)
            unique.append((kind, text))
    return unique


def generate(files):
    """Every mutant of the files' lines, but those of lines the native build does not compile (inside
    `#ifdef _WIN32`), which no unit test can catch."""
    mutants = []
    for rel in files:
        in_comment, windows_only = False, []  # per open #if: whether its branch is Windows-only
        for number, line in enumerate((ROOT / rel).read_text(encoding="utf-8").splitlines(), 1):
            directive = line.strip().split()
            if directive and directive[0].startswith("#"):
                word = directive[0].lstrip("#") or (directive[1] if len(directive) > 1 else "")
                if word in ("if", "ifdef", "ifndef"):
                    windows_only.append(word == "ifdef" and "_WIN32" in line)
                elif word in ("else", "elif") and windows_only:
                    windows_only[-1] = False
                elif word == "endif" and windows_only:
                    windows_only.pop()
            masked, spans, still_open = mask(line, in_comment)
            skip = in_comment and still_open or line.lstrip().startswith("#") or "static_assert" in masked
            in_comment = still_open
            if skip or not masked.strip() or any(windows_only):
                continue
            for kind, after in line_mutants(line, masked, spans):
                mutants.append(Mutant(rel, number, kind, line, after))
    return mutants


def folder(rel):
    parts = rel.split("/")
    return "/".join(parts[:2]) if parts[0] == "src" and len(parts) > 2 else parts[0]


def read_blocks(path):
    """The entries of the equivalence list or of a survivors file: blocks of `key: value` lines
    (file, line, mutant, why) separated by blank lines; # starts a comment."""
    blocks, current = [], {}
    for raw in path.read_text(encoding="utf-8").splitlines() + [""]:
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if current:
                blocks.append(current)
            current = {}
            continue
        key, _, value = raw.partition(":")
        current[key.strip()] = value.strip()
    return blocks


def key(file, before, after):
    return (file, before.strip(), after.strip())


def rank(m, seed):
    """A mutant's place in the seed's order: from its file and its text, not from its line number, so
    that lines added or moved elsewhere do not reshuffle the sample."""
    text = "%d\0%s\0%s\0%s\0%s" % (seed, m.file, m.before.strip(), m.after.strip(), m.kind)
    return hashlib.sha256(text.encode("utf-8")).digest(), m.line


def equivalents():
    if not EQUIVALENT.is_file():
        return {}
    return {key(b["file"], b["line"], b["mutant"]): b.get("why", "") for b in read_blocks(EQUIVALENT)
            if "file" in b and "line" in b and "mutant" in b}


def run_one(m, jobs):
    return with_mutant(mutate.TREE, m, lambda: unit_outcome(jobs))


def with_mutant(tree, m, check):
    """check()'s outcome with the mutant in the copy `tree` of the sources, which is put back after."""
    target = tree / m.file
    original = target.read_text(encoding="utf-8")
    lines = original.split("\n")
    if lines[m.line - 1] != m.before:
        return "stale"
    lines[m.line - 1] = m.after
    target.write_text("\n".join(lines), encoding="utf-8")
    try:
        return check()
    finally:
        target.write_text(original, encoding="utf-8")


def unit_outcome(jobs):
    before = mutate.stamps()
    built, _ = mutate.build(jobs)
    return "no-build" if not built else ("missed" if mutate.run_tests(programs=mutate.relinked(before)) else "caught")


def e2e_build(jobs):
    return subprocess.run(["make", "build", "dist-files", "JOBS=%d" % jobs], cwd=E2E_TREE,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def e2e_pytest(args, log):
    """Runs the end-to-end tests (`make e2e`, or one test); None when they passed, else what failed."""
    try:
        done = subprocess.run(["make", "e2e"], cwd=E2E_TREE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              env=dict(os.environ, PYTEST_ADDOPTS=" ".join(["-x", "-p", "no:cacheprovider"] + args)),
                              text=True, errors="replace", timeout=E2E_TIMEOUT)
    except subprocess.TimeoutExpired:
        log.write("    the end-to-end run passed %d s\n" % E2E_TIMEOUT)
        return ["timeout"]
    if done.returncode == 0:
        return None
    lines = done.stdout.splitlines()
    log.write("".join("    %s\n" % line for line in [l for l in lines if l.startswith("FAILED ")] + lines[-2:]))
    return [l.split()[1] for l in lines if l.startswith("FAILED ")] or ["unknown"]


def e2e_outcome(jobs, log):
    """Builds the whole copy (both programs and the release's files) and runs the end-to-end tests
    until the first failure, which is run once more by itself: a test that then passes was upset by
    the machine's load, not by the mutant ("flaky", neither caught nor missed)."""
    if not e2e_build(jobs):
        return "no-build"
    failed = e2e_pytest([], log)
    if failed is None:
        return "missed"
    if failed[0] in ("timeout", "unknown"):
        return "caught"
    return "caught" if e2e_pytest(["-k", failed[0].split("::")[-1]], log) else "flaky"


def run_e2e(mutants, jobs):
    """The end-to-end suite against each mutant, in a whole copy of the repository (build/mutate-e2e)."""
    for rel in filter(None, subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                                           stdout=subprocess.PIPE).stdout.decode().split("\0")):
        if (ROOT / rel).is_file():
            mutate.sync_file(ROOT / rel, E2E_TREE / rel)
            (E2E_TREE / rel).chmod((ROOT / rel).stat().st_mode & 0o777)
    mutate.WORK.mkdir(parents=True, exist_ok=True)
    report = mutate.WORK / "e2e.txt"
    with open(report, "w", encoding="utf-8") as log:
        if e2e_outcome(jobs, log) not in ("missed", "flaky"):
            print(report.read_text(encoding="utf-8"))
            print("mutate: the end-to-end tests fail without a mutant; fix that first")
            return 1
        counts, started = collections.Counter(), time.monotonic()
        for i, m in enumerate(mutants, 1):
            outcome = with_mutant(E2E_TREE, m, lambda: e2e_outcome(jobs, log))
            counts[outcome] += 1
            log.write("%s %s:%d %s\n" % (outcome, m.file, m.line, m.after.strip()))
            log.flush()
            print("%4d %-10s %s:%d %s: %s" % (i, outcome, m.file, m.line, m.kind, m.after.strip()), flush=True)
        e2e_build(jobs)  # leave the copy built as the sources stand
    print("\nend-to-end: %d of %d caught (%d did not build, %d flaky) in %.0f s; details in %s" % (
        counts["caught"], counts["caught"] + counts["missed"], counts["no-build"], counts["flaky"],
        time.monotonic() - started,
        report.relative_to(ROOT)))
    return 0


def describe(m):
    return "file: %s\nline: %s\nmutant: %s\nat: %d %s\n" % (m.file, m.before.strip(), m.after.strip(), m.line, m.kind)


def rerun_list(path, mutants):
    """The current mutants that a survivors file names (by file, line text, mutated text and, where
    given, the line's number)."""
    wanted = {(key(b["file"], b["line"], b["mutant"]), b.get("at", "").split(" ")[0]) for b in read_blocks(path)
              if "mutant" in b}
    return [m for m in mutants if {(key(m.file, m.before, m.after), n) for n in ("", str(m.line))} & wanted]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sample", default="300", help="how many mutants to run, or all")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--only", default="", help="only sources whose path contains this text")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=60, help="seconds a test program may run")
    parser.add_argument("--list", action="store_true", help="count the mutants per folder and kind; run none")
    parser.add_argument("--rerun", metavar="FILE", help="run the mutants named in a survivors file")
    parser.add_argument("--e2e", metavar="FILE", help="run the end-to-end tests against the mutants of a survivors file")
    args = parser.parse_args()

    mutants = generate(core_sources(args.only))
    if args.list:
        counts = collections.Counter((folder(m.file), m.kind) for m in mutants)
        for f in sorted({f for f, _ in counts}):
            print("%-14s %5d  %s" % (f, sum(c for (g, _), c in counts.items() if g == f),
                                      " ".join("%s %d" % (k, c) for (g, k), c in sorted(counts.items()) if g == f)))
        print("all %d mutants in %d files" % (len(mutants), len(core_sources(args.only))))
        return 0
    if args.e2e:
        return run_e2e(rerun_list(Path(args.e2e), mutants), args.jobs)
    if args.rerun:
        chosen, label = rerun_list(Path(args.rerun), mutants), "rerun"
    elif args.sample == "all":
        chosen, label = list(mutants), "seed%d-all" % args.seed
    else:
        # The first N of one seeded order: a larger sample of a seed holds every smaller one, and an
        # edit elsewhere in the sources leaves the rest of the sample as it was.
        count = min(int(args.sample), len(mutants))
        chosen, label = sorted(mutants, key=lambda m: rank(m, args.seed))[:count], "seed%d-%d" % (args.seed, count)
    chosen.sort(key=lambda m: (m.file, m.line, m.after))
    print("mutate: %d of %d generated mutants (%s)" % (len(chosen), len(mutants), label), flush=True)

    mutate.TEST_TIMEOUT = args.timeout
    mutate.WORK.mkdir(parents=True, exist_ok=True)
    lock = open(mutate.WORK / "lock", "w")  # one run at a time owns the tree copy
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        print("mutate: another mutation run is using", mutate.WORK.relative_to(ROOT))
        return 1
    mutate.sync_tree()
    mutate.configure()
    ok, log = mutate.build(args.jobs)
    if not ok or not mutate.run_tests():
        print(log[-4000:])
        print("mutate: the unmutated sources do not build or their tests fail; fix that first")
        return 1

    known = equivalents()
    report = mutate.WORK / ("survivors-%s.txt" % label)
    outcomes, started = [], time.monotonic()
    with open(report, "w", encoding="utf-8") as out:
        out.write("# Generated mutants no unit test caught (%s), in the format of %s\n\n"
                  % (label, EQUIVALENT.relative_to(ROOT)))
        for i, m in enumerate(chosen, 1):
            outcome = "equivalent" if key(m.file, m.before, m.after) in known else run_one(m, args.jobs)
            outcomes.append((m, outcome))
            if outcome == "missed":
                out.write(describe(m) + "\n")
                out.flush()
            print("%4d %-10s %s:%d %s: %s" % (i, outcome, m.file, m.line, m.kind, m.after.strip()), flush=True)
    mutate.build(args.jobs)  # leave the tree built as the sources stand

    per = collections.defaultdict(collections.Counter)
    for m, outcome in outcomes:
        per[folder(m.file)][outcome] += 1
        per["all"][outcome] += 1
    print("\n%-14s %7s %7s %7s %7s %7s  %s" % ("folder", "mutants", "caught", "missed", "equiv", "no-build", "caught"))
    for f in sorted(per, key=lambda f: (f == "all", f)):
        c = per[f]
        scored = c["caught"] + c["missed"]
        rate = "%3.0f%%" % (100.0 * c["caught"] / scored) if scored else "  -"
        print("%-14s %7d %7d %7d %7d %7d  %s" % (f, sum(c.values()), c["caught"], c["missed"], c["equivalent"],
                                                 c["no-build"] + c["stale"], rate))
    print("\n%s mutants in %.0f s; survivors written to %s" % (label, time.monotonic() - started,
                                                               report.relative_to(ROOT)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
