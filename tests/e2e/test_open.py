"""Acting on the selected result from end to end: the shell opens files and folders with a recorder
registered in the prefix (which names itself "Lumiseek Test Viewer"), expanding searches es for the
folder, jump and location speak, and Everything's window and the Magnor viewer are started."""
import shutil

import pytest

import harness
from test_search import click_name_header, texts_since, wait_spoken

SETTINGS = {"ShowToolbar": "0", "SpeakShortcuts": "0"}
VIEWER = "Lumiseek Test Viewer"


@pytest.fixture
def viewer(wine_env, tmp_path):
    """The recorder as the program that opens .bas files, folders and web addresses; its log."""
    program = tmp_path / "tools" / "viewer.exe"
    program.parent.mkdir()
    shutil.copy2(harness.built("esrecorder/open_recorder.exe"), program)
    restore = wine_env.shell_opens_with(program, [".bas", "Folder", "https"], tmp_path / "tools")
    yield program.with_suffix(".log")
    restore()


def recorded(log, line, timeout=15):
    harness.poll(lambda: log.exists() and line in log.read_text(encoding="utf-8").splitlines(), timeout,
                 what="%s in %s" % (line, log.name))


def press(run, keys, *texts):
    """Presses the keys; waits for the last text and returns everything spoken meanwhile."""
    mark = run.mark()
    run.key(*keys.split())
    wait_spoken(run, texts[-1], mark)
    return texts_since(run, mark)


def test_open_expand_jump_and_location(lumiseek, viewer):
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

    assert press(lumiseek, "ctrl+j", "Using %s to Open report.bas" % VIEWER) == ["Using %s to Open report.bas" % VIEWER]
    recorded(viewer, '"%s" "%sreport.bas"' % (harness.winpath(viewer.with_suffix(".exe")), folder))
    press(lumiseek, "Down ctrl+j", "archive.tar.gz", "Cannot Open File. Opening Parent Folder.")
    recorded(viewer, '"%s" "%s"' % (harness.winpath(viewer.with_suffix(".exe")), folder))
    assert press(lumiseek, "Down ctrl+j", "Cannot Open missing.bas")[-2:] == [
        "Using %s to Open missing.bas" % VIEWER, "Cannot Open missing.bas"]
    press(lumiseek, "ctrl+k", "Opening " + folder)

    # Ctrl+9 goes down to the folder row, and from there finds none: row 5 is a file.
    assert press(lumiseek, "ctrl+9", "sub") == ["Folder Found", "sub"]
    press(lumiseek, "ctrl+9", "Folder Not Found in List")
    press(lumiseek, "ctrl+0", "Line 4 of  5 : Folder : sub")
    assert press(lumiseek, "F9 ctrl+0 F9", "Speech is Enabled") == ["Speech is Disabled", "Speech is Enabled"]

    # Ctrl+S searches the folder holding the row, F5 the one above it; the box keeps its text.
    box = lumiseek.control_text(500)
    assert box.startswith("budget")
    press(lumiseek, "ctrl+s", "Search is complete : 5 Matches : report.bas")
    press(lumiseek, "F5", "Search is complete : 5 Matches : report.bas")
    terms = [call.rpartition("results.txt ")[2] for call in lumiseek.es_calls()]
    assert terms == [folder, harness.winpath(lumiseek.dir).lower() + "\\"]
    assert lumiseek.control_text(500) == box


def test_everything_magnor_and_the_settings_list(lumiseek, viewer, wine_env):
    shutil.copy2(harness.built("esrecorder/open_recorder.exe"), lumiseek.dir / "magnor.exe")
    lumiseek.start(settings=harness.settings_file(dict(SETTINGS, UseMagnor="1", UseHover="2")))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)

    assert press(lumiseek, "F3", "Everything Not Found") == ["Everything Not Found"]
    everything = wine_env.prefix / "drive_c" / "Program Files" / "Everything" / "Everything.exe"
    everything.parent.mkdir(parents=True)
    try:
        shutil.copy2(harness.built("esrecorder/open_recorder.exe"), everything)
        press(lumiseek, "F3", "Opening Everything")
        recorded(everything.with_suffix(".log"), '"C:\\Program Files\\Everything\\Everything.exe"')
    finally:
        shutil.rmtree(everything.parent)

    lumiseek.key("ctrl+F1")
    recorded(lumiseek.dir / "magnor.log",
             '"%s"  96 1 0 1 1 0 0 0 0 0 2 0 0 0 0 0 1 0 0' % harness.winpath(lumiseek.dir / "magnor.exe"))
    recorded(viewer, '"%s" "https://lumiseek.org/help"' % harness.winpath(viewer.with_suffix(".exe")))

    # F1 shows the settings list: a file is neither opened nor double-clicked from it.
    lumiseek.key("F1")
    press(lumiseek, "ctrl+j", "Opening Settings ListNot Available in Help Mode")
    mark = lumiseek.mark()
    click_name_header(lumiseek, lumiseek.screenshot("settings-list"), below=60, clicks=2)
    wait_spoken(lumiseek, "Not available when Shortcuts are displayed", mark)
