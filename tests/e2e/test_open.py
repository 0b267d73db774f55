"""Acting on the selected result under Wine: the shell opens .bas files, folders and web addresses
with a recorder ("Lumiseek Test Viewer"); es receives the expanded folders; Copy File offers X a file
list; Everything and Magnor are recorders too."""
import os
import shutil
from urllib.parse import unquote, urlparse

import pytest

import harness
from harness import click_name_header

SETTINGS = {"ShowToolbar": "0", "SpeakShortcuts": "0"}
RECORDER = "esrecorder/open_recorder.exe"


@pytest.fixture
def viewer(wine_env, tmp_path):
    program = tmp_path / "tools" / "viewer.exe"
    program.parent.mkdir()
    shutil.copy2(harness.built(RECORDER), program)
    restore = wine_env.shell_opens_with(program, [".bas", "Folder", "https"], tmp_path / "tools")
    yield program
    restore()


def recorded(program, arguments, path=None):
    """Waits for the recorder at `program` to log its quoted path (or `path`) and the arguments."""
    log, line = program.with_suffix(".log"), ('"%s" %s' % (path or harness.winpath(program), arguments)).rstrip()
    harness.poll(lambda: log.exists() and line in log.read_text(encoding="utf-8").splitlines(), 15, what=line)


def press(run, keys, last):
    """Presses the keys, waits for the text `last` and returns everything spoken meanwhile."""
    mark = run.mark()
    run.key(*keys.split())
    run.wait_spoken(last, mark)
    return run.texts_since(mark)


def test_open_copy_expand_and_jump(lumiseek, viewer):
    notes = lumiseek.dir / "notes"
    (notes / "sub").mkdir(parents=True)
    for name in ("report.bas", "archive.tar.gz"):
        (notes / name).write_text("x")
    rows = [("1", "report.bas"), ("2", "archive.tar.gz"), ("3", "missing.bas"), ("", "sub"), ("4", "zeta.bas")]
    results = "Size,Date Modified,Filename\r\n" + "".join(
        '%s,05/17/2023 10:22,"%s"\r\n' % (size, harness.winpath(notes / name)) for size, name in rows)
    (lumiseek.dir / "results.txt").write_text(results, encoding="utf-8", newline="")
    lumiseek.start(settings=harness.settings_file(SETTINGS), es="recorder", results=results)
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    lumiseek.type("budget")
    folder = harness.winpath(notes).lower() + "\\"
    press(lumiseek, "Tab", "Results List has focus. report.bas")
    press(lumiseek, "ctrl+d", "Copying File %sreport.bas" % folder)
    uris = lumiseek.session.x("xclip", "-o", "-selection", "clipboard", "-t", "text/uri-list").split()
    assert len(uris) == 1 and os.path.samefile(unquote(urlparse(uris[0]).path), notes / "report.bas"), uris

    assert press(lumiseek, "ctrl+j", "Using Lumiseek Test Viewer to Open report.bas") == [
        "Using Lumiseek Test Viewer to Open report.bas"]
    recorded(viewer, '"%sreport.bas"' % folder)
    press(lumiseek, "Down Return", "Cannot Open File. Opening Parent Folder.")  # Enter on the list opens too
    recorded(viewer, '"%s"' % folder)
    assert press(lumiseek, "Down ctrl+j", "Cannot Open missing.bas")[-2:] == [
        "Using Lumiseek Test Viewer to Open missing.bas", "Cannot Open missing.bas"]
    press(lumiseek, "ctrl+k", "Opening " + folder)

    # Ctrl+9 selects the folder row below in the list, which then reads it.
    assert press(lumiseek, "ctrl+9", "sub") == ["Folder Found", "sub"]
    press(lumiseek, "ctrl+d", "sub is not a file")  # asked of the real file system

    # Ctrl+S searches the folder holding the row, F5 the one above; the box keeps its text.
    box = lumiseek.control_text(500)
    press(lumiseek, "ctrl+s", "Search is complete : 5 Matches : report.bas")
    press(lumiseek, "F5", "Search is complete : 5 Matches : report.bas")
    terms = [call.rpartition("results.txt ")[2] for call in lumiseek.es_calls()]
    assert terms == [folder, harness.winpath(lumiseek.dir).lower() + "\\"]
    assert lumiseek.control_text(500) == box == "budget"  # the Tab that left the box added nothing
    mark = lumiseek.mark()
    click_name_header(lumiseek, lumiseek.screenshot("expanded"), below=60, clicks=2)  # on row 1
    lumiseek.wait_spoken("Using Lumiseek Test Viewer to Open report.bas", mark)


def test_everything_magnor_and_the_settings_list(lumiseek, viewer, wine_env):
    shutil.copy2(harness.built(RECORDER), lumiseek.dir / "magnor.exe")
    lumiseek.start(settings=harness.settings_file(dict(SETTINGS, UseMagnor="1", UseHover="2")))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)

    assert press(lumiseek, "F3", "Everything Not Found") == ["Everything Not Found"]
    everything = wine_env.prefix / "drive_c" / "Program Files" / "Everything" / "Everything.exe"
    everything.parent.mkdir(parents=True)
    try:
        shutil.copy2(harness.built(RECORDER), everything)
        assert press(lumiseek, "F3", "Opening Everything") == ["Opening Everything"]
        recorded(everything, "", "C:\\Program Files\\Everything\\Everything.exe")
    finally:
        shutil.rmtree(everything.parent)

    lumiseek.key("ctrl+F1")
    recorded(lumiseek.dir / "magnor.exe", " 96 1 0 1 1 0 0 0 0 0 2 0 0 0 0 0 1 0 0")
    recorded(viewer, '"https://lumiseek.org/help"')

    # F1 shows the settings list: its rows are neither opened nor double-clicked as files.
    lumiseek.press("Opening Settings List1 Hide Toolbar Text - Ctrl+B  - OFF", "F1")
    press(lumiseek, "ctrl+j", "Not Available in Help Mode")
    mark = lumiseek.mark()
    click_name_header(lumiseek, lumiseek.screenshot("settings-list"), below=60, clicks=2)
    lumiseek.wait_spoken("Not available when Shortcuts are displayed", mark)
