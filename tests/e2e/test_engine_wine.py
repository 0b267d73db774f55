"""es.exe under Wine, started in the program's folder with the argument string Lumiseek builds."""
import calendar
import os
import shutil

import harness


def test_es_runs_in_the_program_folder(run_wine, tmp_path):
    source = harness.engine_exe()
    if source is None:
        raise harness.HarnessError("the engine's es.exe is not in %s (make build)" % harness.BUILD_WIN)
    tree = tmp_path / "tree"
    (tree / "Windows" / "System32").mkdir(parents=True)
    (tree / "Daten, alt").mkdir()
    for name, size, when in (("Daten, alt/Büdget 100% & co.txt", 12, (2023, 5, 17, 10, 22)),
                             ("cat.jpg", 3, (2022, 1, 2, 3, 4)), ("dog.png", 4, (2024, 2, 3, 4, 5)),
                             ("Windows/System32/cat.dll", 5, (2024, 6, 7, 8, 9)), ("Daten, alt", None, (2021, 1, 1, 0, 0))):
        if size is not None:
            (tree / name).write_bytes(b"x" * size)
        os.utime(tree / name, (calendar.timegm(when + (0,)),) * 2)
    os.symlink(tree, tree / "loop")  # listed at most, never entered: no row comes from under it

    app = tmp_path / "app"
    app.mkdir()
    shutil.copy2(source, app / "es.exe")
    win_tree = harness.winpath(tree)
    (app / "es-roots.txt").write_text(win_tree + "\r\n", encoding="utf-8")
    # What Lumiseek hands to es: exclusions, switches, and "|" as es's own OR.
    args = (" !%s\\windows\\  -size -size-format 2 -dm   -sort dm   -n 500 -export-csv results.txt "
            "cat|dog|daten|100" % win_tree.lower())
    done = run_wine([app / "es.exe"] + args.split(), cwd=app, env={"TZ": "UTC"}, timeout=120)
    assert done.returncode == 0, done.stdout
    rows = [(4, "02/03/2024 04:05", win_tree + "\\dog.png"),
            (12, "05/17/2023 10:22", win_tree + "\\Daten, alt\\Büdget 100% & co.txt"),
            (3, "01/02/2022 03:04", win_tree + "\\cat.jpg"), ("", "01/01/2021 00:00", win_tree + "\\Daten, alt")]
    expected = "Size,Date Modified,Filename\r\n" + "".join('%s,%s,"%s"\r\n' % row for row in rows)
    assert (app / "results.txt").read_bytes() == expected.encode("utf-8")

    # A quoted exclusion with a blank and a backslash before its closing quote, on a raw command
    # line (a batch file hands its line over unchanged; Wine would escape the quotes of argv).
    (tree / "Program Files" / "Cat App").mkdir(parents=True)
    (tree / "Program Files" / "Cat App" / "cat.exe").write_bytes(b"x")
    (app / "quoted.bat").write_text('@es.exe !"%s\\program files\\" -sort path -export-csv quoted.txt cat\r\n'
                                    % win_tree, encoding="utf-8")
    done = run_wine(["cmd", "/c", "quoted.bat"], cwd=app, timeout=120)
    assert done.returncode == 0, done.stdout
    assert (app / "quoted.txt").read_bytes() == ('Filename\r\n"%s\\cat.jpg"\r\n"%s\\Windows\\System32\\cat.dll"\r\n'
                                                % (win_tree, win_tree)).encode()

    # Paths longer than MAX_PATH are read and written whole.
    deep = tree / "deep" / ("x" * 150) / ("y" * 150)
    deep.mkdir(parents=True)
    (deep / "deepest file.txt").write_bytes(b"1")
    done = run_wine([app / "es.exe", "-export-csv", "deep.txt", "deepest"], cwd=app, timeout=120)
    assert done.returncode == 0, done.stdout
    expected_path = harness.winpath(deep / "deepest file.txt")
    assert len(expected_path) > 300 and (app / "deep.txt").read_bytes() == ('Filename\r\n"%s"\r\n' % expected_path).encode()



def test_es_hands_the_search_to_the_native_es_beside_it(run_wine, tmp_path):
    """Under Wine with the native es beside es.exe, every search kind writes the same results.txt,
    byte for byte, as es.exe's own walk."""
    native = harness.REPO / "build" / "native" / "engine" / "es"
    if not native.is_file():
        raise harness.HarnessError("the native es is missing: %s (make build)" % native)
    tree = tmp_path / "tree"
    deep = tree / "Projekte, neu" / ("lang " * 30).strip() / ("länger " * 30).strip()
    for name in ("Daten, alt/Büdget 100% & co.txt", "Daten, alt/notes draft.md", "ÄÖÜ straße/Grüße.txt",
                 "ÄÖÜ straße/.hidden budget", "x/Windows/budget.ini", "Program Files/Budget App/budget.exe",
                 str((deep / "budget final.txt").relative_to(tree)), "ok,name,with,commas.txt"):
        (tree / name).parent.mkdir(parents=True, exist_ok=True)
        (tree / name).write_bytes(b"x" * len(name))
    os.symlink(tree / "Daten, alt", tree / "link to daten")
    os.symlink(tree / "Daten, alt" / "notes draft.md", tree / "link to notes.md")
    win_tree = harness.winpath(tree)

    common = " !%s\\x\\windows\\ !\"%s\\program files\\\"  -size -size-format 2 -dm " % (win_tree.lower(), win_tree)
    searches = {"files": common + "/a-d  -sort dm  -n 100 -export-csv results.txt budget",
                "folders": common + "/ad  -sort name  -n 100 -export-csv results.txt a",
                "both": common + " -sort dm  -n 100 -export-csv results.txt budget|grüße|daten",
                "custom": common + " -sort name  -export-csv results.txt ext:txt;md;ini;exe !\"final\""}
    outputs = {}
    for beside in ("own", "native", "stand-in"):
        app = tmp_path / beside
        app.mkdir()
        shutil.copy2(harness.engine_exe(), app / "es.exe")
        if beside != "own":
            shutil.copy2(native if beside == "native" else "/bin/false", app / "es")
        (app / "es-roots.txt").write_text(win_tree + "\r\n", encoding="utf-8")
        for kind, args in searches.items():
            # The batch file hands its line to es.exe unchanged; cmd would read a bare | as a pipe.
            (app / "bat.bat").write_text("@es.exe" + args.replace("|", "^|") + "\r\n", encoding="utf-8")
            done = run_wine(["cmd", "/c", "bat.bat"], cwd=app, timeout=120)
            results = app / "results.txt"
            outputs[beside, kind] = (done.returncode, results.read_bytes() if results.exists() else None)
            if results.exists():
                results.unlink()
    for kind in searches:
        code, own = outputs["own", kind]
        assert code == 0 and own.count(b"\r\n") > 2, (kind, own)
        assert outputs["native", kind] == (0, own), kind
        # The program beside es.exe is the one that searched: a stand-in that fails writes nothing.
        assert outputs["stand-in", kind] == (1, None), kind
