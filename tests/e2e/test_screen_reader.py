"""What a screen reader reads for each control, through the system's accessibility layer
(AccessibleObjectFromWindow and get_accName from a second program in the prefix)."""


def test_controls_have_accessible_names(lumiseek):
    rows = [("10", "05/18/2023 09:05", r"C:\Data\annual.doc"), ("0", "03/04/2021 11:11", r"C:\Data\zeta.txt")]
    # Every toolbar button at once, their labels hidden.
    lumiseek.start(settings={"SpeakShortcuts": "0", "WideToolbar": "1", "HideToolbarText": "1"},
                   last_results=rows).wait_started()
    names = lumiseek.window_texts(500, 501, 502, 503, 504, "502:buttons", names=True)
    assert [names[k] for k in ("500", "501", "502", "504")] == ["Search term", "Results", "Toolbar", "Preview"], names
    # A button is named by its tooltip's text even with its label hidden; separators are no buttons.
    buttons = [name for key, name in names.items() if key.startswith("502:") and name != "<no name>"]
    assert len(buttons) == 13 and buttons[:3] == ["Exit", "Search Files", "Search Folders"], names
    assert "Print Result List" in buttons and all(name.strip() == name != "" for name in buttons), names
    # The status bar is named by its text, and the name follows the text.
    assert names["503"] == lumiseek.control_text(503) == "     1  annual.doc  05/18/2023 09:05  10  c:\\data\\"
    lumiseek.press("zeta.txt", "Tab", "Down")
    lumiseek.wait_status("     2  zeta.txt")
    assert lumiseek.window_texts(503, names=True)["503"] == lumiseek.control_text(503)
