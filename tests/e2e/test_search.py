"""A search from end to end: lumiseek.exe under Wine runs the es recorder (which keeps its command
line whole, so what es receives is compared exactly), reads the prepared results.txt into its list,
speaks the outcome, and remembers the results and the selected row for the next start."""
import re

import harness

ROWS = [
    ("1234567", "05/17/2023 10:22", r"C:\Data\Budget-March.xls"),
    ("2500", "12/31/2022 09:05", r"C:\Data\Old, kept\budget-2022.xls"),
    ("", "01/02/2024 08:00", r"C:\Data\Zz Budget folder"),
    ("0", "03/04/2021 11:11", r"C:\Users\ann\Budget notes.txt"),
]


def file_search_arguments(term):
    """The argument string of a file search with the default settings and no exclusion.txt."""
    return (" !c:\\windows\\ !c:\\$recycle.bin\\  -size -size-format 2 -dm /a-d  -sort dm  -n 100"
            " -export-csv results.txt " + term)


def test_a_search_speaks_shows_its_rows_and_the_next_start_selects_the_same_row(lumiseek):
    rows = [("%d" % (n * 100), "05/17/2023 10:22", "C:\\Data\\budget %02d.xls" % n) for n in range(60)]
    # The last search was a folder search; Enter in the box runs a file search all the same.
    lumiseek.start(settings=dict(harness.QUIET, SearchType="2", LastSearchType="2"), es="recorder", results=rows)
    lumiseek.wait_started()
    lumiseek.type("cat|dog")  # start-up selects the box's text: typing replaces it
    empty_list = lumiseek.screenshot("before-search")
    lumiseek.press("Search is complete : 60 Matches : budget 00.xls", "Return")
    arguments = file_search_arguments("cat|dog")
    assert lumiseek.es_calls() == [arguments]
    assert lumiseek.clipboard() == arguments
    timing = re.fullmatch(r"Lumiseek 4\.2    (\d*\.\d) sec : (\d*\.\d) sec   \.\.\. (.*)", lumiseek.title())
    assert timing and timing.group(3) == arguments and float(timing.group(1)) <= float(timing.group(2)), timing
    # Rows of large yellow text where there was one "<empty>" row.
    before = harness.colour_share(empty_list, "#FFFF00")
    lumiseek.screenshot_until("search-results", lambda png: harness.colour_share(png, "#FFFF00") > 2 * before,
                              "the rows drawn")

    # The last row, then five up: the top row stays where End put it.
    lumiseek.press("budget 59.xls", "End")
    lumiseek.press("budget 54.xls", "Up", "Up", "Up", "Up", "Up")
    assert lumiseek.close() == 0
    saved = lambda key: re.search(r"^%s=(.*)$" % key, lumiseek.settings_text(), re.M).group(1).strip()
    top_row = saved("TopRow")
    assert saved("LastRow") == "55" and 0 < int(top_row) < 54

    # The next start reads the same results.txt without running es, and selects row 55 again.
    mark = lumiseek.mark()
    lumiseek.start()
    lumiseek.wait_spoken("budget 54.xls", mark)
    assert len(lumiseek.es_calls()) == 1
    assert lumiseek.close() == 0
    assert (saved("LastRow"), saved("TopRow")) == ("55", top_row)


def test_arguments_reach_es_as_written_and_failures_keep_the_list(lumiseek):
    # Results from an earlier run with row 2 selected; an exclusion.txt with LF line ends, a blank
    # line, a line holding a blank and one holding "&". The term (which the box would refuse from
    # the keyboard) comes from the settings file.
    (lumiseek.dir / "exclusion.txt").write_bytes(b"c:\\program files\\\nc:\\r&d\\\n\n")
    lumiseek.start(settings=dict(harness.QUIET, SearchTerm="a>x.txt&echo", LastRow="2", FocusOnRE="1"),
                   es="recorder", last_results=ROWS).wait_started()

    # A custom search that writes no results: es gets the text as it stands, no command interpreter
    # acts on it, and the list keeps its rows and its selected row.
    assert "Custom Searcha>x.txt&echo" in lumiseek.heard("Search Failed : no results were written", "ctrl+i")
    es = harness.winpath(lumiseek.dir / "es.exe")
    assert [line.lower() for line in lumiseek.es_command_lines()] == [('"%s" a>x.txt&echo' % es).lower()]
    assert not (lumiseek.dir / "x.txt").exists()
    assert lumiseek.clipboard() == "a>x.txt&echo"
    assert lumiseek.control_text(503).startswith("     2  budget-2022.xls  ")

    # A file search for %PATH%: one exclusion per line, the one with a blank quoted, %path% as it is.
    lumiseek.put_es("recorder", results=ROWS)
    lumiseek.type("%PATH%")
    lumiseek.press("Search is complete : 4 Matches : budget-march.xls", "ctrl+f")
    assert lumiseek.es_calls()[1:] == [file_search_arguments("%path%").replace(
        " !c:\\windows\\ !c:\\$recycle.bin\\ ", ' !"c:\\program files\\" !c:\\r&d\\')]

    # es ending with the code for "not running", then es missing: each failure says so.
    (lumiseek.dir / "es-exitcode.txt").write_text("8")
    lumiseek.press("Search Failed : Everything is not running", "ctrl+f")
    (lumiseek.dir / "es.exe").unlink()
    lumiseek.press("Search Failed : the es program was not found", "ctrl+f")
    assert len(lumiseek.es_calls()) == 3
