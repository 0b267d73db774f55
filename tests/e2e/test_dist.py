"""The release as a Windows user gets it (make dist): the zip unpacked into a fresh folder, and the
installer run silently, each start Lumiseek, search a generated tree with the bundled es.exe and
end with Esc; the uninstaller removes what was installed and keeps the user's settings."""
import calendar
import os
import zipfile

import harness

def dist_file(suffix):
    found = sorted((harness.REPO / "dist").glob("lumiseek-*-" + suffix))
    if not found:
        raise harness.HarnessError("no dist/lumiseek-*-%s: run make dist" % suffix)
    return found[-1]


def search_and_quit(run, root):
    """Makes a tree: three files holding "budget" (newest first) and a folder that a file search
    leaves out; starts the program in its folder with es-roots.txt naming the tree, runs a file
    search for budget with the es.exe found there, checks the rows, and ends it with Esc."""
    rows = []
    for n, name in enumerate(("Sub, dir/Budget 2024 ä.txt", "budget notes.md", "Old/budget.xls")):
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"x" * (n + 1))
        os.utime(path, (calendar.timegm((2024 - n, 5, 17, 10, 22, 0)),) * 2)
        rows.append((n + 1, "05/17/%d 10:22" % (2024 - n), harness.winpath(path)))
    (root / "budget folder").mkdir()
    (run.dir / "es-roots.txt").write_text(harness.winpath(root) + "\r\n", encoding="utf-8")
    run.start(settings=harness.QUIET).wait_started()
    run.type("budget")
    run.press("Search is complete : 3 Matches : budget 2024 ä.txt", "ctrl+f", timeout=60)
    assert (run.dir / "results.txt").read_bytes() == harness.results_text(rows).encode("utf-8")
    run.key("Escape")
    assert run.wait_exit(30) == 0


def test_zip_unpacked_into_a_fresh_folder_runs_and_searches(lumiseek, tmp_path):
    with zipfile.ZipFile(dist_file("win64.zip")) as z:
        z.extractall(lumiseek.dir)
        assert {"lumiseek.exe", "es.exe", "README.txt", "LICENSE.txt"} <= set(z.namelist())
    search_and_quit(lumiseek, tmp_path / "tree")


def test_installer_installs_for_the_user_and_uninstaller_removes_it(wine_env, tmp_path, artifacts):
    done = wine_env.run([dist_file("setup.exe"), "/S"], timeout=120)
    assert done.returncode == 0, done.stdout
    users = wine_env.prefix / "drive_c" / "users"
    folder = next(users.glob("*/AppData/Local/Programs/Lumiseek"), None)
    assert folder, "nothing installed under %s" % users
    files = {"lumiseek.exe", "es.exe", "README.txt", "LICENSE.txt", "uninstall.exe"}
    assert files <= {p.name for p in folder.iterdir()}
    menu = sorted(users.glob("*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lumiseek/Lumiseek.lnk"))
    assert menu

    with harness.program_in(wine_env, folder, artifacts) as run:
        search_and_quit(run, tmp_path / "tree")

    # Silent uninstall: the installed files and the menu entry go; the settings, the last results and
    # files the user put there stay.
    assert wine_env.run([folder / "uninstall.exe", "/S"], timeout=120).returncode == 0
    harness.poll(lambda: not (folder / "lumiseek.exe").exists() and not menu[0].exists(), 60, what="the uninstall")
    left = {p.name for p in folder.iterdir()}
    assert not (files & left) and {"lumiseek.ini", "results.txt", "es-roots.txt"} <= left, left
