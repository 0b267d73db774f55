"""lumiseek.exe end to end: start-up, caption, speech toggles, shortcut announcements, Esc and the
settings file it leaves behind."""
import os
import re

import harness

KEYS = [
    "Left", "Top", "Width", "Height", "SearchTerm", "FontName", "IgnoreList", "Minimized", "Maximized",
    "FontSize", "FG", "BG", "ShowToolbar", "IconSize", "SortType", "HideToolbarText", "MaxResults",
    "ExcludeSystemFolders", "EnableSpeakLetters", "SpeakNonLetters", "ShortPath", "EnableToolTips", "EnableTime",
    "vRate", "SlowRate", "FastRate", "UseIgnoreList", "UseMagnor", "FocusOnRE", "UseHover", "UseKB", "PrintFont",
    "MaxPrintLines", "SearchType", "ShowPreview", "LastRow", "TopRow", "SpeakShortcuts", "IncludeShortcutKey",
    "SpeakMinimalKey", "PreviewResize", "ImageBG", "WideToolbar", "DisableSpeech", "LastSearchType",
]
TEXT_KEYS = {"SearchTerm", "FontName", "IgnoreList"}
NUMBER = re.compile(r"^( \d+|-\d+)$")


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
    """The settings file as key/value pairs, after checking its form: UTF-16LE with BOM, CR LF lines,
    one section [All], the 45 keys in their order, numbers in the general form."""
    data = run.settings_bytes()
    assert data.startswith(b"\xff\xfe"), "not UTF-16LE with a byte-order mark"
    text = data[2:].decode("utf-16-le")
    assert text.endswith("\r\n") and "\n" not in text.replace("\r\n", "")
    lines = text.split("\r\n")[:-1]
    assert lines[0] == "[All]"
    pairs = [line.split("=", 1) for line in lines[1:]]
    assert [k for k, _ in pairs] == KEYS
    for key, value in pairs:
        if key not in TEXT_KEYS:
            assert NUMBER.match(value), "%s=%r is not in the general number form" % (key, value)
    return dict(pairs)


def settings_text(values):
    return "[All]\r\n" + "".join("%s=%s\r\n" % (k, values[k]) for k in KEYS)


def test_caption_and_status_bar_after_start(lumiseek):
    lumiseek.start()
    title = lumiseek.title()
    assert title.startswith("Lumiseek 4.2")
    assert re.search(r"Compiled: \w{3} [ \d]\d \d{4} \d\d:\d\d:\d\d$", title), title
    wait_ready(lumiseek)
    lumiseek.screenshot("status-bar")
    # The status bar is created with the welcome, but reloading the last results selects row 1
    # during initialisation, and a selection always shows its row summary.
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
    assert saved["vRate"] == " 0"
    assert saved["DisableSpeech"] == " 0"


def test_speak_minimal_key_off_reads_the_key_in_words(lumiseek):
    lumiseek.start(settings="[All]\r\nSpeakMinimalKey=0\r\n")
    wait_ready(lumiseek)
    mark = lumiseek.mark()
    lumiseek.key("ctrl+u")
    lumiseek.wait_voice("3\tShortcut Pressed: Search Sort Type : Control U : Sort Type is File Name", after=mark)
    exit_with_esc(lumiseek)
    assert saved_settings(lumiseek)["SpeakMinimalKey"] == " 0"


def start_and_exit(wine_env, folder, artifacts, settings):
    run = harness.LumiseekRun(wine_env, folder, artifacts)
    try:
        run.start(settings=settings)
        wait_ready(run)
        run.screenshot("running")
        exit_with_esc(run)
    finally:
        run.kill()
        run.keep_artifacts()
    return run


def test_settings_file_defaults_garbage_and_odd_values(wine_env, tmp_path, request):
    artifacts = harness.ARTIFACTS / request.node.name
    # No file: the defaults, with the window placed by the program.
    defaults = saved_settings(start_and_exit(wine_env, tmp_path / "none", artifacts / "none", None))

    # A file that is not a settings file at all: no crash, the defaults.
    noise = os.urandom(4096)
    garbage = saved_settings(start_and_exit(wine_env, tmp_path / "garbage", artifacts / "garbage", noise))
    for key in KEYS:
        if key not in ("Left", "Top"):
            assert garbage[key] == defaults[key], key

    # Odd but readable values, in UTF-8 without a byte-order mark.
    ignore = (".tmp;" * 60)[:300]
    odd = "\r\n".join([
        "[all]",
        "a line without an equals sign",
        " width = 1500",
        "HEIGHT=900",
        "Left=20",
        "Top=+10",
        'SearchTerm="größe report"',
        "FontName=  Tahoma  ",
        "IgnoreList=" + ignore,
        "MaxPrintLines= 10.5",
        "FastRate=11.5",
        "SlowRate=-2.5",
        "vRate=+3",
        "UseMagnor=x",
        "UseHover=0abc",
        "SpeakShortcuts=0",
        "SpeakShortcuts=1",
        "MaxResults=  250  ",
        'FG="255"',
        "UnknownKey=5",
        "[Other]",
        "EnableTime=0",
        "",
    ]).encode("utf-8")
    run = harness.LumiseekRun(wine_env, tmp_path / "odd", artifacts / "odd")
    try:
        run.start(settings=odd)
        wait_ready(run)
        run.screenshot("running")
        assert "rate\t3" in run.voice_lines(), "vRate was not handed to the voice at start"
        exit_with_esc(run)
    finally:
        run.kill()
        run.keep_artifacts()

    expected = dict(defaults)
    expected.update({
        "Left": " 20", "Top": " 10", "Width": " 1500", "Height": " 900",
        "SearchTerm": "größe report", "FontName": "Tahoma", "IgnoreList": ignore[:259],
        "MaxPrintLines": " 10", "FastRate": " 12", "SlowRate": "-2", "vRate": " 3",
        "UseMagnor": " 0", "UseHover": " 0", "SpeakShortcuts": " 0", "MaxResults": " 250", "FG": " 255",
    })
    saved_settings(run)
    assert run.settings_text() == settings_text(expected)


def test_a_failed_save_keeps_the_old_file_and_says_so(lumiseek):
    original = harness.settings_file({"FontSize": " 40", "SortType": " 1"}).encode("utf-8")
    lumiseek.start(settings=original)
    wait_ready(lumiseek)
    # The save writes a temporary file beside the settings file first; a folder in its place
    # makes that write fail, as a full disk would.
    (lumiseek.dir / "lumiseek.ini.tmp").mkdir()
    lumiseek.key("ctrl+u")
    mark = lumiseek.mark()
    lumiseek.key("Escape")
    lumiseek.wait_voice("2\tExiting Lumiseek", after=mark)
    assert lumiseek.wait_exit() == 0
    assert lumiseek.spoken()[-2:] == [(2, "Settings could not be saved"), (2, "Exiting Lumiseek")]
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
    # A first start: the default 1600-wide window would run off the right edge where it is created.
    fresh = harness.LumiseekRun(wine_env, tmp_path / "fresh", artifacts / "fresh")
    try:
        fresh.start()
        wait_ready(fresh)
        fresh.screenshot("fresh-start")
        x, y, w, h = on_screen_rectangle(fresh)
        assert w == 1600, w
        exit_with_esc(fresh)
    finally:
        fresh.kill()
        fresh.keep_artifacts()
    saved = saved_settings(fresh)
    assert (int(saved["Left"]), int(saved["Top"]), int(saved["Width"])) == (x, y, 1600)

    # A place saved on a monitor that is gone, and a font size of 0 edited by hand.
    values = {"Left": "2500", "Top": "-300", "Width": "1600", "Height": "800", "FontSize": "0"}
    moved = harness.LumiseekRun(wine_env, tmp_path / "moved", artifacts / "moved")
    try:
        moved.start(settings=harness.settings_file(values))
        wait_ready(moved)
        moved.screenshot("saved-off-screen")
        assert on_screen_rectangle(moved) == (320, 0, 1600, 800)
        exit_with_esc(moved)
    finally:
        moved.kill()
        moved.keep_artifacts()
    saved = saved_settings(moved)
    assert (saved["Left"], saved["Top"], saved["FontSize"]) == (" 320", " 0", " 8")
