"""The spoken lists and the toolbar from end to end: the settings list's rows refused as files, the
colour scheme named and its row following, the selected row in the scheme's colours swapped and kept
in sight as the font grows, one toggled with Enter, the actions list's Copy Results, Esc back to the results; the toolbar in each
layout, page and icon size, the room it gives up when hidden, and the tooltips spoken as the pointer
moves over the buttons."""
import time

import harness

ROWS = [("6", "05/17/2023 10:22", r"C:\Data\report.txt"), ("3", "12/31/2022 09:05", r"C:\Data\Café €.txt")]


def test_settings_and_actions_lists_run_their_rows_and_esc_returns(lumiseek):
    lumiseek.start(settings=harness.QUIET, last_results=ROWS).wait_started()
    lumiseek.press("Opening Settings List1 Hide Toolbar Text - Ctrl+B  - OFF", "F1")
    # Its rows are neither opened nor double-clicked as files.
    lumiseek.press("Not Available in Help Mode", "ctrl+j")
    lumiseek.act(lambda: harness.click_name_header(lumiseek, "settings-list", below=60, clicks=2),
                 "Not available when Shortcuts are displayed")
    # Ctrl+Y names each scheme and the shown row 8 follows it. The selected row is drawn in the
    # scheme's colours swapped (blue text on a yellow band across the list) and stays in sight as the
    # font grows.
    lumiseek.press("Black on White", "ctrl+y")
    lumiseek.press("8 Change Colors - Ctrl+Y  - Black on White", *["Down"] * 7)
    lumiseek.press("White on Black", "ctrl+y")
    lumiseek.press("8 Change Colors - Ctrl+Y  - White on Black", "Up", "Down")
    lumiseek.press("Yellow on Blue", "ctrl+y")
    left, top, width, height = lumiseek.control_rect(501)

    def selected_band(name):  # the share of blue text on the selected row's yellow, or 0 without one
        png = lumiseek.screenshot(name)
        band = [y for y, c in enumerate(harness.column_of_pixels(png, left + width - 60)[top:top + height], top)
                if c == "#FFFF00"]
        if len(band) < 20:
            return 0
        row = (left + 10, band[0], left + width - 60, band[-1])
        if harness.colour_share(png, "#FFFF00", row) <= 0.5:
            return 0
        return harness.colour_share(png, "#0000FF", row)

    # Polled: under load the list may repaint a moment after its words are spoken.
    harness.poll(lambda: selected_band("selected-row") > 0.05, 10, what="the selected row in its colours")
    lumiseek.press("29 Wide Toolbar - Ctrl+Shift+W - OFF", "End")
    lumiseek.press("Font Size is  44", "ctrl+shift+l", "ctrl+shift+l")
    harness.poll(lambda: selected_band("zoomed") > 0.05, 10, what="the selected row in its colours at 44 points")
    lumiseek.press("Font Size is  36", "ctrl+shift+m", "ctrl+shift+m")
    lumiseek.press("1 Hide Toolbar Text - Ctrl+B  - OFF", "Home")
    lumiseek.press("13 Disable Speech - F9  - OFF", *["Down"] * 12)

    # Enter on the row toggles the setting; the row and the caption show the new value, and with
    # speech back on the new row is read after the confirmation, the selection where it was.
    lumiseek.press("Speech is Disabled", "Return")
    harness.poll(lambda: "DisableSpeech-On" in lumiseek.title(), 10, what="the caption's summary")
    mark = lumiseek.press("13 Disable Speech - F9  - OFF", "Return")
    assert lumiseek.texts_since(mark) == ["Speech is Enabled", "13 Disable Speech - F9  - OFF"]
    lumiseek.press("14 Use Ignore List - F10  - OFF", "Down")

    lumiseek.press("1 Display Settings Shortcuts - F1", "F2")
    assert lumiseek.spoken()[-2] == (2, "Opening Actions List")
    lumiseek.press("32 Copy Results - Ctrl+Shift+C", "End", "Up", "Up")
    lumiseek.screenshot("actions-list")
    lumiseek.press("Search Results Copied to Clipboard", "Return")  # "Café €" reaches X whole
    assert lumiseek.clipboard().replace("\r\n", "\n") == harness.results_text(ROWS).replace("\r\n", "\n")
    lumiseek.press("Not available when Shortcuts are displayed", *["Up"] * 6, "space")
    # Space runs a row as Enter does, and nothing speaks over what it said.
    lumiseek.press("24 Speak List Location - Ctrl+0 (Zero)", "Up", "Up")
    mark = lumiseek.mark()
    lumiseek.key("space")
    said = harness.poll(lambda: lumiseek.texts_since(mark), 10, what="row 24's outcome")
    time.sleep(1)
    assert lumiseek.texts_since(mark) == said and "24 Speak List Location - Ctrl+0 (Zero)" not in said, said
    lumiseek.press("report.txt", "Escape")
    assert lumiseek.spoken()[-2] == (2, "Returning to Last Results")


def test_toolbar_layouts_sizes_hiding_and_spoken_tooltips(lumiseek):
    lumiseek.start(settings={"SpeakShortcuts": "0", "IconSize": "48", "EnableToolTips": "2"}).wait_started()
    shown = lumiseek.screenshot("narrow-page0-icons48")

    # Pages, told apart by where their gaps put the buttons: the page button steps on (by its key,
    # then by a click on it), a right click on it steps back.
    def centres(name):
        return harness.icon_centres(lumiseek, lumiseek.screenshot(name))

    def next_page(page, before):
        return harness.poll(lambda: (c := centres("narrow-page%d" % page)[0]) != before and c, 10)
    pages = [centres("narrow-page0")[0]]
    lumiseek.key("ctrl+shift+n")
    pages.append(next_page(1, pages[0]))
    middle = centres("narrow-page1")[1]
    lumiseek.mouse(pages[1][-1], middle, "click", "1")
    pages.append(next_page(2, pages[1]))
    assert [len(p) for p in pages] == [6, 6, 6] and len({tuple(p) for p in pages}) == 3, pages
    lumiseek.mouse(pages[2][-1], middle, "click", "3")
    harness.poll(lambda: centres("narrow-page1-back")[0] == pages[1], 10, what="page 1 again")
    lumiseek.mouse(5, 5)

    # Wide, icons only: every button in one row.
    lumiseek.press("Hide Toolbar Text is ON", "ctrl+b")
    lumiseek.press("Wide Toolbar is ON", "ctrl+shift+w")
    buttons, middle = centres("wide-icons-only")
    assert len(buttons) == 13, buttons

    # Speak mode: the pointer on Copy File, then on Color.
    mark = lumiseek.act(lambda: lumiseek.mouse(buttons[5], middle), " Copy File ")
    lumiseek.act(lambda: lumiseek.mouse(buttons[9], middle), " Color ")
    assert lumiseek.texts_since(mark) == [" Copy File ", " Color "]

    # Both: the large tooltip shows black on white below the pointer.
    lumiseek.mouse(5, 5)
    lumiseek.press("ToolTips are Both", "ctrl+6")
    below = (buttons[0], middle + 30, buttons[0] + 100, middle + 80)
    assert harness.colour_share(lumiseek.screenshot("before-tooltip"), "#FFFFFF", below) < 0.3
    lumiseek.act(lambda: lumiseek.mouse(buttons[0], middle), " Exit ")
    lumiseek.screenshot_until("tooltip", lambda png: harness.colour_share(png, "#FFFFFF", below) > 0.45, "the tooltip")

    # The wide form with its texts at each icon size: the search box moves down as the icons grow.
    lumiseek.mouse(5, 5)
    lumiseek.press("Hide Toolbar Text is OFF", "ctrl+b")
    tops = []
    for size in ("64", "96", "128", "48"):
        lumiseek.press("Icon Size is  " + size, "ctrl+e")
        tops.append(harness.toolbar_band(lumiseek, lumiseek.screenshot("wide-icons" + size))[1])
    assert tops[3] < tops[0] < tops[1] < tops[2], tops

    # Hidden: the search box moves up into the toolbar's room.
    with_toolbar, box_top, _ = harness.toolbar_band(lumiseek, shown)
    lumiseek.press("Toolbar is Hidden", "ctrl+w")
    x, y, _, _ = lumiseek.geometry()
    hidden_top = harness.column_of_pixels(lumiseek.screenshot("toolbar-hidden"), x + 40).index("#0000FF", y)
    assert hidden_top <= with_toolbar + 2 and box_top - hidden_top >= 48, (with_toolbar, box_top, hidden_top)
