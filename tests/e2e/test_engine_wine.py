"""es.exe under Wine reading its raw command line, with and without the native es beside it."""
import os
import shutil

import harness


def test_es_hands_the_search_to_the_native_es_beside_it(run_wine, tmp_path):
    """Under Wine with the native es beside es.exe, every search kind writes the same results.txt,
    byte for byte, as es.exe's own walk (which the release tests check against the files themselves)."""
    native = harness.REPO / "build" / "native" / "engine" / "es"  # make build makes it
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
            results.unlink(missing_ok=True)
    for kind in searches:
        code, own = outputs["own", kind]
        assert code == 0 and own.count(b"\r\n") > 2, (kind, own)
        # The quoted exclusion holds; a path longer than MAX_PATH is read and written whole.
        assert b"Budget App" not in own and (kind != "files" or b"\\budget final.txt" in own), (kind, own)
        assert outputs["native", kind] == (0, own), kind
        # The program beside es.exe is the one that searched: a stand-in that fails writes nothing.
        assert outputs["stand-in", kind] == (1, None), kind
