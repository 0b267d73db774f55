"""A search from end to end: lumiseek.exe under Wine runs the es recorder (which keeps its command
line whole, so what es receives is compared exactly), reads the prepared results.txt into its list,
speaks the outcome, and remembers the results and the selected row for the next start."""
import re
import subprocess

import harness

# The toolbar hidden, so that the list's header sits at a fixed place below the search box, and
# shortcuts not announced, so that no "Shortcut Pressed" prefix joins the messages looked for.
SETTINGS = {"ShowToolbar": "0", "SpeakShortcuts": "0"}

# size, date, path; the names are out of order so that a sort shows.
ROWS = [
    ("1234567", "05/17/2023 10:22", r"C:\Data\Budget-March.xls"),
    ("2500", "12/31/2022 09:05", r"C:\Data\Old, kept\budget-2022.xls"),
    ("", "01/02/2024 08:00", r"C:\Data\Zz Budget folder"),
    ("0", "03/04/2021 11:11", r"C:\Users\ann\Budget notes.txt"),
]
NAMES = ["budget-march.xls", "budget-2022.xls", "zz budget folder", "budget notes.txt"]

BG = "#0000FF"      # BG 16711680 (Windows colour order: blue)
FG = "#FFFF00"      # FG 65535 (yellow)


def results_text(rows):
    return "Size,Date Modified,Filename\r\n" + "".join('%s,%s,"%s"\r\n' % row for row in rows)


def file_search_arguments(term):
    """The argument string of a file search with the default settings and no exclusion.txt."""
    return (" !c:\\windows\\ !c:\\$recycle.bin\\  -size -size-format 2 -dm /a-d  -sort dm  -n 100"
            " -export-csv results.txt " + term)


def wait_spoken(run, text, after, timeout=20):
    """Waits for a Speak call with exactly this text after voice line `after`."""
    run.wait_voice(lambda new: any(line.partition("\t")[2] == text for line in new), after, timeout)


def texts_since(run, after):
    """The texts of the Speak calls after voice line `after`."""
    return [line.partition("\t")[2] for line in run.voice_lines()[after:] if line.partition("\t")[0].isdigit()]


def press(run, text, *keys):
    """Presses the keys and waits for the row or message they bring."""
    mark = run.mark()
    run.key(*keys)
    wait_spoken(run, text, mark)


def click_name_header(run, png, below=0, clicks=1):
    """Clicks the Name header (or `below` pixels lower, `clicks` times). Wine draws the caption itself,
    so the client area's top is found in the screenshot: the search box (BG colour) starts there when
    no toolbar is shown, and the list's header row 2.7 x FontSize + 5 pixels (FontSize 36: 102) below it."""
    shell = run.session.x("xdotool", "getwindowgeometry", "--shell", run.window)
    geometry = dict(line.split("=") for line in shell.split())
    x, y = int(geometry["X"]), int(geometry["Y"])
    out = subprocess.run(["convert", str(png), "-alpha", "off", "-crop", "1x100000+%d+0" % (x + 40), "+repage",
                          "-depth", "8", "txt:-"], stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode()
    column = re.findall(r"#[0-9A-F]{6}", out.upper())
    top = next(i for i in range(y, len(column)) if column[i] == BG)
    run.session.x("xdotool", "mousemove", x + 10 + 120, top + 102 + 20 + below, "click", "--repeat", clicks, "1")


def start_and_type(lumiseek, term="budget", settings=SETTINGS, rows=ROWS, **es):
    lumiseek.start(settings=harness.settings_file(settings), es="recorder", results=results_text(rows), **es)
    # Start-up ends with the search box focused and its text selected; typing replaces it.
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new))
    lumiseek.type(term)
    return lumiseek.mark()


def test_file_search_sends_arguments_speaks_and_shows_rows(lumiseek):
    start_and_type(lumiseek)
    empty_list = lumiseek.screenshot("before-search")
    mark = lumiseek.mark()
    lumiseek.key("ctrl+f")
    arguments = file_search_arguments("budget")
    complete = "Search is complete : 4 Matches : " + NAMES[0]
    wait_spoken(lumiseek, complete, mark)
    assert lumiseek.es_calls() == [arguments]
    new = lumiseek.voice_lines()[mark:]
    assert new.index("2\tFile Search for budget") < new.index("3\t" + complete)
    assert lumiseek.clipboard() == arguments
    timing = re.fullmatch(r"Lumiseek 4\.2    (\d*\.\d) sec : (\d*\.\d) sec   \.\.\. (.*)", lumiseek.title())
    assert timing and timing.group(3) == arguments and float(timing.group(1)) <= float(timing.group(2)), timing

    # Four rows of large yellow text where there was one "<empty>" row.
    shown = lumiseek.screenshot("search-results")
    assert harness.colour_share(shown, FG) > 2 * harness.colour_share(empty_list, FG)

    press(lumiseek, NAMES[1], "Down")

    # The first sort after start-up is descending: z to a, and row 1 is selected and spoken.
    mark = lumiseek.mark()
    click_name_header(lumiseek, shown)
    wait_spoken(lumiseek, "zz budget folder", mark)
    lumiseek.screenshot("sorted-z-to-a")
    press(lumiseek, "budget-march.xls", "Down")


def test_enter_in_the_search_box_runs_a_file_search(lumiseek):
    # The last search was a folder search; Enter runs a file search all the same.
    settings = dict(SETTINGS, SearchType="2", LastSearchType="2")
    mark = start_and_type(lumiseek, term="cat|dog", settings=settings)
    lumiseek.key("Return")
    wait_spoken(lumiseek, "Search is complete : 4 Matches : " + NAMES[0], mark)
    assert "2\tFile Search for cat|dog" in lumiseek.voice_lines()[mark:]
    assert lumiseek.es_calls() == [file_search_arguments("cat|dog")]


def test_failed_engine_run_is_reported(lumiseek):
    mark = start_and_type(lumiseek, exit_code=8)
    lumiseek.key("ctrl+f")
    wait_spoken(lumiseek, "Search Failed : Everything is not running", mark)
    assert lumiseek.es_calls() == [file_search_arguments("budget")]
    # The recorder wrote results.txt before it failed: its rows are shown all the same.
    assert "3\tResults List has focus. " + NAMES[0] in lumiseek.voice_lines()[mark:]


def test_next_start_shows_last_results_and_selected_row(lumiseek):
    rows = [("%d" % (n * 100), "05/17/2023 10:22", "C:\\Data\\budget %02d.xls" % n) for n in range(60)]
    start_and_type(lumiseek, rows=rows)
    press(lumiseek, "Search is complete : 60 Matches : budget 00.xls", "ctrl+f")
    # The last row, then five up: the top row stays where End put it.
    press(lumiseek, "budget 59.xls", "End")
    press(lumiseek, "budget 54.xls", "Up", "Up", "Up", "Up", "Up")
    assert lumiseek.close() == 0
    saved = lambda key: re.search(r"^%s=(.*)$" % key, lumiseek.settings_text(), re.M).group(1).strip()
    top_row = saved("TopRow")
    assert saved("LastRow") == "55" and 0 < int(top_row) < 54

    # The next start reads the same results.txt without running es, and selects row 55 again.
    mark = lumiseek.mark()
    lumiseek.start()
    wait_spoken(lumiseek, "budget 54.xls", mark)
    assert len(lumiseek.es_calls()) == 1
    assert lumiseek.close() == 0
    assert (saved("LastRow"), saved("TopRow")) == ("55", top_row)


def test_arguments_reach_es_as_written_and_failures_keep_the_list(lumiseek):
    # Results from an earlier run with row 2 selected; an exclusion.txt with LF line ends, a blank
    # line, a line holding a blank and one holding "&". The term (which the box would refuse from
    # the keyboard) comes from the settings file; after each search the box has the focus.
    (lumiseek.dir / "results.txt").write_text(results_text(ROWS), encoding="utf-8", newline="")
    (lumiseek.dir / "exclusion.txt").write_bytes(b"c:\\program files\\\nc:\\r&d\\\n\n")
    settings = dict(SETTINGS, SearchTerm="a>x.txt&echo", LastRow="2", FocusOnRE="1")
    lumiseek.start(settings=harness.settings_file(settings), es="recorder")
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new))

    # A custom search that writes no results: es gets the text as it stands, no command interpreter
    # acts on it, and the list keeps its rows and its selected row.
    mark = lumiseek.mark()
    lumiseek.key("ctrl+i")
    wait_spoken(lumiseek, "Search Failed : no results were written", mark)
    assert "Custom Searcha>x.txt&echo" in texts_since(lumiseek, mark)
    es = harness.winpath(lumiseek.dir / "es.exe")
    assert [line.lower() for line in lumiseek.es_command_lines()] == [('"%s" a>x.txt&echo' % es).lower()]
    assert not (lumiseek.dir / "x.txt").exists()
    assert lumiseek.clipboard() == "a>x.txt&echo"
    assert lumiseek.control_text(503).startswith("     2  " + NAMES[1] + "  ")

    # A file search for %PATH%: one exclusion per line, the one with a blank quoted, %path% as it is.
    (lumiseek.dir / "es-results.txt").write_text(results_text(ROWS), encoding="utf-8", newline="")
    lumiseek.type("%PATH%")
    press(lumiseek, "Search is complete : 4 Matches : " + NAMES[0], "ctrl+f")
    assert lumiseek.es_calls()[1:] == [file_search_arguments("%path%").replace(
        " !c:\\windows\\ !c:\\$recycle.bin\\ ", ' !"c:\\program files\\" !c:\\r&d\\')]

    # Without es.exe the search says so and runs nothing.
    (lumiseek.dir / "es.exe").unlink()
    press(lumiseek, "Search Failed : the es program was not found", "ctrl+f")
    assert len(lumiseek.es_calls()) == 2
