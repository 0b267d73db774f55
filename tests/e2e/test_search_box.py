"""The talking search box from end to end: keys and characters through the real edit control, the
clipboard, and the colour and font commands on screen."""
import re

import harness

BLUE, YELLOW, WHITE, BLACK = "#0000FF", "#FFFF00", "#FFFFFF", "#000000"


def say_after(run, keys, expected, type_text=None):
    """Presses keys (or types text), waits for a text ending with `expected` (an announcement may
    stand in front of it); returns the texts spoken since the press."""
    mark = run.mark()
    run.type(type_text) if type_text is not None else run.key(*keys)
    run.wait_voice(lambda new: any(l.endswith("\t" + expected) or l.endswith(" : " + expected) for l in new), mark)
    return run.texts_since(mark)


def runs(column, colour):
    """(top, length) of every run of `colour` in a column of pixels."""
    marks = "".join("x" if pixel == colour else "." for pixel in column)
    return [(m.start(), len(m.group())) for m in re.finditer("x+", marks)]


def shot_when(run, name, x, check, what):
    """A screenshot and its column of pixels at x once check(column) holds."""
    return run.screenshot_until(name, lambda png: check(c := harness.column_of_pixels(png, x)) and (png, c), what)


def test_keys_and_characters_speak_and_no_announcement_outlives_its_command(lumiseek):
    lumiseek.start(settings=dict(ShowToolbar=0, SpeakShortcuts=1, EnableSpeakLetters=1, SearchTerm="Te*x"))
    lumiseek.wait_started()
    # The welcome and the box's focus are one utterance.
    welcome = [text for _, text in lumiseek.spoken() if "Welcome" in text]
    assert welcome == ["Welcome to Lumiseek, version 4.2!SearchBox has focus. Search term is Te *x"]
    say_after(lumiseek, ["Home"], "Home Key : Start of Line : ")
    say_after(lumiseek, ["Right"], "Right Arrow : Capital T")
    # Esc while the voice speaks only silences it, and leaves nothing for the next letter.
    lumiseek.speaking(True)
    lumiseek.press("", "Escape")
    lumiseek.speaking(False)
    lumiseek.key("End")
    assert say_after(lumiseek, None, "B", type_text="ab") == ["A", "B"]
    refused = "Pound Sign : Invalid Search String Character"
    assert say_after(lumiseek, None, refused, type_text="#") == [refused]
    # The back-quote key beeps on key-down; the character it still produces is refused in words.
    say_after(lumiseek, ["grave"], "Back Quote : Invalid Search String Character")
    say_after(lumiseek, ["BackSpace"], "Erase b")

    # The edit control's own clipboard keys, and undo and redo, which it would act on unspoken.
    say_after(lumiseek, ["ctrl+a"], "Select All")
    assert say_after(lumiseek, ["ctrl+shift+x"], "Selection Cut") == ["Selection Cut"]
    assert lumiseek.clipboard() == "Te*xa"  # neither "#" nor "`" entered the box
    assert say_after(lumiseek, ["shift+Delete"], "No Selection") == ["No Selection"]
    assert say_after(lumiseek, ["shift+Insert"], "Clipboard Pasted") == ["Clipboard Pasted"]
    # Undo and redo neither speak nor change the box: only Ctrl+L's reading of it follows.
    reading = "Shortcut Pressed: Speak Search Term : C-L : Te*xa"
    assert lumiseek.heard(reading, "ctrl+shift+z", "ctrl+shift+y", "ctrl+l") == [reading]
    assert say_after(lumiseek, ["ctrl+Insert"], "Selection Copied") == ["Entire Search String  Was Copied",
                                                                       "Selection Copied"]
    # Shift+arrows before the last letter: "x" joins the selection, then leaves it.
    lumiseek.key("End", "Left")
    assert say_after(lumiseek, ["shift+Left"], "Left Arrow : x") == ["Left Arrow : x"]
    assert say_after(lumiseek, ["shift+Right"], "Right Arrow : x") == ["Right Arrow : x"]
    assert not [text for _, text in lumiseek.spoken() if "Unknown Shortcut" in text]


def test_colour_and_font_commands_repaint_and_resize_the_box_and_the_list(lumiseek):
    lumiseek.start(settings=dict(harness.QUIET, SearchTerm="texas")).wait_started()
    say_after(lumiseek, ["End"], "End Key : End of Line : ")  # no selection highlight over the text
    wx, _, width, _ = lumiseek.geometry()
    left, x = wx + 15, wx + width - 60  # x: right of any text
    _, column = shot_when(lumiseek, "before", x, lambda c: len(runs(c, BLUE)) >= 2, "the box and the list")
    (box_top, box_height), (row_top, row_height) = runs(column, BLUE)[:2]

    # A larger font: the box grows by the layout rule and the list moves down below it.
    say_after(lumiseek, ["ctrl+shift+l"], "Font Size is  40")
    grown = round(2.7 * 40) - round(2.7 * 36)
    _, column = shot_when(lumiseek, "font-40", x, lambda c: runs(c, BLUE)[0] == (box_top, box_height + grown),
                          "the box grown by the layout rule")
    assert runs(column, BLUE)[1][0] > row_top + grown, "the list did not move down below the taller box"
    # One notch of the wheel down, over the box, steps back by 4 points.
    lumiseek.act(lambda: lumiseek.mouse(left + 300, box_top + box_height // 2, "click", "5"), "Font Size is  36")
    png, _ = shot_when(lumiseek, "font-36", x, lambda c: runs(c, BLUE)[0] == (box_top, box_height),
                       "the font stepped back by the wheel")
    box = (left, box_top, x, box_top + box_height)
    assert harness.colour_share(png, YELLOW, box) > 0, "no yellow text in the box"

    # Black on white: the box, its text typed before, and the list all follow.
    lumiseek.key("ctrl+y")
    mid = (box_top + box_height // 2, row_top + row_height // 2)
    png, _ = shot_when(lumiseek, "colours", x, lambda c: [c[y] for y in mid] == [WHITE, WHITE],
                       "the box and the list on white")
    assert harness.colour_share(png, BLUE, box) == harness.colour_share(png, YELLOW, box) == 0, "old colour kept"
    assert harness.colour_share(png, BLACK, box) > 0, "no black text in the box"
