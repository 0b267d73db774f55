"""The native es engine on a generated folder tree, called the way Lumiseek calls it: from a program
folder with es-roots.txt, the whole argument string as one command line, dates in UTC."""
import calendar
import os
import shutil
import subprocess
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]


def native_es():
    """The native es of the build: $LUMISEEK_ES, else the usual native build folders."""
    candidates = [Path(os.environ["LUMISEEK_ES"])] if os.environ.get("LUMISEEK_ES") else []
    if os.environ.get("LUMISEEK_BUILD_NATIVE"):
        candidates.append(Path(os.environ["LUMISEEK_BUILD_NATIVE"]) / "engine" / "es")
    candidates += [REPO / "build" / name / "engine" / "es" for name in ("native", "linux", "host")]
    found = [c for c in candidates if c.is_file()]
    if not found:
        pytest.fail("the native es is not built (looked in %s); run make build or set LUMISEEK_ES" % candidates)
    return found[0]


def make(path, size, when):
    """A file of `size` bytes, or a folder when size is None, modified at `when` (y, m, d, h, min)."""
    path.parent.mkdir(parents=True, exist_ok=True)
    path.mkdir() if size is None else path.write_bytes(b"x" * size)
    os.utime(path, (calendar.timegm(when + (0,)),) * 2)


@pytest.fixture
def tree(tmp_path):
    """A small tree with the awkward names Lumiseek users have; returns its root."""
    root = tmp_path / "tree"
    docs = root / "Documents"
    make(docs / "Budget 2023.xlsx", 1200, (2023, 5, 17, 10, 22))
    make(docs / "budget draft.docx", 300, (2023, 6, 1, 8, 0))
    make(docs / 'Ärger & 100%^ "budget".txt', 7, (2019, 12, 31, 23, 59))
    make(docs / "Reports" / "report.PDF", 10, (2021, 3, 5, 5, 6))
    make(root / "Music" / "song.MP3", 4000, (2020, 7, 8, 9, 10))
    make(root / "Music" / "song.flac", 5000, (2020, 7, 9, 9, 10))
    make(root / "Music" / "budget", None, (2024, 1, 2, 3, 4))
    make(root / "windows" / "system32" / "budget.dll", 77, (2024, 1, 1, 0, 0))
    os.symlink(root, root / "loop")  # never followed
    return root


def run_es(args, tmp_path, roots):
    """Runs es from a program folder of its own with es-roots.txt; returns (process, folder)."""
    app = tmp_path / "app"
    app.mkdir(exist_ok=True)
    shutil.copy2(native_es(), app / "es")
    (app / "es-roots.txt").write_text("".join(str(r) + "\r\n" for r in roots), encoding="utf-8")
    proc = subprocess.run([str(app / "es"), args], cwd=app, env=dict(os.environ, TZ="UTC"),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    return proc, app


def csv(*rows, header="Size,Date Modified,Filename"):
    lines = [header] + ['%s,%s,"%s"' % (size, date, str(path).replace('"', '""')) for size, date, path in rows]
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


def test_lumiseek_searches_read_back_in_its_layout(tree, tmp_path):
    docs = tree / "Documents"
    # Files only, newest first, the system folder excluded: Lumiseek's search type 1.
    proc, app = run_es(" !%s/windows/ -size -size-format 2 -dm /a-d  -sort dm  -n 500 -export-csv results.txt budget"
                       % str(tree).upper(), tmp_path, [tree])
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == csv(
        (300, "06/01/2023 08:00", docs / "budget draft.docx"), (1200, "05/17/2023 10:22", docs / "Budget 2023.xlsx"),
        (7, "12/31/2019 23:59", docs / 'Ärger & 100%^ "budget".txt'))
    # Everything by name, folders without a size; an audio category with a count.
    proc, app = run_es(" -size -size-format 2 -dm  -sort name  -n-1 -export-csv results.txt budget|report.pdf",
                       tmp_path, [tree / "Music", docs])
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == csv(
        ("", "01/02/2024 03:04", tree / "Music" / "budget"), (1200, "05/17/2023 10:22", docs / "Budget 2023.xlsx"),
        (300, "06/01/2023 08:00", docs / "budget draft.docx"), (10, "03/05/2021 05:06", docs / "Reports" / "report.PDF"),
        (7, "12/31/2019 23:59", docs / 'Ärger & 100%^ "budget".txt'))
    proc, app = run_es("ext:aac;flac;mp3;wav song -size -dm -sort name -n 1 -export-csv results.txt", tmp_path, [tree])
    assert proc.returncode == 0, proc.stderr
    assert (app / "results.txt").read_bytes() == csv((5000, "07/09/2020 09:10", tree / "Music" / "song.flac"))


def test_plain_output_links_and_long_paths(tree, tmp_path):
    # Everything under the tree, each once, one path a line: the link is listed but not followed.
    lines = run_es("", tmp_path, [tree])[0].stdout.decode().splitlines()
    assert len(lines) == len(set(lines)) == 14 and str(tree / "loop") in lines
    # Deeper than PATH_MAX: created a folder at a time relative to its parent.
    fd = os.open(str(tree), os.O_RDONLY)
    for _ in range(24):
        os.mkdir("d" * 200, dir_fd=fd)
        child = os.open("d" * 200, os.O_RDONLY, dir_fd=fd)
        os.close(fd)
        fd = child
    os.close(os.open("deep budget.txt", os.O_CREAT | os.O_WRONLY, 0o644, dir_fd=fd))
    os.close(fd)
    proc, _ = run_es("-sort name deep", tmp_path, [tree])
    assert proc.stdout.decode().splitlines() == [str(tree) + ("/" + "d" * 200) * 24 + "/deep budget.txt"]


def test_failures_leave_a_message_a_code_and_the_old_results(tree, tmp_path):
    app = tmp_path / "app"
    app.mkdir()
    (app / "results.txt").write_bytes(b"old")
    for args, cause in (("-bogus -export-csv results.txt x", b"-bogus"), ("-n -export-csv results.txt x", b"-n"),
                        ("-export-csv no/such/folder/results.txt x", b"no/such/folder")):
        proc, app = run_es(args, tmp_path, [tree])
        assert proc.returncode not in (0, 8) and cause in proc.stderr, args
    assert (app / "results.txt").read_bytes() == b"old"
    # One root missing: the others are searched, the missing one reported, the search done.
    proc, app = run_es("-export-csv results.txt flac", tmp_path, [tmp_path / "missing", tree / "Music"])
    assert proc.returncode == 0 and b"missing" in proc.stderr
    assert (app / "results.txt").read_bytes() == b'Filename\r\n"%s"\r\n' % str(tree / "Music" / "song.flac").encode()
    proc, app = run_es("-export-csv results.txt flac", tmp_path, [tmp_path / "missing"])
    assert proc.returncode not in (0, 8) and b"missing" in proc.stderr


@pytest.mark.skipif(os.geteuid() == 0, reason="root reads folders without read permission")
def test_unreadable_folders_are_skipped(tree, tmp_path):
    locked = tree / "Documents" / "Reports"
    locked.chmod(0)
    proc, _ = run_es("-sort name report", tmp_path, [tree])
    locked.chmod(0o755)
    assert proc.returncode == 0 and proc.stdout.decode().splitlines() == [str(locked)]
