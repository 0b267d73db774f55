"""The native es engine on a generated folder tree, called the way Lumiseek calls it.

Each test copies the engine with an es-roots.txt into a fresh program folder and passes the
whole argument string as one command line (the engine parses it as es.exe parses the raw
Windows command line). Dates are checked in UTC (TZ=UTC)."""
import calendar
import os
import shutil
import subprocess
import time
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]

AUDIO = ("ext:aac;ac3;aif;aifc;aiff;au;cda;dts;fla;flac;it;m1a;m2a;m3u;m4a;m4b;"
         "m4p;mid;midi;mka;mod;mp2;mp3;mpa;ogg;ra;rmi;snd;spc;umx;voc;wav;wma;xm")
TYPE_SWITCHES = {1: " -size -size-format 2 -dm /a-d ", 2: " -size -size-format 2 -dm /ad ",
                 3: " -size -size-format 2 -dm "}


def native_es():
    """The native es of the build: $LUMISEEK_ES, else the usual native build folders."""
    candidates = [os.environ.get("LUMISEEK_ES")] if os.environ.get("LUMISEEK_ES") else []
    build_native = os.environ.get("LUMISEEK_BUILD_NATIVE")
    if build_native:
        candidates.append(Path(build_native) / "engine" / "es")
    candidates += [REPO / "build" / name / "engine" / "es" for name in ("native", "linux", "host")]
    candidates.append(REPO / "build" / "engine" / "es")
    for c in candidates:
        if c and Path(c).is_file():
            return Path(c)
    pytest.fail("the native es is not built (looked in %s); run make build or set LUMISEEK_ES"
                % ", ".join(map(str, candidates)))


def stamp(year, month, day, hour, minute):
    return calendar.timegm((year, month, day, hour, minute, 0))


def make_file(path, size, when):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(b"x" * size)
    os.utime(path, (when, when))


@pytest.fixture
def tree(tmp_path):
    """A small tree with the awkward names Lumiseek users have; returns its root."""
    root = tmp_path / "tree"
    docs = root / "Documents"
    make_file(docs / "Budget 2023.xlsx", 1200, stamp(2023, 5, 17, 10, 22))
    make_file(docs / "budget draft.docx", 300, stamp(2023, 6, 1, 8, 0))
    make_file(docs / "notes, final.txt", 50, stamp(2022, 1, 1, 0, 0))
    make_file(docs / "Ärger & 100%^ budget.txt", 7, stamp(2019, 12, 31, 23, 59))
    make_file(docs / 'say "hi".txt', 2, stamp(2018, 2, 3, 4, 5))
    make_file(docs / "Reports" / "budget summary.pdf", 999, stamp(2021, 3, 4, 5, 6))
    make_file(docs / "Reports" / "report.PDF", 10, stamp(2021, 3, 5, 5, 6))
    make_file(root / "Music" / "song.MP3", 4000, stamp(2020, 7, 8, 9, 10))
    make_file(root / "Music" / "song.flac", 5000, stamp(2020, 7, 9, 9, 10))
    make_file(root / "Music" / "cover.jpg", 100, stamp(2020, 7, 10, 9, 10))
    (root / "Music" / "budget").mkdir()
    os.utime(root / "Music" / "budget", (stamp(2024, 1, 2, 3, 4),) * 2)
    make_file(root / "windows" / "system32" / "budget.dll", 77, stamp(2024, 1, 1, 0, 0))
    make_file(root / "$recycle.bin" / "budget old.txt", 88, stamp(2024, 1, 1, 0, 0))
    os.symlink(root, root / "loop")  # never followed
    return root


def run_es(tree, args, tmp_path, roots=None):
    """Runs es from a program folder of its own with es-roots.txt; returns (process, folder)."""
    app = tmp_path / "app"
    app.mkdir(exist_ok=True)
    shutil.copy2(native_es(), app / "es")
    lines = roots if roots is not None else [str(tree)]
    (app / "es-roots.txt").write_text("".join(l + "\r\n" for l in lines), encoding="utf-8")
    proc = subprocess.run([str(app / "es"), args], cwd=app, env=dict(os.environ, TZ="UTC"),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    return proc, app


def lumiseek_args(tree, kind, term, sort_dm=True, max_results=500, exclusions=None):
    """The argument string Lumiseek builds for search types 1 to 3 (with its system folder
    exclusions, here the tree's own windows and $recycle.bin folders)."""
    if exclusions is None:
        exclusions = ["%s/windows/" % tree, "%s/$recycle.bin/" % tree]
    folder = "".join(" !" + line for line in exclusions)
    count = "" if max_results == 0 else " -n" + (" %d" % max_results if max_results > 0 else str(max_results))
    return (folder + TYPE_SWITCHES[kind] + (" -sort dm " if sort_dm else " -sort name ") + count
            + " -export-csv results.txt " + term)


def csv(rows):
    lines = ["Size,Date Modified,Filename"]
    for size, date, path in rows:
        lines.append('%s,%s,"%s"' % ("" if size is None else size, date, str(path).replace('"', '""')))
    return ("".join(line + "\r\n" for line in lines)).encode("utf-8")


def test_file_search_newest_first_without_system_folders(tree, tmp_path):
    proc, app = run_es(tree, lumiseek_args(tree, 1, "budget"), tmp_path)
    assert proc.returncode == 0, proc.stderr
    docs = tree / "Documents"
    assert (app / "results.txt").read_bytes() == csv([
        (300, "06/01/2023 08:00", docs / "budget draft.docx"),
        (1200, "05/17/2023 10:22", docs / "Budget 2023.xlsx"),
        (999, "03/04/2021 05:06", docs / "Reports" / "budget summary.pdf"),
        (7, "12/31/2019 23:59", docs / "Ärger & 100%^ budget.txt"),
    ])


def test_folder_search_and_search_all_by_name(tree, tmp_path):
    proc, app = run_es(tree, lumiseek_args(tree, 2, "budget", sort_dm=False), tmp_path)
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == csv([(None, "01/02/2024 03:04", tree / "Music" / "budget")])

    proc, app = run_es(tree, lumiseek_args(tree, 3, "budget|report", sort_dm=False), tmp_path)
    assert proc.returncode == 0, proc.stderr
    docs = tree / "Documents"
    assert (app / "results.txt").read_bytes() == csv([
        (None, "01/02/2024 03:04", tree / "Music" / "budget"),
        (1200, "05/17/2023 10:22", docs / "Budget 2023.xlsx"),
        (300, "06/01/2023 08:00", docs / "budget draft.docx"),
        (999, "03/04/2021 05:06", docs / "Reports" / "budget summary.pdf"),
        (10, "03/05/2021 05:06", docs / "Reports" / "report.PDF"),
        (None, _date(docs / "Reports"), docs / "Reports"),
        (7, "12/31/2019 23:59", docs / "Ärger & 100%^ budget.txt"),
    ])


def _date(path):
    return time.strftime("%m/%d/%Y %H:%M", time.gmtime(os.path.getmtime(path)))


def test_custom_search_with_a_category_and_a_count(tree, tmp_path):
    # A custom search: the typed text is the whole argument string, audio: already expanded.
    proc, app = run_es(tree, AUDIO + " song -size -dm -sort name -n 1 -export-csv results.txt", tmp_path)
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == csv([(5000, "07/09/2020 09:10", tree / "Music" / "song.flac")])


def test_exclusions_names_and_wildcards(tree, tmp_path):
    docs = tree / "Documents"
    # An exclusion list that ends in a line break leaves a lone "!": it must not negate the term.
    args = lumiseek_args(tree, 1, "*.txt", exclusions=["%s/windows/" % tree, "%s/$recycle.bin/" % tree, ""])
    proc, app = run_es(tree, args, tmp_path)
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == csv([
        (50, "01/01/2022 00:00", docs / "notes, final.txt"),
        (7, "12/31/2019 23:59", docs / "Ärger & 100%^ budget.txt"),
        (2, "02/03/2018 04:05", docs / 'say "hi".txt'),
    ])
    # A path term finds what lies under a folder; quotes keep the blank in "notes, final".
    proc, app = run_es(tree, "-sort name -export-csv results.txt %s/documents/ \"notes, final\" | ärger" % tree,
                       tmp_path)
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == (
        'Filename\r\n"%s"\r\n"%s"\r\n' % (docs / "notes, final.txt", docs / "Ärger & 100%^ budget.txt")).encode()


def test_count_without_sort_and_plain_output(tree, tmp_path):
    proc, app = run_es(tree, "-n 3", tmp_path)
    assert proc.returncode == 0, proc.stderr
    lines = proc.stdout.decode().splitlines()
    assert len(lines) == 3 and all(line.startswith(str(tree) + "/") for line in lines)
    # Everything under the tree, each once: the link is listed but not followed.
    proc, app = run_es(tree, "", tmp_path)
    lines = proc.stdout.decode().splitlines()
    assert len(lines) == len(set(lines)) == 20
    assert str(tree / "loop") in lines


def test_long_paths(tree, tmp_path):
    # Deeper than PATH_MAX: created a folder at a time relative to its parent.
    fd = os.open(str(tree), os.O_RDONLY)
    depth = 24
    for _ in range(depth):
        os.mkdir("d" * 200, dir_fd=fd)
        child = os.open("d" * 200, os.O_RDONLY, dir_fd=fd)
        os.close(fd)
        fd = child
    os.close(os.open("deep budget.txt", os.O_CREAT | os.O_WRONLY, 0o644, dir_fd=fd))
    os.close(fd)
    proc, app = run_es(tree, "-sort name deep", tmp_path)
    assert proc.returncode == 0, proc.stderr
    expected = str(tree) + ("/" + "d" * 200) * depth + "/deep budget.txt"
    assert len(expected) > 4096
    assert proc.stdout.decode().splitlines() == [expected]


def test_errors_leave_a_message_and_a_code(tree, tmp_path):
    app = tmp_path / "app"
    app.mkdir()
    (app / "results.txt").write_bytes(b"old")
    proc, app = run_es(tree, "-bogus -export-csv results.txt x", tmp_path)
    assert proc.returncode not in (0, 8) and b"-bogus" in proc.stderr
    assert (app / "results.txt").read_bytes() == b"old"

    proc, app = run_es(tree, "-n -export-csv results.txt x", tmp_path)
    assert proc.returncode not in (0, 8) and proc.stderr

    proc, app = run_es(tree, "-export-csv no/such/folder/results.txt x", tmp_path)
    assert proc.returncode not in (0, 8) and b"no/such/folder" in proc.stderr

    # One root missing: the others are still searched, the missing one is reported, and the
    # search counts as done. With every root missing it failed.
    proc, app = run_es(tree, "-sort name -export-csv results.txt cover", tmp_path,
                       roots=[str(tmp_path / "missing"), str(tree / "Music")])
    assert proc.returncode == 0 and b"missing" in proc.stderr
    assert (app / "results.txt").read_bytes() == b'Filename\r\n"%s"\r\n' % str(tree / "Music" / "cover.jpg").encode()
    proc, app = run_es(tree, "-export-csv results.txt cover", tmp_path, roots=[str(tmp_path / "missing")])
    assert proc.returncode not in (0, 8) and b"missing" in proc.stderr


@pytest.mark.skipif(os.geteuid() == 0, reason="root reads folders without read permission")
def test_unreadable_folders_are_skipped(tree, tmp_path):
    locked = tree / "Documents" / "Reports"
    locked.chmod(0)
    try:
        proc, app = run_es(tree, "-sort name report", tmp_path)
    finally:
        locked.chmod(0o755)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout.decode().splitlines() == [str(locked)]
