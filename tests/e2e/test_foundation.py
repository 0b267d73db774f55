"""lumiseek.exe end to end: start-up, caption, speech toggles, shortcut announcements, Esc and the
settings file it leaves behind."""
import os
import re

import harness

NUMBER = re.compile(r"^( \d+|-\d+)$")
TEXT_KEYS = {"SearchTerm", "FontName", "IgnoreList"}


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
    section [All], 45 distinct keys, numbers in the general form."""
    data = run.settings_bytes()
    assert data.startswith(b"\xff\xfe"), "not UTF-16LE with a byte-order mark"
    lines = data[2:].decode("utf-16-le").split("\r\n")
    assert lines[0] == "[All]" and lines[-1] == "" and not any("\n" in line for line in lines)
    pairs = [line.split("=", 1) for line in lines[1:-1]]
    saved = dict(pairs)
    assert len(pairs) == len(saved) == 45
    for key, value in pairs:
        assert key in TEXT_KEYS or NUMBER.match(value), "%s=%r is not in the general number form" % (key, value)
    return saved


def test_caption_and_status_bar_after_start(lumiseek):
    lumiseek.start()
    title = lumiseek.title()
    assert re.fullmatch(r"Lumiseek 4\.2 .*Compiled: \w{3} [ \d]\d \d{4} \d\d:\d\d:\d\d", title), title
    wait_ready(lumiseek)
    lumiseek.screenshot("status-bar")
    # Reloading the last results at start selects row 1, and a selection shows its row summary.
    assert lumiseek.control_text(503) == "     1  <empty>      "


def test_speech_toggles_shortcut_announcements_and_exit(lumiseek):
    lumiseek.start()
    wait_ready(lumiseek)
    # F9 speaks straight on the voice, its announcement in front, whether speech goes off or on.
    mark = lumiseek.mark()
    lumiseek.key("F9")
    lumiseek.wait_voice("3\tShortcut Pressed: Disable Speech : F9 : Speech is Disabled", after=mark)
    lumiseek.key("F9")
    new = lumiseek.wait_voice("3\tShortcut Pressed: Disable Speech : F9 : Speech is Enabled", after=mark)
    assert len(new) == 2

    mark = lumiseek.mark()
    lumiseek.key("ctrl+u")
    lumiseek.wait_voice("3\tShortcut Pressed: Search Sort Type : C-U : Sort Type is File Name", after=mark)

    first = lumiseek.mark()
    for words in ["Fast speech is on!", "Slow speech is on!", "Normal speech is on!"]:
        mark = lumiseek.mark()
        lumiseek.key("ctrl+8")
        lumiseek.wait_voice(lambda lines, w=words: any(l.startswith("3\t") and l.endswith(w) for l in lines),
                            after=mark)
    new = lumiseek.voice_lines()[first:]
    assert [int(l.split("\t")[1]) for l in new if l.startswith("rate\t")] == [3, -3, 0], new

    exit_with_esc(lumiseek)
    saved = saved_settings(lumiseek)
    assert (saved["vRate"], saved["DisableSpeech"]) == (" 0", " 0")


def start_and_exit(wine_env, folder, artifacts, settings, while_running=lambda run: None):
    run = harness.LumiseekRun(wine_env, folder, artifacts)
    try:
        run.start(settings=settings)
        wait_ready(run)
        run.screenshot("running")
        while_running(run)
        exit_with_esc(run)
    finally:
        run.kill()
        run.keep_artifacts()
    return run


def test_settings_file_defaults_garbage_and_odd_values(wine_env, tmp_path, request):
    artifacts = harness.ARTIFACTS / request.node.name
    # No file: the defaults, with the window placed by the program. Random bytes: the same defaults.
    defaults = saved_settings(start_and_exit(wine_env, tmp_path / "none", artifacts / "none", None))
    garbage = saved_settings(start_and_exit(wine_env, tmp_path / "garbage", artifacts / "garbage", os.urandom(4096)))
    assert {k: v for k, v in garbage.items() if k not in ("Left", "Top")} == \
        {k: v for k, v in defaults.items() if k not in ("Left", "Top")}

    # Odd but readable values, in UTF-8 without a byte-order mark; vRate reaches the voice at start.
    ignore = (".tmp;" * 60)[:300]
    odd = "\r\n".join(["[all]", "a line without an equals sign", " width = 1500", "HEIGHT=900", "Left=20", "Top=+10",
                        'SearchTerm="größe report"', "FontName=  Tahoma  ", "IgnoreList=" + ignore, "FastRate=11.5",
                        "vRate=+3", "UseHover=0abc", "SpeakShortcuts=0", "SpeakShortcuts=1", "[Other]", "EnableTime=0",
                        ""])
    run = start_and_exit(wine_env, tmp_path / "odd", artifacts / "odd", odd.encode("utf-8"))
    assert "rate\t3" in run.voice_lines(), "vRate was not handed to the voice at start"
    expected = dict(defaults, Left=" 20", Top=" 10", Width=" 1500", Height=" 900", SearchTerm="größe report",
                    FontName="Tahoma", IgnoreList=ignore[:259], FastRate=" 12", vRate=" 3", UseHover=" 0",
                    SpeakShortcuts=" 0")
    assert saved_settings(run) == expected


def test_a_failed_save_keeps_the_old_file_and_says_so(lumiseek):
    original = harness.settings_file({"FontSize": " 40", "SortType": " 1"}).encode("utf-8")
    lumiseek.start(settings=original)
    wait_ready(lumiseek)
    # The save writes a temporary file beside the settings file first; a folder in its place
    # makes that write fail, as a full disk would.
    (lumiseek.dir / "lumiseek.ini.tmp").mkdir()
    lumiseek.key("ctrl+u")
    exit_with_esc(lumiseek)
    assert lumiseek.spoken()[-2] == (2, "Settings could not be saved")
    assert lumiseek.settings_bytes() == original


def on_screen_rectangle(run):
    """The window's rectangle (frame included: Wine draws it) after checking that it lies wholly
    on the 1920 x 1080 screen."""
    values = dict(line.split("=", 1) for line in
                  run.session.x("xdotool", "getwindowgeometry", "--shell", run.window).split())
    x, y, w, h = (int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    assert 0 <= x and x + w <= 1920 and 0 <= y and y + h <= 1080, (x, y, w, h)
    return x, y, w, h


def test_window_starts_wholly_on_the_screen(wine_env, tmp_path, request):
    artifacts = harness.ARTIFACTS / request.node.name
    places = []
    keep_place = lambda run: places.append(on_screen_rectangle(run))
    # A first start: the default 1600-wide window would run off the right edge where it is created.
    saved = saved_settings(start_and_exit(wine_env, tmp_path / "fresh", artifacts / "fresh", None, keep_place))
    x, y, w, _ = places[0]
    assert w == 1600 and (int(saved["Left"]), int(saved["Top"]), int(saved["Width"])) == (x, y, 1600)

    # A place saved on a monitor that is gone, and a font size of 0 edited by hand.
    values = {"Left": "2500", "Top": "-300", "Width": "1600", "Height": "800", "FontSize": "0"}
    saved = saved_settings(start_and_exit(wine_env, tmp_path / "moved", artifacts / "moved",
                                          harness.settings_file(values), keep_place))
    assert places[1] == (320, 0, 1600, 800)
    assert (saved["Left"], saved["Top"], saved["FontSize"]) == (" 320", " 0", " 8")
