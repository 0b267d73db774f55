"""The results list from end to end: a letter moves the selection to the next row starting with it
and the list keeps it there; a sort with row 1 selected shows and speaks the new row 1."""
import harness

ROWS = [
    ("1234567", "05/17/2023 10:22", r"C:\Data\Budget, 2023.xlsx"),
    ("10", "05/18/2023 09:05", r"C:\Data\annual.doc"),
    ("2500", "12/31/2022 09:05", r"C:\Data\Café budget.iso"),
    ("0", "03/04/2021 11:11", r"C:\Data\zeta.txt"),
]


def status_shows(run, start, what):
    return harness.poll(lambda: run.control_text(503).startswith(start) and run.control_text(503), 10, what=what)


def test_type_ahead_keeps_its_row_and_a_sort_speaks_the_new_row_one(lumiseek):
    # The last results, read at start-up; row 1 selected.
    (lumiseek.dir / "results.txt").write_bytes(harness.results_text(ROWS).encode("utf-8"))
    lumiseek.start(settings=harness.settings_file({"ShowToolbar": "0", "SpeakShortcuts": "0"}))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    lumiseek.press("Results List has focus. budget, 2023.xlsx", "Tab")

    # "c": the type-ahead selects row 3; the list's own search must not take it back to row 1.
    mark = lumiseek.press("café budget.iso", "c")
    status_shows(lumiseek, "     3  café budget.iso  12/31/2022 09:05  2500  c:\\data\\", "row 3 in the status bar")
    assert lumiseek.texts_since(mark) == ["café budget.iso"]

    # Back to row 1, then a click on the Name header: the first sort is descending, so zeta.txt is
    # the new row 1, shown and spoken although row 1 was selected before and after.
    lumiseek.press("budget, 2023.xlsx", "Home")
    mark = lumiseek.mark()
    harness.click_name_header(lumiseek, lumiseek.screenshot("before-sort"))
    lumiseek.wait_spoken("zeta.txt", mark)
    status_shows(lumiseek, "     1  zeta.txt  ", "the new row 1 in the status bar")
    assert lumiseek.texts_since(mark) == ["zeta.txt"]
    lumiseek.screenshot("sorted")
