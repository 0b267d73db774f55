"""The talking search box from end to end: the start-up utterance, key and character speech in the
speaking modes, refusal of invalid characters, spelling, and the colour and font commands seen in
screenshots."""
import subprocess

import harness

WELCOME = "Welcome to Lumiseek, version 4.2!"
ANNOUNCE = "SearchBox has focus. Search term is "


def start(run, **settings):
    """Starts with the toolbar hidden (the box at the top of the client area), no shortcut
    announcements in front of the spoken results, and the given settings; waits for the welcome."""
    values = {"ShowToolbar": "0", "SpeakShortcuts": "0"}
    values.update({k: str(v) for k, v in settings.items()})
    run.start(settings=harness.settings_file(values))
    run.wait_voice(lambda lines: any(WELCOME in line for line in lines), timeout=30)


def texts_after(run, after):
    """Texts of the Speak calls from voice log line `after` on."""
    return [line.partition("\t")[2] for line in run.voice_lines()[after:] if line.partition("\t")[0].isdigit()]


def say_after(run, keys, expected, type_text=None):
    """Presses keys (or types text) and waits for the spoken line `expected`; returns every text
    spoken from the press on."""
    mark = run.mark()
    if type_text is not None:
        run.type(type_text)
    else:
        run.key(*keys)
    run.wait_voice("3\t" + expected, after=mark)
    return texts_after(run, mark)


def box_text(run):
    """The box's text, read back as the user does: Ctrl+L speaks it unchanged."""
    mark = run.mark()
    run.key("ctrl+l")
    lines = run.wait_voice(lambda new: len(new) >= 1, after=mark)
    return lines[0].partition("\t")[2]


class Picture:
    """The pixels of a screenshot, read through ImageMagick as 8-bit RGB."""

    def __init__(self, png):
        data = subprocess.run(["convert", str(png), "-alpha", "off", "-depth", "8", "ppm:-"],
                              stdout=subprocess.PIPE, check=True, timeout=60).stdout
        fields = data.split(maxsplit=4)
        assert fields[0] == b"P6" and fields[3] == b"255"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.rgb = fields[4]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return "#%02X%02X%02X" % tuple(self.rgb[i:i + 3])

    def runs(self, x, colour):
        """(top, length) of every vertical run of `colour` in column x."""
        out, top = [], None
        for y in range(self.height + 1):
            inside = y < self.height and self.at(x, y) == colour
            if inside and top is None:
                top = y
            elif not inside and top is not None:
                out.append((top, y - top))
                top = None
        return out

    def count(self, colour, left, top, right, bottom):
        return sum(1 for y in range(top, bottom) for x in range(left, right) if self.at(x, y) == colour)


def test_start_up_speaks_the_welcome_and_the_box_as_one_utterance(lumiseek):
    start(lumiseek, SearchTerm="old*report?")
    lumiseek.wait_voice(lambda lines: any(WELCOME in line for line in lines))
    welcome = [text for _, text in lumiseek.spoken() if WELCOME in text]
    assert welcome == [WELCOME + ANNOUNCE + "old *report ?"]


def test_letters_mode_names_each_key_and_invalid_characters_never_enter(lumiseek):
    start(lumiseek, EnableSpeakLetters=1, SearchTerm="texas")
    spoken = say_after(lumiseek, None, "B", type_text="ab")
    assert spoken == ["A", "B"]
    assert box_text(lumiseek) == "ab"

    spoken = say_after(lumiseek, None, "Pound Sign : Invalid Search String Character", type_text="#")
    assert spoken == ["Pound Sign : Invalid Search String Character"]
    assert box_text(lumiseek) == "ab"
    # The back-quote key beeps on key-down; the character it still produces is refused in words.
    say_after(lumiseek, ["grave"], "Back Quote : Invalid Search String Character")
    say_after(lumiseek, ["BackSpace"], "Erase b")
    assert box_text(lumiseek) == "a"


def test_words_mode_speaks_the_word_at_space_and_still_refuses(lumiseek):
    start(lumiseek, EnableSpeakLetters=2, SearchTerm="texas")
    spoken = say_after(lumiseek, None, "CAT", type_text="cat ")
    assert spoken == ["CAT"]
    say_after(lumiseek, None, "Dollar Sign : Invalid Search String Character", type_text="$")
    assert box_text(lumiseek) == "cat "


def test_arrows_name_the_character_passed_and_ctrl_m_spells(lumiseek):
    start(lumiseek, SearchTerm="Te*x")
    say_after(lumiseek, ["Home"], "Home Key : Start of Line : ")
    say_after(lumiseek, ["Right"], "Right Arrow : Capital T")
    say_after(lumiseek, ["Right"], "Right Arrow : e")
    say_after(lumiseek, ["ctrl+m"], "Spelling Search Term: T : e :  asterisk : x :")


def window_columns(run):
    """Two x of the screen: the window's left edge plus a little, and an x inside the search box
    and the list that lies right of any text and column line."""
    geometry = dict(line.split("=", 1) for line in
                    run.session.x("xdotool", "getwindowgeometry", "--shell", run.window).split())
    left = int(geometry["X"])
    return left + 15, left + int(geometry["WIDTH"]) - 60


def picture_when(run, name, check, timeout=15):
    """Screenshots until check(picture) holds (the window may still be repainting); returns the picture."""
    state = {}

    def ready():
        state["picture"] = Picture(run.screenshot(name))
        return check(state["picture"])

    try:
        harness.poll(ready, timeout, interval=0.5, what="the screenshot " + name)
    except AssertionError:
        pass
    return state["picture"]


BLUE, YELLOW, WHITE, BLACK = "#0000FF", "#FFFF00", "#FFFFFF", "#000000"


def test_colour_command_turns_the_box_black_on_white_and_the_list_follows(lumiseek):
    start(lumiseek, SearchTerm="texas")
    say_after(lumiseek, ["End"], "End Key : End of Line : ")  # no selection highlight over the text
    left, x = window_columns(lumiseek)
    before = picture_when(lumiseek, "colours-before", lambda p: len(p.runs(x, BLUE)) >= 2)
    (box_top, box_height), (row_top, row_height) = before.runs(x, BLUE)[:2]
    box = (left, box_top, x, box_top + box_height)
    assert before.count(YELLOW, *box) > 100, "no yellow text in the box"
    assert before.count(BLACK, *box) == 0

    lumiseek.key("ctrl+y")
    after = picture_when(lumiseek, "colours-after",
                         lambda p: p.at(x, box_top + box_height // 2) == WHITE and
                         p.at(x, row_top + row_height // 2) == WHITE)
    assert after.at(x, box_top + box_height // 2) == WHITE
    assert after.at(x, row_top + row_height // 2) == WHITE, "the list kept its background"
    assert after.count(BLUE, *box) == 0
    assert after.count(YELLOW, *box) == 0, "text typed before kept the old colour"
    assert after.count(BLACK, *box) > 100, "no black text in the box"


def test_larger_font_makes_the_box_taller_by_the_layout_rule(lumiseek):
    start(lumiseek, SearchTerm="texas")
    say_after(lumiseek, ["End"], "End Key : End of Line : ")
    _, x = window_columns(lumiseek)
    before = picture_when(lumiseek, "font-before", lambda p: len(p.runs(x, BLUE)) >= 2)
    (box_top, box_height), (row_top, _) = before.runs(x, BLUE)[:2]

    say_after(lumiseek, ["ctrl+shift+l"], "Font Size is  40")
    grown = round(2.7 * 40) - round(2.7 * 36)
    after = picture_when(lumiseek, "font-after", lambda p: p.runs(x, BLUE)[0][1] == box_height + grown)
    (new_top, new_height), (new_row_top, _) = after.runs(x, BLUE)[:2]
    assert (new_top, new_height) == (box_top, box_height + grown)
    assert new_row_top > row_top + grown, "the list did not move down below the taller box"

    # One notch of the wheel down, over the box, steps back by 4 points.
    left, _ = window_columns(lumiseek)
    mark = lumiseek.mark()
    lumiseek.session.x("xdotool", "mousemove", left + 300, box_top + box_height // 2, "click", "5")
    lumiseek.wait_voice("3\tFont Size is  36", after=mark)
    back = picture_when(lumiseek, "font-wheel", lambda p: p.runs(x, BLUE)[0][1] == box_height)
    assert back.runs(x, BLUE)[0] == (box_top, box_height)


def test_box_clipboard_commands_and_their_refusals(lumiseek):
    start(lumiseek, EnableSpeakLetters=0, SearchTerm="texas")
    say_after(lumiseek, None, "Ampersand : Invalid Search String Character", type_text="&")
    say_after(lumiseek, ["ctrl+a"], "Select All")
    say_after(lumiseek, ["ctrl+x"], "Selection Cut")
    assert lumiseek.clipboard() == "texas"
    assert box_text(lumiseek) == ""
    say_after(lumiseek, ["ctrl+x"], "No Selection")
    say_after(lumiseek, ["ctrl+v"], "Clipboard Pasted")
    assert box_text(lumiseek) == "texas"
    spoken = say_after(lumiseek, ["ctrl+c"], "Selection Copied")
    assert spoken == ["Entire Search String  Was Copied", "Selection Copied"]


def test_with_shortcuts_announced_no_announcement_outlives_its_command(lumiseek):
    """Speak Shortcuts on: Esc prepares nothing, F9 and Ctrl+8 carry their announcement, the box's
    own editing keys say what they did, and Shift+arrows name the character that joined or left
    the selection. Every typed letter afterwards is spoken alone."""
    start(lumiseek, SpeakShortcuts=1, EnableSpeakLetters=1, SearchTerm="texas")

    def pressed(keys, expected):
        """The keys' last utterance, which must end with `expected`; waits for it."""
        mark = lumiseek.mark()
        lumiseek.key(*keys)
        lines = lumiseek.wait_voice(lambda new: any(l.endswith("\t" + expected) or l.endswith(" : " + expected)
                                                    for l in new), after=mark)
        return [line.partition("\t")[2] for line in lines if line.partition("\t")[0].isdigit()]

    # Esc while the voice speaks only silences it, and leaves nothing for the next letter.
    lumiseek.speaking(True)
    mark = lumiseek.mark()
    lumiseek.key("Escape")
    lumiseek.wait_voice("3\t", after=mark)
    lumiseek.speaking(False)
    lumiseek.key("End")
    assert pressed(["a"], "A")[-1] == "A"

    assert pressed(["F9"], "Speech is Disabled") == ["Shortcut Pressed: Disable Speech : F9 : Speech is Disabled"]
    assert pressed(["F9"], "Speech is Enabled") == ["Shortcut Pressed: Disable Speech : F9 : Speech is Enabled"]
    assert pressed(["b"], "B") == ["B"]
    assert pressed(["ctrl+8"], "Fast speech is on!")[-1] == "Shortcut Pressed: Speech Speed : C-8 : Fast speech is on!"
    assert pressed(["c"], "C") == ["C"]
    lumiseek.key("ctrl+shift+n")  # the next toolbar page speaks nothing
    assert pressed(["d"], "D") == ["D"]
    assert box_text(lumiseek).endswith("texasabcd")

    # The box's own paste, cut, copy, undo and redo keys.
    pressed(["ctrl+a"], "Select All")
    assert pressed(["ctrl+shift+x"], "Selection Cut") == ["Selection Cut"]
    assert lumiseek.clipboard() == "texasabcd"
    assert pressed(["shift+Delete"], "No Selection") == ["No Selection"]
    assert pressed(["shift+Insert"], "Clipboard Pasted") == ["Clipboard Pasted"]
    assert pressed(["ctrl+shift+v"], "Clipboard Pasted") == ["Clipboard Pasted"]
    mark = lumiseek.mark()
    lumiseek.key("ctrl+shift+z", "ctrl+shift+y")
    assert box_text(lumiseek).endswith("texasabcdtexasabcd")
    assert texts_after(lumiseek, mark)[:-1] == [], "undo or redo spoke or changed the box"
    pressed(["ctrl+a"], "Select All")
    assert pressed(["shift+Delete"], "Selection Cut") == ["Selection Cut"]
    assert pressed(["shift+Insert"], "Clipboard Pasted") == ["Clipboard Pasted"]
    assert pressed(["ctrl+Insert"], "Selection Copied")[-1] == "Selection Copied"

    # Shift+arrows from the end of "texasabcdtexasabcd".
    lumiseek.key("End")
    assert pressed(["shift+Left"], "Left Arrow : d") == ["Left Arrow : d"]
    assert pressed(["shift+Left"], "Left Arrow : c") == ["Left Arrow : c"]
    assert pressed(["shift+Right"], "Right Arrow : c") == ["Right Arrow : c"]
    lumiseek.screenshot("selection")
    assert not [text for _, text in lumiseek.spoken() if "Unknown Shortcut" in text]
