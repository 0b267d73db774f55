// What Lumiseek says: pending announcements, waiting, the beep, speed, volume and Esc; the shortcut keys
// and the announcement that names the pressed shortcut, and the user guide's tables of them and of both
// lists; the talking search box, what it speaks for each key and character, and its clipboard commands.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#include "actions/lists.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "base/text.h"
#include "fake_port.h"
#include "speech/search_box.h"
#include "speech/shortcuts.h"
#include "speech/speech.h"

namespace lumiseek {
namespace {

using Said = std::vector<Spoken>;

struct TonePort : test::FakePort {
    std::vector<std::pair<int, int>> tones;
    void Beep(int hertz, int ms) override { tones.emplace_back(hertz, ms); }
};

struct SpeechTest : ::testing::Test {
    TonePort port;
    App app{port};
};

TEST_F(SpeechTest, TheWelcomeIsSpokenAtStartWhenTheSearchBoxHasTheFocusAlready) {
    port.boxText = "tax";
    port.focused = ctl::SearchBox;  // the last results were shown with the focus on the search term
    DeferredInit(app);
    EXPECT_EQ(port.LastSpoken(), "Welcome to Lumiseek, version 4.2!SearchBox has focus. Search term is tax");
    EXPECT_EQ(app.SpeechPrefix, "");
}

TEST_F(SpeechTest, ThePendingAnnouncementGoesInFrontOfTheNextUtteranceOnceSpeechIsOn) {
    app.SpeechPrefix = "Shortcut Pressed: Louder : F6 : ";
    SpeakOne(app, "Louder");
    app.Results = {ResultRow{"<empty>"}};
    port.selectedRow = 1;
    SpeakColumn(app, 1);
    app.SpeechPrefix = "pending : ";
    SpeakOneWait(app, "Exiting Lumiseek");  // waits, and leaves the announcement for the next
    app.settings.DisableSpeech = 1;
    SpeakOne(app, "a");
    SpeakOneWait(app, "b");
    SpeakColumn(app, 1);
    ToggleDisableSpeech(app);  // switching speech on (and off) is itself spoken
    SpeakOne(app, "c");
    EXPECT_EQ(port.spoken, (Said{{"Shortcut Pressed: Louder : F6 : Louder", 3}, {"List is Empty", 3}, {"Exiting Lumiseek", 2},
                                 {"pending : Speech is Enabled", 3}, {"c", 3}}));
    ToggleDisableSpeech(app);
    EXPECT_EQ(port.spoken.back(), (Spoken{"Speech is Disabled", 3}));
}

TEST_F(SpeechTest, SpeedCyclesAfterSilencingTheVoiceAndTheVolumeKeysPressFiveTimes) {
    for (int i = 0; i < 3; ++i) ToggleSpeed(app);
    EXPECT_EQ(port.rates, (std::vector<int>{3, -3, 0}));
    EXPECT_EQ(port.spoken, (Said{{"", 3}, {"Fast speech is on!", 3}, {"", 3}, {"Slow speech is on!", 3},
                                 {"", 3}, {"Normal speech is on!", 3}}));
    SBeep(app);
    VolumeUp(app);  // five presses, each key down and up
    VolumeDown(app);
    MuteSpeakers(app);
    ASSERT_EQ(port.keys.size(), 21u);
    EXPECT_EQ(port.keys[0], std::make_pair(0xAF, 1));
    EXPECT_EQ(port.keys[19], std::make_pair(0xAE, 3));
    EXPECT_EQ(port.keys[20], std::make_pair(0xAD, 1));
    EXPECT_EQ(port.tones, (std::vector<std::pair<int, int>>(3, {275, 150})));
}

TEST_F(SpeechTest, EscapeSilencesThenLeavesAListForTheLastResultsThenEnds) {
    port.files["results.txt"] = "Size,Date Modified,Filename\r\n10,05/18/2023 09:05,\"C:\\Data\\annual.doc\"\r\n";
    app.Results = {ResultRow{"Speak Text"}};
    port.runningState = SPRS_IS_SPEAKING;  // speaking: Esc only silences the voice
    app.settings.SearchType = 5;
    Escape(app);
    EXPECT_EQ(port.spoken, (Said{{"", 3}}));
    port.runningState = 1;
    app.settings.LastSearchType = 3;
    Escape(app);
    EXPECT_EQ(app.settings.SearchType, 3);
    EXPECT_EQ(port.spoken.back(), (Spoken{"Returning to Last Results", 2}));
    EXPECT_EQ(RowNames(app), Texts{"annual.doc"});
    EXPECT_FALSE(port.ended);
    Escape(app);
    EXPECT_TRUE(port.ended);
}

TEST(AcceleratorTable, EachKeyRunsOneCommandWhoseLabelNamesThatKey) {
    std::set<int> commands, keys;
    for (const AccelEntry& e : AcceleratorTable()) {
        EXPECT_TRUE(commands.insert(e.command).second) << "command twice: " << e.command;
        EXPECT_TRUE(keys.insert(e.flags << 16 | e.key).second) << "key twice: " << e.key;
        if (e.key == 0x1B) continue;  // Escape has no label
        const std::string k(1, static_cast<char>(e.key));
        const std::string code = e.flags == kAccelVirtKey ? "F" + std::to_string(e.key - 0x70 + 1)
                                 : e.flags == (kAccelVirtKey | kAccelControl) ? "C-" + k
                                 : e.flags == (kAccelVirtKey | kAccelControl | kAccelShift) ? "CS-" + k : "?";
        const std::string label = CommandLabelText(e.command);
        EXPECT_TRUE(std::regex_match(label, std::regex("[A-Z][^:]*[^: ] +:: +" + code))) << label;
    }
    EXPECT_EQ(commands.size(), 64u);
}

// The user guide names every shortcut ("Ctrl+Shift+L - Increase Font Size") and every row of both
// lists on a line of its own, as the program says them, in lines short enough for a large font.
TEST_F(SpeechTest, UserGuideNamesShortcutsAndListRowsAsTheProgramDoes) {
    std::ifstream guide(LUMISEEK_GUIDE);
    ASSERT_TRUE(guide) << LUMISEEK_GUIDE;
    std::set<std::string> lines;
    for (std::string line; std::getline(guide, line); lines.insert(TrimSpaces(line)))
        EXPECT_LT(CharCount(line), 80u) << line;
    for (const AccelEntry& e : AcceleratorTable()) {
        if (e.key == 0x1B) continue;  // Escape has no label
        const std::string label = CommandLabelText(e.command), key = TrimSpaces(label.substr(label.find("::") + 2));
        const std::string keys = std::regex_replace(std::regex_replace(key, std::regex("^CS-"), "Ctrl+Shift+"),
                                                    std::regex("^C-"), "Ctrl+");
        EXPECT_EQ(lines.count(keys + " - " + TrimSpaces(label.substr(0, label.find("::")))), 1u) << label;
    }
    for (int row = 1; row <= kActionRows; ++row) EXPECT_EQ(lines.count(ActionRowText(row)), 1u) << row;
    for (int row = 1; row <= kSettingsRows; ++row) {
        const std::string text = SettingsRowText(app, row);
        EXPECT_EQ(lines.count(TrimSpaces(text.substr(0, text.rfind(" - ")))), 1u) << text;
    }
}

TEST_F(SpeechTest, ShortcutAnnouncementFollowsTheKeySettings) {
    struct Case { int include, minimal, command; const char* prefix; };
    const Case cases[] = {
        {1, 1, 532, "Shortcut Pressed: Speak Letters : C-N : "},
        {1, 1, 508, "Shortcut Pressed: Custom Search : C-I : "},
        {1, 0, 532, "Shortcut Pressed: Speak Letters : Control N : "},
        {1, 0, 564, "Shortcut Pressed: Wide Toolbar : Control Shift W : "},
        {1, 0, 541, "Shortcut Pressed: Use Ignore List : F10 : "}, {0, 0, 519, "Shortcut Pressed: Select All : "},
        {1, 0, 539, "unchanged"},  // commands without a label (Esc, the toolbar itself) are never announced
        {1, 1, ctl::Toolbar, "unchanged"},
    };
    for (const Case& c : cases) {
        app.settings.IncludeShortcutKey = c.include;
        app.settings.SpeakMinimalKey = c.minimal;
        app.SpeechPrefix = "unchanged";
        ControlIdLabel(app, c.command);
        SpeakShortcut(app, c.command);
        EXPECT_EQ(app.SpeechPrefix, c.prefix) << c.command;
    }
    for (const auto& [key, words] : {std::pair{"N", "Letter N"}, {"CA-X", "Control Alt X"}, {"Home", "..."}}) {
        app.ShortcutKey = key;
        ExpandKey(app);
        EXPECT_EQ(app.ShortcutKey, words);
    }
}

// --- the search box ---

constexpr int kNone = 0, kLetters = 1, kWords = 2, kBoth = 3;

struct SearchBoxTest : ::testing::Test {
    FakePort port;
    App app{port};
    SearchBoxTest() { port.focused = ctl::SearchBox; }

    bool Down(int key, bool shift = false, bool caps = false, bool ctrl = false) {
        return NewReProc(app, ReMessage::KeyDown, static_cast<uint32_t>(key), KeyState{shift, ctrl, caps});
    }
    void Up(int key, bool ctrl = false, bool caps = false) {
        NewReProc(app, ReMessage::KeyUp, static_cast<uint32_t>(key), KeyState{false, ctrl, caps});
    }
    bool Char(uint32_t c) { return NewReProc(app, ReMessage::Char, c, KeyState{}); }
    void Type(const std::string& upperCaseWord) {
        for (char c : upperCaseWord) Down(c);
    }
    void Box(const std::string& text, int from, int to) {
        port.boxText = text;
        port.selFrom = from;
        port.selTo = to;
    }
};

TEST_F(SearchBoxTest, InvalidCharactersAreRefusedByNameAndTheirKeysBeep) {
    app.settings.EnableSpeakLetters = kNone;  // a refusal is spoken whatever the mode
    EXPECT_TRUE(Char('#'));
    EXPECT_TRUE(Char(','));
    for (char32_t c : {U'a', U'*', U'"', U' ', U'|', U'\u00E9', U'\u03C0'}) EXPECT_FALSE(Char(c)) << uint32_t(c);
    EXPECT_TRUE(Char('\t'));  // the Tab that moves the focus never enters the box, silently
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Pound Sign : Invalid Search String Character",
                                         "Comma : Invalid Search String Character"}));
    port.spoken.clear();
    // Unshifted, their keys beep and are swallowed; Shift+Quote types an allowed double quote.
    app.settings.EnableSpeakLetters = kLetters;
    for (int key : {vk::BackQuote, vk::LeftBracket, vk::RightBracket, vk::Quote, vk::Comma}) EXPECT_TRUE(Down(key));
    EXPECT_FALSE(Down(vk::Quote, true));
    EXPECT_EQ(port.beeps, 5);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Double Quote"}));
}

TEST_F(SearchBoxTest, KeyDownsSpeakTheKeyTheWordOrNothingByTheMode) {
    // Letters (the default): Capital for exactly one of Shift and Caps Lock; "#" is refused, not named.
    for (bool shift : {false, true})
        for (bool caps : {false, true}) Down('A', shift, caps);
    for (int key : {int('8'), vk::Minus, int('3')}) Down(key, true);
    Down('9', false, true);  // the last digit key
    Down(vk::Space);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"A", "Capital A", "Capital A", "A", "Asterisk", "Under Score", "9", "Space : "}));
    port.spoken.clear();
    app.settings.EnableSpeakLetters = kWords;
    Type("HI");
    Down('5', true);
    Down(vk::Space);
    Type("GO");
    Down(vk::Space);
    app.settings.EnableSpeakLetters = kBoth;
    Type("AB");
    Down(vk::Equals, true);
    Down(vk::Equals);
    Down(vk::Period, true);  // ">" is refused when it arrives as a character: not in the word
    Down(vk::Space);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"HI%", "GO", "A", "B", "Plus", "Equal", "Greater Than", "Space : AB+="}));
    port.spoken.clear();
    app.settings.EnableSpeakLetters = kNone;  // key-downs say nothing, key-ups still speak
    for (int key : {int('A'), vk::Delete, vk::Back, vk::Space, vk::BackQuote}) EXPECT_FALSE(Down(key));
    EXPECT_EQ(port.beeps, 0);
    Up(vk::Capital, false, true);
    Up(vk::Home, true);
    Up('A');
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Cap ON", "Control Home : Start of Line : "}));
}

TEST_F(SearchBoxTest, DeleteBackspaceAndArrowsNameTheCharacterRemovedPassedOrSelected) {
    app.settings.EnableSpeakLetters = kWords;
    Type("ABC");
    Box("a.Cd", 4, 4);
    Down(vk::Delete);  // nothing right of the caret
    Box("a.Cd", 1, 3);  // a selection: its neighbours, not the selected text
    Down(vk::Delete);
    Down(vk::Back);
    Box("a.Cd", 3, 3);
    Down(vk::Back);
    // U+10000 and U+10FFFF, the first and the last of two UTF-16 units, are named whole.
    const std::string first = "\xF0\x90\x80\x80", last = "\xF4\x8F\xBF\xBF";
    Box("a" + first, 3, 3);
    Down(vk::Back);
    Box("a" + last, 1, 1);
    Down(vk::Delete);
    Box("ab", 7, 7);  // a stale caret beyond the text
    Down(vk::Back);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Delete ", "Delete d", "Erase a", "Erase Capital C", "Erase " + first,
                                         "Delete " + last, "Erase "}));
    EXPECT_EQ(app.WordBuffer, "");
    // Arrows name the character passed, or the one that joined or left the selection.
    port.spoken.clear();
    Box("aB c", 2, 2);
    Up(vk::Right);  // after passing "B"
    Up(vk::Left);   // after passing the blank
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Right Arrow : Capital B", "Left Arrow : Space"}));
    // With Shift: the box moves the selection between key-down and key-up.
    auto shiftArrow = [&](int key, int from, int to) {
        Down(key, true);
        port.selFrom = from, port.selTo = to;
        Up(key);
        return port.LastSpoken();
    };
    Box("aBcd", 2, 2);
    EXPECT_EQ(shiftArrow(vk::Right, 2, 3), "Right Arrow : c");        // joined at the end
    EXPECT_EQ(shiftArrow(vk::Left, 2, 2), "Left Arrow : c");          // left again
    EXPECT_EQ(shiftArrow(vk::Left, 1, 2), "Left Arrow : Capital B");  // joined at the start
}

TEST_F(SearchBoxTest, SpellingNamesPunctuationAndKeepsCharactersWhole) {
    port.boxText = " a*b?\\:.,_-\xF0\x9F\x98\x80Z\xC3\xA9";
    OnCommand(app, cmd::SpellSearchTerm, 0);
    EXPECT_EQ(port.LastSpoken(),
              "Spelling Search Term: space : a :  asterisk : b :  question mark :  backslash :  colon :  period :  "
              "comma :  underscore :  dash : \xF0\x9F\x98\x80 : Z : \xC3\xA9 :");
    app.Results = {ResultRow{"Docs", "c:\\", "", "", "", 0, 1}};
    port.selectedRow = 1;
    OnCommand(app, cmd::SpellName, 0);
    EXPECT_EQ(port.LastSpoken(), "Spelling File Name: ( : f : ) :  space : D : o : c : s :");
    std::string typed;  // what each character typed in the box is called
    for (char c : std::string(" `~?.!;:<>='/,[]{}\\|-_+*@#$%^&()\r")) typed += CharDescription(std::string(1, c)) + "|";
    EXPECT_EQ(typed, "Space|Back Quote|Tilde|Question Mark|Period|Exclamation Point|SemiColon|Colon|Less Than|"
                     "Greater Than|Equal|Apostrophe|Forward Slash|Comma|Left Bracket|Right Bracket|Left Curly Bracket|"
                     "Right Curly Bracket|Back Slash|Pipe|Dash|Underline|Plus Sign|Asterisk|At Sign|Pound Sign|"
                     "Dollar Sign|Per Cent|Caret|Ampersand|Left Parenthesis|Right Parenthesis| New Line|");
}

TEST_F(SearchBoxTest, CopyCutAndPasteKeysSayWhatTheyDidAndUndoIsSwallowed) {
    Box("budget*", 0, 6);
    OnCommand(app, cmd::CopySearchTerm, 0);
    EXPECT_EQ(port.clipboard, "budget");
    Box("budget*", 3, 3);
    EXPECT_TRUE(Down(vk::Insert, false, false, true));  // Ctrl+Insert: nothing selected, the whole term
    EXPECT_EQ(port.clipboard, "budget*");
    Box("big report", 3, 10);
    EXPECT_TRUE(Down('X', true, false, true));  // Ctrl+Shift+X
    EXPECT_EQ(port.clipboard, " report");
    EXPECT_TRUE(Down(vk::Delete, true));  // Shift+Delete, nothing selected now
    EXPECT_EQ(port.boxText, "big");
    port.SetClipboardText("#new\nsecond line");
    Box("old text", 4, 8);
    EXPECT_TRUE(Down(vk::Insert, true));        // Shift+Insert
    EXPECT_TRUE(Down('V', true, false, true));  // Ctrl+Shift+V
    for (int key : {'Z', 'Y'}) EXPECT_TRUE(Down(key, false, false, true) && Down(key, true, false, true));
    EXPECT_EQ(port.boxText, "old #new#new");  // the first line only, not checked for invalid characters
    app.Results = {ResultRow{"a.txt", "c:\\data\\"}};
    port.focused = ctl::ResultsList;
    port.selectedRow = 1;
    ReCopy(app);
    EXPECT_EQ(port.clipboard, "c:\\data\\");
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Selection from Search String  Was Copied", "Selection Copied",
                                         "Entire Search String  Was Copied", "Selection Copied", "Selection Cut",
                                         "No Selection", "Clipboard Pasted", "Clipboard Pasted", "Path Copied"}));
    EXPECT_EQ(port.beeps, 6);
    port.focused = ctl::SearchBox;
    EXPECT_FALSE(Down(vk::Delete));  // plain Delete is the box's own
}

TEST_F(SearchBoxTest, RefusalsAndABusyClipboardSayWhyAndLoseNothing) {
    port.SetClipboardText("\r\nbelow");
    port.clipboardLocked = true;  // another program holds the clipboard open
    app.Results = {ResultRow{"a.txt", "c:\\data\\"}};
    Box("big", 1, 1);
    ReCut(app);
    RePaste(app);
    port.selFrom = 0;
    OnCommand(app, cmd::Cut, 0);
    port.focused = ctl::ResultsList;  // no row selected
    ReCopy(app);
    port.focused = ctl::Toolbar;
    ReCopy(app);
    ReCut(app);
    RePaste(app);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"No Selection", "No Text On Clipboard", "Clipboard not Available",
                                         "No Selection", "Copy Option not Available",
                                         "Cut Option not Available", "Paste Option not Available"}));
    EXPECT_EQ(port.boxText, "big");
    EXPECT_EQ(port.clipboard, "\r\nbelow");
}

}  // namespace
}  // namespace lumiseek
