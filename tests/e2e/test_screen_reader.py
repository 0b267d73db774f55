"""What a screen reader reads for each control, through the system's accessibility layer
(AccessibleObjectFromWindow and get_accName from a second program in the prefix)."""
import harness


def test_controls_have_accessible_names(lumiseek):
    rows = [("10", "05/18/2023 09:05", r"C:\Data\annual.doc"), ("0", "03/04/2021 11:11", r"C:\Data\zeta.txt")]
    (lumiseek.dir / "results.txt").write_bytes(harness.results_text(rows).encode("utf-8"))
    # Every toolbar button at once, their labels hidden.
    settings = {"SpeakShortcuts": "0", "WideToolbar": "1", "HideToolbarText": "1"}
    lumiseek.start(settings=harness.settings_file(settings))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    names = lumiseek.window_texts(500, 501, 502, 503, 504, "502:buttons", names=True)
    assert [names[k] for k in ("500", "501", "502", "504")] == ["Search term", "Results", "Toolbar", "Preview"], names
    # A button is named by its tooltip's text even with its label hidden; separators are no buttons.
    buttons = [name for key, name in names.items() if key.startswith("502:") and name != "<no name>"]
    assert len(buttons) == 13 and buttons[:3] == ["Exit", "Search Files", "Search Folders"], names
    assert "Print Result List" in buttons and all(name.strip() == name != "" for name in buttons), names
    # The status bar is named by its text, and the name follows the text.
    assert names["503"] == lumiseek.control_text(503) == "     1  annual.doc  05/18/2023 09:05  10  c:\\data\\"
    lumiseek.press("Results List has focus. annual.doc", "Tab")
    lumiseek.press("zeta.txt", "Down")
    harness.poll(lambda: lumiseek.control_text(503).startswith("     2  zeta.txt"), 10, what="row 2 in the status bar")
    assert lumiseek.window_texts(503, names=True)["503"] == lumiseek.control_text(503)
