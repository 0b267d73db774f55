"""A search from end to end: lumiseek.exe under Wine runs the es recorder, reads the prepared
results.txt into its list, speaks the outcome, and remembers the results and the selected row for
the next start.

The program starts es.exe itself, with the quoted path of es.exe, one blank and the argument
string as its command line; the recorder keeps that command line whole, so what es receives is
compared exactly, leading blanks included."""
import re
import subprocess

import harness

# Default settings except two: the toolbar is hidden, so that the list's header sits at a fixed
# place below the search box, and shortcuts are not announced, so that no "Shortcut Pressed"
# prefix joins the messages looked for.
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
    """The argument string of a file search with the default settings, piece by piece."""
    folders = " !c:\\windows\\ !c:\\$recycle.bin\\ "      # ExcludeSystemFolders 1, no exclusion.txt
    return (folders + " -size -size-format 2 -dm /a-d " + " -sort dm " + " -n" + " 100" +
            " -export-csv results.txt " + term)


def wait_spoken(run, text, after, timeout=20):
    """Waits for a Speak call with exactly this text after voice line `after`; returns its flags."""
    lines = run.wait_voice(lambda new: any(line.partition("\t")[2] == text for line in new), after, timeout)
    return next(int(line.partition("\t")[0]) for line in lines if line.partition("\t")[2] == text)


def spoken_since(run, after):
    """(flags, text) of the Speak calls from voice line `after` on."""
    calls = []
    for line in run.voice_lines()[after:]:
        head, _, text = line.partition("\t")
        if head.isdigit():
            calls.append((int(head), text))
    return calls


def texts_since(run, after):
    return [text for _, text in spoken_since(run, after)]


def column_of_pixels(png, x):
    """The colours ("#RRGGBB") of the pixel column x of an image, from the top."""
    out = subprocess.run(["convert", str(png), "-alpha", "off", "-crop", "1x100000+%d+0" % x, "+repage",
                          "-depth", "8", "txt:-"], stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode()
    return re.findall(r"#[0-9A-F]{6}", out.upper())


def client_top(run, png):
    """Screen y of the client area's top: the search box (BG colour) starts there when no toolbar
    is shown. Found in the screenshot, since Wine draws the caption itself."""
    geometry = run.session.x("xdotool", "getwindowgeometry", "--shell", run.window)
    values = dict(line.split("=") for line in geometry.split())
    x, y = int(values["X"]), int(values["Y"])
    column = column_of_pixels(png, x + 40)
    top = next(i for i in range(y, len(column)) if column[i] == BG)
    return x, top


def click_name_header(run, png):
    """Clicks the Name header: the list starts 2.7 x FontSize + 5 pixels below the client top
    (FontSize 36: 102), its header row right there."""
    x, top = client_top(run, png)
    run.session.x("xdotool", "mousemove", x + 10 + 120, top + 102 + 20, "click", "1")


def start_and_type(lumiseek, term="budget", settings=SETTINGS, rows=ROWS, **es):
    lumiseek.start(settings=harness.settings_file(settings), es="recorder", results=results_text(rows), **es)
    # Start-up ends with the search box focused and its text selected; typing replaces it.
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new))
    lumiseek.type(term)
    return lumiseek.mark()


def start_and_search(lumiseek, **options):
    mark = start_and_type(lumiseek, **options)
    lumiseek.key("ctrl+f")
    return mark


def test_file_search_sends_arguments_speaks_and_shows_rows(lumiseek):
    start_and_type(lumiseek)
    empty_list = lumiseek.screenshot("before-search")
    mark = lumiseek.mark()
    lumiseek.key("ctrl+f")
    arguments = file_search_arguments("budget")
    complete = "Search is complete : 4 Matches : " + NAMES[0]
    assert wait_spoken(lumiseek, complete, mark) == 3

    assert lumiseek.es_calls() == [arguments]
    spoken = spoken_since(lumiseek, mark)
    assert (2, "File Search for budget") in spoken
    texts = [text for _, text in spoken]
    assert texts.index("File Search for budget") < texts.index(complete)
    assert lumiseek.clipboard() == arguments
    title = lumiseek.title()
    timing = re.fullmatch(r"Lumiseek 4\.2    (\d*\.\d) sec : (\d*\.\d) sec   \.\.\. (.*)", title)
    assert timing, title
    assert timing.group(3) == arguments
    assert float(timing.group(1)) <= float(timing.group(2))

    # Four rows of large yellow text where there was one "<empty>" row.
    shown = lumiseek.screenshot("search-results")
    assert harness.colour_share(shown, FG) > 2 * harness.colour_share(empty_list, FG)

    mark = lumiseek.mark()
    lumiseek.key("Down")
    wait_spoken(lumiseek, NAMES[1], mark)

    # The first sort after start-up is descending: z to a, and row 1 is selected and spoken.
    mark = lumiseek.mark()
    click_name_header(lumiseek, shown)
    wait_spoken(lumiseek, "zz budget folder", mark)
    lumiseek.screenshot("sorted-z-to-a")
    mark = lumiseek.mark()
    lumiseek.key("Down")
    wait_spoken(lumiseek, "budget-march.xls", mark)


def test_enter_in_the_search_box_runs_a_file_search(lumiseek):
    # The last search was a folder search; Enter runs a file search all the same.
    settings = dict(SETTINGS, SearchType="2", LastSearchType="2")
    mark = start_and_type(lumiseek, term="cat|dog", settings=settings)
    lumiseek.key("Return")
    wait_spoken(lumiseek, "Search is complete : 4 Matches : " + NAMES[0], mark)
    assert "File Search for cat|dog" in texts_since(lumiseek, mark)
    arguments = file_search_arguments("cat|dog")
    assert lumiseek.es_calls() == [arguments]
    assert lumiseek.clipboard() == arguments


def test_invalid_term_is_refused_before_es_runs(lumiseek):
    # The term starts in the box from the settings file, whatever the box lets the keyboard type.
    settings = dict(SETTINGS, SearchTerm="a#b")
    lumiseek.start(settings=harness.settings_file(settings), es="recorder", results=results_text(ROWS))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new))
    title = lumiseek.title()
    mark = lumiseek.mark()
    lumiseek.key("ctrl+f")
    # The refusal is the search's last step: nothing can come after it.
    wait_spoken(lumiseek, "Invalid Search Term", mark)
    assert not (lumiseek.dir / "es-args.txt").exists()
    assert not any(text.startswith(("File Search", "Search is complete")) for text in texts_since(lumiseek, mark))
    assert lumiseek.title() == title


def test_failed_engine_run_is_reported(lumiseek):
    mark = start_and_search(lumiseek, exit_code=8)
    wait_spoken(lumiseek, "Search Failed : Everything is not running", mark)
    assert not any(text.startswith("Search is complete") for text in texts_since(lumiseek, mark))
    assert lumiseek.es_calls() == [file_search_arguments("budget")]
    # The recorder wrote results.txt before it failed: its rows are shown all the same.
    assert "Results List has focus. " + NAMES[0] in texts_since(lumiseek, mark)


def test_next_start_shows_last_results_and_selected_row(lumiseek):
    rows = [("%d" % (n * 100), "05/17/2023 10:22", "C:\\Data\\budget %02d.xls" % n) for n in range(60)]
    mark = start_and_search(lumiseek, rows=rows)
    wait_spoken(lumiseek, "Search is complete : 60 Matches : budget 00.xls", mark)
    # The last row, then five up: the top row stays where End put it.
    mark = lumiseek.mark()
    lumiseek.key("End")
    wait_spoken(lumiseek, "budget 59.xls", mark)
    mark = lumiseek.mark()
    lumiseek.key("Up", "Up", "Up", "Up", "Up")
    wait_spoken(lumiseek, "budget 54.xls", mark)
    assert lumiseek.close() == 0
    first = lumiseek.settings_text()
    last_row = re.search(r"^LastRow=(.*)$", first, re.M).group(1).strip()
    top_row = int(re.search(r"^TopRow=(.*)$", first, re.M).group(1))
    assert last_row == "55"
    assert 0 < top_row < 54

    # The next start reads the same results.txt without running es, and selects row 55 again.
    mark = lumiseek.mark()
    lumiseek.start()
    wait_spoken(lumiseek, "budget 54.xls", mark)
    lumiseek.screenshot("restored")
    assert len(lumiseek.es_calls()) == 1
    assert lumiseek.close() == 0
    second = lumiseek.settings_text()
    assert re.search(r"^LastRow=(.*)$", second, re.M).group(1).strip() == "55"
    assert int(re.search(r"^TopRow=(.*)$", second, re.M).group(1)) == top_row


def test_arguments_reach_es_as_written_and_failures_keep_the_list(lumiseek):
    # A results.txt from an earlier run, row 2 selected at the last exit; an exclusion.txt saved
    # with LF line ends, a line holding a blank, a line holding "&" and a blank line at the end.
    (lumiseek.dir / "results.txt").write_text(results_text(ROWS), encoding="utf-8", newline="")
    (lumiseek.dir / "exclusion.txt").write_bytes(b"c:\\program files\\\nc:\\r&d\\\n\n")
    # The box refuses ">" and "&" from the keyboard; the term comes from the settings file. After
    # each search the box has the focus and its text selected, so typing replaces the term.
    settings = dict(SETTINGS, SearchTerm="a>x.txt&echo", LastRow="2", FocusOnRE="1")
    lumiseek.start(settings=harness.settings_file(settings), es="recorder")
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new))

    # A custom search that writes no results: es gets the text as it stands, no command
    # interpreter acts on it, and the list keeps its rows and its selected row.
    mark = lumiseek.mark()
    lumiseek.key("ctrl+i")
    wait_spoken(lumiseek, "Search Failed : no results were written", mark)
    assert "Custom Searcha>x.txt&echo" in texts_since(lumiseek, mark)
    assert not any(text.startswith("Search is complete") for text in texts_since(lumiseek, mark))
    es = harness.winpath(lumiseek.dir / "es.exe")
    assert [line.lower() for line in lumiseek.es_command_lines()] == [('"%s" a>x.txt&echo' % es).lower()]
    assert not (lumiseek.dir / "x.txt").exists()
    assert lumiseek.clipboard() == "a>x.txt&echo"
    assert lumiseek.title().endswith(" ... a>x.txt&echo")
    texts = lumiseek.window_texts(503)
    assert texts["503"].startswith("     2  " + NAMES[1] + "  "), texts
    lumiseek.screenshot("kept-after-no-results")

    # A file search for %PATH% with es writing results: the exclusions arrive one per line, the
    # one with a blank quoted, and %path% is not expanded.
    (lumiseek.dir / "es-results.txt").write_text(results_text(ROWS), encoding="utf-8", newline="")
    lumiseek.type("%PATH%")
    mark = lumiseek.mark()
    lumiseek.key("ctrl+f")
    wait_spoken(lumiseek, "Search is complete : 4 Matches : " + NAMES[0], mark)
    arguments = (' !"c:\\program files\\" !c:\\r&d\\' + " -size -size-format 2 -dm /a-d " + " -sort dm " +
                 " -n 100" + " -export-csv results.txt " + "%path%")
    assert lumiseek.es_calls()[1:] == [arguments]

    # Without es.exe the search says so and runs nothing.
    (lumiseek.dir / "es.exe").unlink()
    mark = lumiseek.mark()
    lumiseek.key("ctrl+f")
    wait_spoken(lumiseek, "Search Failed : the es program was not found", mark)
    assert len(lumiseek.es_calls()) == 2
