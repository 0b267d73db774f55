"""Acting on the selected result under Wine: the shell opens .bas and .md files (never a .vbs script),
folders and web addresses with a recorder ("Lumiseek Test Viewer"); es receives the expanded folders; Copy File offers X a file
list; Everything and Magnor are recorders too."""
import os
import shutil
from urllib.parse import unquote, urlparse

import pytest

import harness

RECORDER = "esrecorder/open_recorder.exe"


@pytest.fixture
def viewer(wine_env, tmp_path):
    program = tmp_path / "tools" / "viewer.exe"
    restore = wine_env.shell_opens_with(program, [".bas", ".md", ".vbs", "Folder", "https"], program.parent)  # makes the folder
    shutil.copy2(harness.built(RECORDER), program)
    yield program
    restore()


def recorded(program, arguments, path=None):
    """Waits for the recorder at `program` to log its quoted path (or `path`) and the arguments."""
    log, line = program.with_suffix(".log"), ('"%s" %s' % (path or harness.winpath(program), arguments)).rstrip()
    harness.poll(lambda: log.exists() and line in log.read_text(encoding="utf-8").splitlines(), 15, what=line)


def test_open_copy_expand_and_jump(lumiseek, viewer):
    notes = lumiseek.dir / "notes"
    (notes / "sub").mkdir(parents=True)
    for name in ("report.bas", "archive.tar.gz", "notes.md", "run.vbs"):
        (notes / name).write_text("x")
    # A folder path of about 300 characters, and one as long that is gone.
    deep = notes / ("a long folder name " * 8).strip() / ("and a second one, also long " * 6).strip()
    deep.mkdir(parents=True)
    (deep / "inside.bas").write_text("x")
    rows = [(size, "05/17/2023 10:22", harness.winpath(notes / name)) for size, name in
            [("1", "report.bas"), ("2", "archive.tar.gz"), ("3", "missing.bas"), ("", "sub"), ("4", "zeta.bas"),
             ("7", "notes.md"), ("8", "run.vbs"), ("5", deep / "inside.bas"), ("6", deep.parent / "gone" / deep.name / "x.bas")]]
    lumiseek.start(settings=harness.QUIET, es="recorder", results=rows, last_results=rows).wait_started()
    lumiseek.type("budget")
    folder = harness.winpath(notes).lower() + "\\"
    lumiseek.press("Results List has focus. report.bas", "Tab")
    lumiseek.press("Copying File %sreport.bas" % folder, "ctrl+d")
    uris = lumiseek.session.x("xclip", "-o", "-selection", "clipboard", "-t", "text/uri-list").split()
    assert len(uris) == 1 and os.path.samefile(unquote(urlparse(uris[0]).path), notes / "report.bas"), uris

    opening = "Using Lumiseek Test Viewer to Open report.bas"
    assert lumiseek.heard(opening, "ctrl+j") == [opening]
    recorded(viewer, '"%sreport.bas"' % folder)
    lumiseek.press("Cannot Open File. Opening Parent Folder.", "Down", "Return")  # Enter on the list opens too
    recorded(viewer, '"%s"' % folder)
    assert lumiseek.heard("Cannot Open missing.bas", "Down", "ctrl+j")[-2:] == [
        "Using Lumiseek Test Viewer to Open missing.bas", "Cannot Open missing.bas"]
    lumiseek.press("Opening " + folder, "ctrl+k")

    # Ctrl+9 selects the folder row below in the list, which then reads it.
    assert lumiseek.heard("sub", "ctrl+9") == ["Folder Found", "sub"]
    lumiseek.press("sub is not a file", "ctrl+d")  # asked of the real file system

    # Ctrl+S searches the folder holding the row, F5 the one above; the box keeps its text.
    lumiseek.press("Search is complete : 9 Matches : report.bas", "ctrl+s")
    lumiseek.press("Search is complete : 9 Matches : report.bas", "F5")
    terms = [call.rpartition("results.txt ")[2] for call in lumiseek.es_calls()]
    assert terms == [folder, harness.winpath(lumiseek.dir).lower() + "\\"]
    assert lumiseek.control_text(500) == "budget"  # the Tab that left the box added nothing
    lumiseek.act(lambda: harness.click_name_header(lumiseek, "expanded", below=60, clicks=2), opening)  # row 1

    # Ctrl+K on a folder past MAX_PATH opens it (the opener gets a form it can use); one that is gone
    # is refused aloud rather than left unsaid.
    long_folder = harness.winpath(deep).lower() + "\\"
    assert len(long_folder) > 300
    log = viewer.with_suffix(".log")
    opened = len(log.read_text(encoding="utf-8").splitlines())
    lumiseek.press("inside.bas", "End", "Up")
    lumiseek.press("Opening " + long_folder, "ctrl+k")
    line = harness.poll(lambda: [l for l in log.read_text(encoding="utf-8").splitlines()[opened:]
                                 if not l.endswith('report.bas"')], 15, what="the opener")[0]
    target = line.split('" ', 1)[1].strip('"')
    unix = lumiseek.session.run(["winepath", "-u", target]).stdout.strip().splitlines()[-1]
    assert os.path.samefile(unix, deep), (line, unix)
    gone = harness.winpath(deep.parent / "gone" / deep.name).lower() + "\\"
    assert lumiseek.heard("Cannot Open " + gone, "Down", "ctrl+k")[-1] == "Cannot Open " + gone

    # Outside the document lists: a type with an opener opens with it, a script only shows its folder.
    lumiseek.press("Cannot Open File. Opening Parent Folder.", "Up", "Up", "Return")
    lumiseek.press("Using Lumiseek Test Viewer to Open notes.md", "Up", "Return")
    recorded(viewer, '"%snotes.md"' % folder)
    assert "run.vbs" not in log.read_text(encoding="utf-8")


def test_everything_magnor_and_help(lumiseek, viewer, wine_env):
    shutil.copy2(harness.built(RECORDER), lumiseek.dir / "magnor.exe")
    lumiseek.start(settings=dict(harness.QUIET, UseMagnor="1", UseHover="2")).wait_started()
    assert lumiseek.heard("Everything Not Found", "F3") == ["Everything Not Found"]
    everything = wine_env.prefix / "drive_c" / "Program Files" / "Everything" / "Everything.exe"
    everything.parent.mkdir(parents=True)
    try:
        shutil.copy2(harness.built(RECORDER), everything)
        assert lumiseek.heard("Opening Everything", "F3") == ["Opening Everything"]
        recorded(everything, "", "C:\\Program Files\\Everything\\Everything.exe")
    finally:
        shutil.rmtree(everything.parent)

    lumiseek.key("ctrl+F1")
    recorded(lumiseek.dir / "magnor.exe", " 96 1 0 1 1 0 0 0 0 0 2 0 0 0 0 0 1 0 0")
    recorded(viewer, '"https://lumiseek.org/help"')
