"""The results list from end to end: a letter moves the selection to the next row starting with it
and the list keeps it there; a sort with row 1 selected shows and speaks the new row 1."""
import harness
from test_search import click_name_header, texts_since, wait_spoken

SETTINGS = {"ShowToolbar": "0", "SpeakShortcuts": "0"}
ROWS = [
    ("1234567", "05/17/2023 10:22", r"C:\Data\Budget, 2023.xlsx"),
    ("10", "05/18/2023 09:05", r"C:\Data\annual.doc"),
    ("2500", "12/31/2022 09:05", r"C:\Data\Café budget.iso"),
    ("0", "03/04/2021 11:11", r"C:\Data\zeta.txt"),
]


def status(run):
    return run.control_text(503)


def test_type_ahead_keeps_its_row_and_a_sort_speaks_the_new_row_one(lumiseek):
    # The last results, read at start-up; row 1 selected.
    results = "Size,Date Modified,Filename\r\n" + "".join('%s,%s,"%s"\r\n' % row for row in ROWS)
    (lumiseek.dir / "results.txt").write_bytes(results.encode("utf-8"))
    lumiseek.start(settings=harness.settings_file(SETTINGS))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    mark = lumiseek.mark()
    lumiseek.key("Tab")
    wait_spoken(lumiseek, "Results List has focus. budget, 2023.xlsx", mark)

    # "c": the type-ahead selects row 3; the list's own search must not take it back to row 1.
    mark = lumiseek.mark()
    lumiseek.key("c")
    wait_spoken(lumiseek, "café budget.iso", mark)
    shown = harness.poll(lambda: "  3  café budget.iso  " in status(lumiseek) and status(lumiseek), 10,
                         what="row 3 in the status bar")
    assert shown.startswith("     3  café budget.iso  12/31/2022 09:05  2500  c:\\data\\"), shown
    assert texts_since(lumiseek, mark) == ["café budget.iso"]
    lumiseek.screenshot("type-ahead")

    # Back to row 1, then a click on the Name header: the first sort is descending, so zeta.txt is
    # the new row 1, shown and spoken although row 1 was selected before and after.
    mark = lumiseek.mark()
    lumiseek.key("Home")
    wait_spoken(lumiseek, "budget, 2023.xlsx", mark)
    mark = lumiseek.mark()
    click_name_header(lumiseek, lumiseek.screenshot("before-sort"))
    wait_spoken(lumiseek, "zeta.txt", mark)
    harness.poll(lambda: status(lumiseek).startswith("     1  zeta.txt  "), 10, what="the new row 1 in the status bar")
    assert texts_since(lumiseek, mark) == ["zeta.txt"]
    lumiseek.screenshot("sorted")
