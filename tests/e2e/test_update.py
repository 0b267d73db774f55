"""The online update under Wine against a local web server: an error page and a missing file are
refused and leave the program as it was; a program is installed, the old one kept as lumiseek.old,
and the restarter starts the new one once the old one has ended."""
import shutil

import harness

STARTS = ["Updating Lumiseek", "Downloading. Lumiseek does not respond until the download ends."]


def test_update_refuses_what_is_no_program_and_restarts_into_a_new_one(lumiseek, wine_env, tmp_path):
    site = tmp_path / "site"
    site.mkdir()
    shutil.copy2(harness.built("start_lumiseek.exe"), lumiseek.dir)
    with harness.web_server(site) as address:
        lumiseek.start(settings=harness.settings_file({"ShowToolbar": "0", "SpeakShortcuts": "0"}),
                       env={"LUMISEEK_UPDATE_URL": address + "lumiseek.exe"})
        lumiseek.wait_started()
        original = lumiseek.exe.read_bytes()
        # An error page served with status 200, then nothing at all (404).
        (site / "lumiseek.exe").write_text("<html><body>Maintenance</body></html>")
        for attempt in ("page", "404"):
            mark = lumiseek.press("Lumiseek Update Failed", "ctrl+o")
            assert lumiseek.texts_since(mark) == STARTS + ["Lumiseek Update Failed"], attempt
            assert sorted(p.name for p in lumiseek.dir.glob("lumiseek.*")) == ["lumiseek.exe", "lumiseek.ini"]
            assert lumiseek.exe.read_bytes() == original
            (site / "lumiseek.exe").unlink(missing_ok=True)
        # A program: this one with bytes after its end, which Windows ignores.
        (site / "lumiseek.exe").write_bytes(original + b"the newer build")
        mark = lumiseek.press("Update successful. Restarting Lumiseek.", "ctrl+o")
        assert lumiseek.wait_exit() == 0
    try:
        assert lumiseek.exe.read_bytes().endswith(b"the newer build")
        assert (lumiseek.dir / "lumiseek.old").read_bytes() == original
        assert not (lumiseek.dir / "lumiseek.tmp").exists()
        # The new program speaks its welcome into the same voice log and shows its window.
        lumiseek.wait_started(after=mark)
        assert lumiseek.texts_since(mark)[2:4] == ["Update successful. Restarting Lumiseek.", "Exiting Lumiseek"]
        assert wine_env.x("xdotool", "search", "--onlyvisible", "--name", harness.TITLE_PATTERN, check=False).strip()
    finally:
        wine_env.end_all_programs()  # the restarted program is not the harness's process
