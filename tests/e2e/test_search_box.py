"""The talking search box from end to end: the start-up utterance, key and character speech, refusal of
invalid characters, spelling, the clipboard and editing keys, and the colour and font commands on screen."""
import re
import subprocess
import time

import harness

WELCOME = "Welcome to Lumiseek, version 4.2!"
BLUE, YELLOW, WHITE, BLACK = "#0000FF", "#FFFF00", "#FFFFFF", "#000000"


def start(run, **settings):
    """Starts with the toolbar hidden (the box on top) and no shortcut announcements unless asked;
    waits for the welcome."""
    values = {"ShowToolbar": "0", "SpeakShortcuts": "0"}
    values.update({k: str(v) for k, v in settings.items()})
    run.start(settings=harness.settings_file(values))
    run.wait_voice(lambda lines: any(WELCOME in line for line in lines), timeout=30)


def say_after(run, keys, expected, type_text=None):
    """Presses keys (or types text), waits for a spoken text ending with `expected` (an
    announcement may stand in front of it); returns every text spoken from the press on."""
    mark = run.mark()
    run.type(type_text) if type_text is not None else run.key(*keys)
    lines = run.wait_voice(lambda new: any(l.endswith("\t" + expected) or l.endswith(" : " + expected) for l in new),
                           after=mark)
    return [line.partition("\t")[2] for line in lines if line.partition("\t")[0].isdigit()]


def box_text(run):
    """The box's text, read back as the user does: Ctrl+L speaks it unchanged."""
    mark = run.mark()
    run.key("ctrl+l")
    return run.wait_voice(lambda new: len(new) >= 1, after=mark)[0].partition("\t")[2]


def column_of_pixels(png, x):
    """The colours ("#RRGGBB") of the pixel column x of a screenshot, from the top."""
    out = subprocess.run(["convert", str(png), "-alpha", "off", "-crop", "1x100000+%d+0" % x, "+repage",
                          "-depth", "8", "txt:-"], stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode()
    return re.findall(r"#[0-9A-F]{6}", out.upper())


def runs(column, colour):
    """(top, length) of every run of `colour` in a column of pixels."""
    out = []
    for y, pixel in enumerate(column):
        if pixel == colour and out and sum(out[-1]) == y:
            out[-1] = (out[-1][0], out[-1][1] + 1)
        elif pixel == colour:
            out.append((y, 1))
    return out


def shot_when(run, name, x, check, timeout=15):
    """Screenshots until check(the column of pixels at x) holds (the window may still be repainting);
    returns the last screenshot and its column."""
    deadline = time.monotonic() + timeout
    while True:
        png = run.screenshot(name)
        column = column_of_pixels(png, x)
        if check(column) or time.monotonic() > deadline:
            return png, column
        time.sleep(0.5)


def share_in(png, box, colour):
    """Share of the pixels in `colour` inside box = (left, top, right, bottom) of a screenshot."""
    left, top, right, bottom = box
    crop = png.with_name(png.stem + "-box.png")
    subprocess.run(["convert", str(png), "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                    "+repage", str(crop)], check=True, timeout=60)
    return harness.colour_share(crop, colour)


def test_start_up_then_typing_speaks_letters_or_words_and_refuses_invalid_characters(lumiseek):
    start(lumiseek, EnableSpeakLetters=1, SearchTerm="old*report?")
    # The welcome and the box's focus are one utterance; the term is selected, so typing replaces it.
    welcome = [text for _, text in lumiseek.spoken() if WELCOME in text]
    assert welcome == [WELCOME + "SearchBox has focus. Search term is old *report ?"]
    assert say_after(lumiseek, None, "B", type_text="ab") == ["A", "B"]
    refused = "Pound Sign : Invalid Search String Character"
    assert say_after(lumiseek, None, refused, type_text="#") == [refused]
    # The back-quote key beeps on key-down; the character it still produces is refused in words.
    say_after(lumiseek, ["grave"], "Back Quote : Invalid Search String Character")
    say_after(lumiseek, ["BackSpace"], "Erase b")
    say_after(lumiseek, ["ctrl+n"], "Speak Text is Words")
    assert say_after(lumiseek, None, "CAT", type_text="cat ") == ["CAT"]
    say_after(lumiseek, None, "Dollar Sign : Invalid Search String Character", type_text="$")
    assert box_text(lumiseek) == "acat "


def test_arrows_spelling_and_the_clipboard_commands(lumiseek):
    start(lumiseek, EnableSpeakLetters=0, SearchTerm="Te*x")
    say_after(lumiseek, ["Home"], "Home Key : Start of Line : ")
    say_after(lumiseek, ["Right"], "Right Arrow : Capital T")
    say_after(lumiseek, ["Right"], "Right Arrow : e")
    say_after(lumiseek, ["ctrl+m"], "Spelling Search Term: T : e :  asterisk : x :")
    say_after(lumiseek, ["ctrl+a"], "Select All")
    say_after(lumiseek, ["ctrl+x"], "Selection Cut")
    assert lumiseek.clipboard() == "Te*x"
    say_after(lumiseek, ["ctrl+x"], "No Selection")
    say_after(lumiseek, ["ctrl+v"], "Clipboard Pasted")
    assert box_text(lumiseek) == "Te*x"
    assert say_after(lumiseek, ["ctrl+c"], "Selection Copied") == ["Entire Search String  Was Copied",
                                                                   "Selection Copied"]


def test_colour_and_font_commands_repaint_and_resize_the_box_and_the_list(lumiseek):
    start(lumiseek, SearchTerm="texas")
    say_after(lumiseek, ["End"], "End Key : End of Line : ")  # no selection highlight over the text
    geometry = dict(line.split("=", 1) for line in
                    lumiseek.session.x("xdotool", "getwindowgeometry", "--shell", lumiseek.window).split())
    left, x = int(geometry["X"]) + 15, int(geometry["X"]) + int(geometry["WIDTH"]) - 60  # x: right of any text
    _, column = shot_when(lumiseek, "before", x, lambda c: len(runs(c, BLUE)) >= 2)
    (box_top, box_height), (row_top, row_height) = runs(column, BLUE)[:2]

    # A larger font: the box grows by the layout rule and the list moves down below it.
    say_after(lumiseek, ["ctrl+shift+l"], "Font Size is  40")
    grown = round(2.7 * 40) - round(2.7 * 36)
    _, column = shot_when(lumiseek, "font-40", x, lambda c: runs(c, BLUE)[0][1] == box_height + grown)
    (top, height), (new_row_top, _) = runs(column, BLUE)[:2]
    assert (top, height) == (box_top, box_height + grown)
    assert new_row_top > row_top + grown, "the list did not move down below the taller box"
    # One notch of the wheel down, over the box, steps back by 4 points.
    mark = lumiseek.mark()
    lumiseek.session.x("xdotool", "mousemove", left + 300, box_top + box_height // 2, "click", "5")
    lumiseek.wait_voice("3\tFont Size is  36", after=mark)
    _, column = shot_when(lumiseek, "font-36", x, lambda c: runs(c, BLUE)[0] == (box_top, box_height))
    assert runs(column, BLUE)[0] == (box_top, box_height), "the wheel did not step the font back"
    box = (left, box_top, x, box_top + box_height)
    assert share_in(lumiseek.screenshot("font-36"), box, YELLOW) > 0, "no yellow text in the box"

    # Black on white: the box, its text typed before, and the list all follow.
    lumiseek.key("ctrl+y")
    mid = (box_top + box_height // 2, row_top + row_height // 2)
    png, column = shot_when(lumiseek, "colours", x, lambda c: [c[y] for y in mid] == [WHITE, WHITE])
    assert [column[y] for y in mid] == [WHITE, WHITE], "the box or the list kept its background"
    assert share_in(png, box, BLUE) == share_in(png, box, YELLOW) == 0, "text typed before kept the old colour"
    assert share_in(png, box, BLACK) > 0, "no black text in the box"


def test_with_shortcuts_announced_no_announcement_outlives_its_command(lumiseek):
    """Speak Shortcuts on: Esc prepares nothing, F9 and Ctrl+8 carry their announcement, the box's
    own editing keys say what they did, and Shift+arrows name the character that joined or left
    the selection. Every typed letter afterwards is spoken alone."""
    start(lumiseek, SpeakShortcuts=1, EnableSpeakLetters=1, SearchTerm="texas")
    # Esc while the voice speaks only silences it, and leaves nothing for the next letter.
    lumiseek.speaking(True)
    mark = lumiseek.mark()
    lumiseek.key("Escape")
    lumiseek.wait_voice("3\t", after=mark)
    lumiseek.speaking(False)
    lumiseek.key("End")
    assert say_after(lumiseek, ["a"], "A")[-1] == "A"
    say_after(lumiseek, ["F9"], "Speech is Disabled")
    said = say_after(lumiseek, ["F9"], "Speech is Enabled")
    assert said == ["Shortcut Pressed: Disable Speech : F9 : Speech is Enabled"]
    assert say_after(lumiseek, ["b"], "B") == ["B"]
    say_after(lumiseek, ["ctrl+8"], "Fast speech is on!")
    assert say_after(lumiseek, ["c"], "C") == ["C"]
    lumiseek.key("ctrl+shift+n")  # the next toolbar page speaks nothing
    assert say_after(lumiseek, ["d"], "D") == ["D"]

    # The box's own paste, cut, copy, undo and redo keys.
    say_after(lumiseek, ["ctrl+a"], "Select All")
    assert say_after(lumiseek, ["ctrl+shift+x"], "Selection Cut") == ["Selection Cut"]
    assert lumiseek.clipboard() == "texasabcd"
    assert say_after(lumiseek, ["shift+Delete"], "No Selection") == ["No Selection"]
    assert say_after(lumiseek, ["shift+Insert"], "Clipboard Pasted") == ["Clipboard Pasted"]
    mark = lumiseek.mark()
    lumiseek.key("ctrl+shift+z", "ctrl+shift+y")
    assert box_text(lumiseek).endswith("texasabcd")
    spoken = [line for line in lumiseek.voice_lines()[mark:] if line.partition("\t")[0].isdigit()]
    assert len(spoken) == 1, "undo or redo spoke or changed the box"  # only Ctrl+L's reading
    assert say_after(lumiseek, ["ctrl+Insert"], "Selection Copied")[-1] == "Selection Copied"
    # Shift+arrows from the end: "d" joins the selection, then leaves it.
    lumiseek.key("End")
    assert say_after(lumiseek, ["shift+Left"], "Left Arrow : d") == ["Left Arrow : d"]
    assert say_after(lumiseek, ["shift+Right"], "Right Arrow : d") == ["Right Arrow : d"]
    lumiseek.screenshot("selection")
    assert not [text for _, text in lumiseek.spoken() if "Unknown Shortcut" in text]
