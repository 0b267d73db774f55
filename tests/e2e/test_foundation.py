"""lumiseek.exe end to end: start-up, caption, the speech rate read at start reaching the voice, Esc,
the window's place and the settings file it leaves behind, or keeps when the save fails."""
import re

import harness


def saved_settings(run):
    """The settings file as a dict, after checking its form: UTF-16LE with BOM, CR LF lines, one
    section [All], 45 keys."""
    data = run.settings_bytes()
    assert data.startswith(b"\xff\xfe"), "not UTF-16LE with a byte-order mark"
    lines = data[2:].decode("utf-16-le").split("\r\n")
    assert lines[0] == "[All]" and lines[-1] == "" and len(lines) == 47 and not any("\n" in line for line in lines)
    return dict(line.split("=", 1) for line in lines[1:-1])


def start_and_exit(wine_env, folder, artifacts, settings):
    """Starts, checks the caption and that the window (frame included: Wine draws it) lies wholly on
    the 1920 x 1080 screen, exits with Esc; returns the run and the window's rectangle."""
    with harness.program_in(wine_env, folder, artifacts) as run:
        run.start(settings=settings)
        title = run.title()
        assert re.fullmatch(r"Lumiseek 4\.2 .*Compiled: \w{3} [ \d]\d \d{4} \d\d:\d\d:\d\d", title), title
        run.wait_started()
        run.screenshot("running")
        x, y, w, h = run.geometry()
        assert 0 <= x and x + w <= 1920 and 0 <= y and y + h <= 1080, (x, y, w, h)
        run.press("Exiting Lumiseek", "Escape")
        assert run.wait_exit() == 0 and run.spoken()[-1] == (2, "Exiting Lumiseek")
    return run, (x, y, w, h)


def test_settings_file_window_place_and_a_failed_save(wine_env, tmp_path, artifacts):
    # No file: the defaults, with the window placed by the program (the default 1600-wide window would
    # run off the right edge where it is created).
    run, (x, y, w, _) = start_and_exit(wine_env, tmp_path / "none", artifacts / "none", None)
    defaults = saved_settings(run)
    assert w == 1600 and (int(defaults["Left"]), int(defaults["Top"]), int(defaults["Width"])) == (x, y, 1600)

    # UTF-8 without a byte-order mark: a place saved on a monitor that is gone, a font size of 0
    # edited by hand, and a rate that reaches the voice at start.
    odd = "[all]\r\nLeft=2500\r\nTop=-300\r\nwidth = 1600\r\nHEIGHT=800\r\nFontSize=0\r\nvRate=+3\r\n".encode("utf-8")
    run, place = start_and_exit(wine_env, tmp_path / "odd", artifacts / "odd", odd)
    assert place == (320, 0, 1600, 800)
    assert "rate\t3" in run.voice_lines(), "vRate was not handed to the voice at start"
    assert saved_settings(run) == dict(defaults, Left=" 320", Top=" 0", Height=" 800", FontSize=" 8", vRate=" 3")

    # The save writes a temporary file beside the settings file first; a folder in its place makes that
    # write fail, as a full disk would: the old file stays, and the user hears so.
    (tmp_path / "full" / "lumiseek.ini.tmp").mkdir(parents=True)
    run, _ = start_and_exit(wine_env, tmp_path / "full", artifacts / "full", odd)
    assert run.spoken()[-2] == (2, "Settings could not be saved") and run.settings_bytes() == odd
