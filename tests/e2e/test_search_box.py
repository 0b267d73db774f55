"""The talking search box from end to end: the start-up utterance, key and character speech, refusal of
invalid characters, spelling, the clipboard and editing keys, and the colour and font commands on screen."""
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


class Picture:
    """The pixels ("#RRGGBB") of a screenshot, read through ImageMagick as 8-bit RGB."""

    def __init__(self, png):
        data = subprocess.run(["convert", str(png), "-alpha", "off", "-depth", "8", "ppm:-"],
                              stdout=subprocess.PIPE, check=True, timeout=60).stdout
        _, width, height, _, self.rgb = data.split(maxsplit=4)
        self.width, self.height = int(width), int(height)

    def at(self, x, y):
        return "#%02X%02X%02X" % tuple(self.rgb[3 * (y * self.width + x):3 * (y * self.width + x) + 3])

    def runs(self, x, colour):
        """(top, length) of every vertical run of `colour` in column x."""
        out = []
        for y in (y for y in range(self.height) if self.at(x, y) == colour):
            if out and sum(out[-1]) == y:
                out[-1] = (out[-1][0], out[-1][1] + 1)
            else:
                out.append((y, 1))
        return out

    def count(self, colour, left, top, right, bottom):
        return sum(1 for y in range(top, bottom) for x in range(left, right) if self.at(x, y) == colour)


def picture_when(run, name, check, timeout=15):
    """Screenshots until check(picture) holds (the window may still be repainting); returns the last."""
    deadline = time.monotonic() + timeout
    while True:
        picture = Picture(run.screenshot(name))
        if check(picture) or time.monotonic() > deadline:
            return picture
        time.sleep(0.5)


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
    before = picture_when(lumiseek, "before", lambda p: len(p.runs(x, BLUE)) >= 2)
    (box_top, box_height), (row_top, row_height) = before.runs(x, BLUE)[:2]
    box = (left, box_top, x, box_top + box_height)
    assert before.count(YELLOW, *box) > 100, "no yellow text in the box"

    # A larger font: the box grows by the layout rule and the list moves down below it.
    say_after(lumiseek, ["ctrl+shift+l"], "Font Size is  40")
    grown = round(2.7 * 40) - round(2.7 * 36)
    bigger = picture_when(lumiseek, "font-40", lambda p: p.runs(x, BLUE)[0][1] == box_height + grown)
    (top, height), (new_row_top, _) = bigger.runs(x, BLUE)[:2]
    assert (top, height) == (box_top, box_height + grown)
    assert new_row_top > row_top + grown, "the list did not move down below the taller box"
    # One notch of the wheel down, over the box, steps back by 4 points.
    mark = lumiseek.mark()
    lumiseek.session.x("xdotool", "mousemove", left + 300, box_top + box_height // 2, "click", "5")
    lumiseek.wait_voice("3\tFont Size is  36", after=mark)
    back = picture_when(lumiseek, "font-36", lambda p: p.runs(x, BLUE)[0] == (box_top, box_height))
    assert back.runs(x, BLUE)[0] == (box_top, box_height), "the wheel did not step the font back"

    # Black on white: the box, its text typed before, and the list all follow.
    lumiseek.key("ctrl+y")
    mid = (box_top + box_height // 2, row_top + row_height // 2)
    after = picture_when(lumiseek, "colours", lambda p: [p.at(x, y) for y in mid] == [WHITE, WHITE])
    assert [after.at(x, y) for y in mid] == [WHITE, WHITE], "the box or the list kept its background"
    assert after.count(BLUE, *box) == after.count(YELLOW, *box) == 0, "text typed before kept the old colour"
    assert after.count(BLACK, *box) > 100, "no black text in the box"


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
