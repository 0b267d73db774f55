"""The online update under Wine against a local web server: an error page and a missing file are
refused and leave the program as it was; a program is installed, the old one kept as lumiseek.old,
and the restarter starts the new one once the old one has ended."""
import functools
import http.server
import shutil
import subprocess
import threading

import harness

FAILED = ["Updating Lumiseek", "Downloading. Lumiseek does not respond until the download ends.",
          "Lumiseek Update Failed"]


def test_update_refuses_what_is_no_program_and_restarts_into_a_new_one(lumiseek, wine_env, tmp_path):
    served = tmp_path / "site"
    served.mkdir()
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(http.server.SimpleHTTPRequestHandler, directory=str(served)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    shutil.copy2(harness.built("start_lumiseek.exe"), lumiseek.dir / "start_lumiseek.exe")
    try:
        lumiseek.start(settings=harness.settings_file({"ShowToolbar": "0", "SpeakShortcuts": "0"}),
                       env={"LUMISEEK_UPDATE_URL": "http://127.0.0.1:%d/lumiseek.exe" % server.server_address[1]})
        lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
        original = lumiseek.exe.read_bytes()

        # An error page with status 200, then nothing at all (404).
        (served / "lumiseek.exe").write_text("<html><body>Maintenance</body></html>")
        for attempt in ("page", "404"):
            mark = lumiseek.press("Lumiseek Update Failed", "ctrl+o")
            assert lumiseek.texts_since(mark) == FAILED, attempt
            assert sorted(p.name for p in lumiseek.dir.glob("lumiseek.*")) == ["lumiseek.exe", "lumiseek.ini"]
            assert lumiseek.exe.read_bytes() == original
            (served / "lumiseek.exe").unlink(missing_ok=True)

        # A program (this one with bytes after its end, which Windows ignores).
        (served / "lumiseek.exe").write_bytes(original + b"the newer build")
        mark = lumiseek.press("Update successful. Restarting Lumiseek.", "ctrl+o")
        assert lumiseek.wait_exit() == 0
        assert lumiseek.exe.read_bytes().endswith(b"the newer build")
        assert (lumiseek.dir / "lumiseek.old").read_bytes() == original
        assert not (lumiseek.dir / "lumiseek.tmp").exists()
        # The restarted program speaks its welcome into the same voice log and shows its window.
        lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), after=mark, timeout=30)
        assert wine_env.x("xdotool", "search", "--onlyvisible", "--name", harness.TITLE_PATTERN, check=False).strip()
        assert lumiseek.texts_since(mark)[:4] == FAILED[:2] + ["Update successful. Restarting Lumiseek.",
                                                               "Exiting Lumiseek"]
    finally:
        server.shutdown()
        # The restarted program is not the harness's process: end everything in the prefix.
        for flag in ("-k", "-w", "-p"):
            subprocess.run([wine_env.wineserver, flag], env=wine_env.env, timeout=60)
