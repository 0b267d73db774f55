"""lumiseek.exe end to end: start-up, caption, speech rates through the voice, Esc,
the window's place and the settings file it leaves behind."""
import re

import harness


def wait_ready(run):
    """The deferred start-up step ends with the welcome; keys sent before it may meet a half-built window."""
    run.wait_voice(lambda lines: any("Welcome to Lumiseek" in line for line in lines), timeout=30)


def exit_with_esc(run):
    mark = run.mark()
    run.key("Escape")
    run.wait_voice("2\tExiting Lumiseek", after=mark)
    assert run.wait_exit() == 0
    assert run.spoken()[-1] == (2, "Exiting Lumiseek")


def saved_settings(run):
    """The settings file as a dict, after checking its form: UTF-16LE with BOM, CR LF lines, one
    section [All], 45 keys."""
    data = run.settings_bytes()
    assert data.startswith(b"\xff\xfe"), "not UTF-16LE with a byte-order mark"
    lines = data[2:].decode("utf-16-le").split("\r\n")
    assert lines[0] == "[All]" and lines[-1] == "" and len(lines) == 47 and not any("\n" in line for line in lines)
    return dict(line.split("=", 1) for line in lines[1:-1])


def test_start_up_rates_and_a_failed_save(lumiseek):
    original = harness.settings_file({"SearchTerm": "tax"}).encode("utf-8")
    lumiseek.start(settings=original)
    title = lumiseek.title()
    assert re.fullmatch(r"Lumiseek 4\.2 .*Compiled: \w{3} [ \d]\d \d{4} \d\d:\d\d:\d\d", title), title
    wait_ready(lumiseek)
    # Reloading the last results at start selects row 1, and a selection shows its row summary.
    assert lumiseek.control_text(503) == "     1  <empty>      "
    # Ctrl+8 three times: fast, slow, normal, each rate handed to the voice.
    mark = lumiseek.mark()
    lumiseek.key("ctrl+8", "ctrl+8", "ctrl+8")
    new = lumiseek.wait_voice(lambda lines: any(l.endswith("Normal speech is on!") for l in lines), after=mark)
    assert [int(l[5:]) for l in new if l.startswith("rate\t")] == [3, -3, 0], new
    # The save writes a temporary file beside the settings file first; a folder in its place makes that
    # write fail, as a full disk would: the old file stays, and the user hears so.
    (lumiseek.dir / "lumiseek.ini.tmp").mkdir()
    exit_with_esc(lumiseek)
    assert lumiseek.spoken()[-2] == (2, "Settings could not be saved")
    assert lumiseek.settings_bytes() == original


def start_and_exit(wine_env, folder, artifacts, settings):
    """Starts, keeps the window's rectangle (frame included: Wine draws it) after checking that it
    lies wholly on the 1920 x 1080 screen, exits; returns the run and the rectangle."""
    run = harness.LumiseekRun(wine_env, folder, artifacts)
    try:
        run.start(settings=settings)
        wait_ready(run)
        run.screenshot("running")
        x, y, w, h = run.geometry()
        assert 0 <= x and x + w <= 1920 and 0 <= y and y + h <= 1080, (x, y, w, h)
        exit_with_esc(run)
    finally:
        run.kill()
        run.keep_artifacts()
    return run, (x, y, w, h)


def test_settings_file_and_window_place(wine_env, tmp_path, request):
    artifacts = harness.ARTIFACTS / request.node.name
    # No file: the defaults, with the window placed by the program (the default 1600-wide window would
    # run off the right edge where it is created).
    run, (x, y, w, _) = start_and_exit(wine_env, tmp_path / "none", artifacts / "none", None)
    defaults = saved_settings(run)
    assert w == 1600 and (int(defaults["Left"]), int(defaults["Top"]), int(defaults["Width"])) == (x, y, 1600)

    # UTF-8 without a byte-order mark: a place saved on a monitor that is gone, a font size of 0
    # edited by hand, and a rate that reaches the voice at start.
    odd = "[all]\r\nLeft=2500\r\nTop=-300\r\nwidth = 1600\r\nHEIGHT=800\r\nFontSize=0\r\nvRate=+3\r\n"
    run, place = start_and_exit(wine_env, tmp_path / "odd", artifacts / "odd", odd.encode("utf-8"))
    assert place == (320, 0, 1600, 800)
    assert "rate\t3" in run.voice_lines(), "vRate was not handed to the voice at start"
    assert saved_settings(run) == dict(defaults, Left=" 320", Top=" 0", Height=" 800", FontSize=" 8", vRate=" 3")
