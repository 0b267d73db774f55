"""The results list from end to end: a letter moves the selection to the next row starting with it
and the list keeps it there; a sort with row 1 selected shows and speaks the new row 1."""
import harness

ROWS = [
    ("1234567", "05/17/2023 10:22", r"C:\Data\Budget, 2023.xlsx"),
    ("10", "05/18/2023 09:05", r"C:\Data\annual.doc"),
    ("2500", "12/31/2022 09:05", r"C:\Data\Café budget.iso"),
    ("0", "03/04/2021 11:11", r"C:\Data\zeta.txt"),
]


def test_type_ahead_keeps_its_row_and_a_sort_speaks_the_new_row_one(lumiseek):
    lumiseek.start(settings=harness.QUIET, last_results=ROWS).wait_started()
    # "c" in the list: the type-ahead selects row 3; the list's own search must not take it back to row 1.
    mark = lumiseek.press("café budget.iso", "Tab", "c")
    lumiseek.wait_status("     3  café budget.iso  12/31/2022 09:05  2500  c:\\data\\")
    assert lumiseek.texts_since(mark) == ["Results List has focus. budget, 2023.xlsx", "café budget.iso"]

    # Back to row 1, then a click on the Name header: the first sort is descending, so zeta.txt is
    # the new row 1, shown and spoken although row 1 was selected before and after.
    lumiseek.press("budget, 2023.xlsx", "Home")
    mark = lumiseek.act(lambda: harness.click_name_header(lumiseek, "before-sort"), "zeta.txt")
    lumiseek.wait_status("     1  zeta.txt  ")
    assert lumiseek.texts_since(mark) == ["zeta.txt"]
