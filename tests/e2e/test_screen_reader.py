"""What a screen reader reads for each control, through the system's accessibility layer
(AccessibleObjectFromWindow and get_accName from a second program in the prefix)."""
import harness


def test_controls_have_accessible_names(lumiseek):
    rows = [("10", "05/18/2023 09:05", r"C:\Data\annual.doc"), ("0", "03/04/2021 11:11", r"C:\Data\zeta.txt")]
    (lumiseek.dir / "results.txt").write_bytes(harness.results_text(rows).encode("utf-8"))
    lumiseek.start(settings=harness.settings_file({"SpeakShortcuts": "0"}))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    names = lumiseek.window_texts(500, 501, 503, 504, names=True)
    assert (names["500"], names["501"], names["504"]) == ("Search term", "Results", "Preview"), names
    # The status bar is named by its text, and the name follows the text.
    assert names["503"] == lumiseek.control_text(503) == "     1  annual.doc  05/18/2023 09:05  10  c:\\data\\"
    lumiseek.press("Results List has focus. annual.doc", "Tab")
    lumiseek.press("zeta.txt", "Down")
    harness.poll(lambda: lumiseek.control_text(503).startswith("     2  zeta.txt"), 10, what="row 2 in the status bar")
    assert lumiseek.window_texts(503, names=True)["503"] == lumiseek.control_text(503)
