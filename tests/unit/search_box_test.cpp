#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app.h"
#include "app/dispatch.h"
#include "base/ids.h"
#include "fake_port.h"
#include "speech/search_box.h"

namespace lumiseek {
namespace {

using test::FakePort;
using test::Spoken;

constexpr int kNone = 0, kLetters = 1, kWords = 2, kBoth = 3;

struct SearchBoxTest : ::testing::Test {
    FakePort port;
    App app{port};

    SearchBoxTest() { port.focused = ctl::SearchBox; }

    bool Down(int key, bool shift = false, bool caps = false) {
        return NewReProc(app, ReMessage::KeyDown, static_cast<uint32_t>(key), KeyState{shift, false, caps});
    }
    bool Up(int key, bool ctrl = false, bool caps = false) {
        return NewReProc(app, ReMessage::KeyUp, static_cast<uint32_t>(key), KeyState{false, ctrl, caps});
    }
    bool Char(char c) { return NewReProc(app, ReMessage::Char, static_cast<unsigned char>(c), KeyState{}); }
    // Key-down of each letter of an upper-case word, as the keyboard sends it.
    void TypeWord(const std::string& word) {
        for (char c : word) Down(c);
    }
    void Box(const std::string& text, int from, int to) {
        port.boxText = text;
        port.selFrom = from;
        port.selTo = to;
    }
};

// --- focus and typed characters ---

TEST_F(SearchBoxTest, FocusAfterStartUpSpeaksTheWelcomeAndTheSpreadTermAsOneUtterance) {
    port.boxText = "re*port?";
    DeferredInit(app);
    EXPECT_FALSE(NewReProc(app, ReMessage::Focus, 0, {}));
    ASSERT_EQ(port.spoken.size(), 1u);
    EXPECT_EQ(port.spoken[0],
              (Spoken{"Welcome to Lumiseek, version 4.2!SearchBox has focus. Search term is re *port ?", 3}));
    EXPECT_EQ(app.settings.SearchTerm, "re*port?");

    port.boxText = "   ";
    NewReProc(app, ReMessage::Focus, 0, {});
    EXPECT_EQ(port.LastSpoken(), "SearchBox has focus. Search term is Empty");

    port.boxText = std::string(120, 'x');
    NewReProc(app, ReMessage::Focus, 0, {});
    EXPECT_EQ(app.settings.SearchTerm, std::string(99, 'x'));
}

TEST_F(SearchBoxTest, InvalidCharactersAreRefusedInWordsInEveryMode) {
    const std::string invalid = "`~@#$^&[{]};'<>,";
    const std::vector<std::string> names = {"Back Quote", "Tilde", "At Sign", "Pound Sign", "Dollar Sign", "Caret",
                                            "Ampersand", "Left Bracket", "Left Curly Bracket", "Right Bracket",
                                            "Right Curly Bracket", "SemiColon", "Apostrophe", "Less Than",
                                            "Greater Than", "Comma"};
   for (int mode : {kNone, kLetters, kWords, kBoth}) {
        app.settings.EnableSpeakLetters = mode;
        for (size_t i = 0; i < invalid.size(); ++i) {
            EXPECT_TRUE(Char(invalid[i])) << invalid[i];
            EXPECT_EQ(port.LastSpoken(), names[i] + " : Invalid Search String Character");
        }
    }
    port.spoken.clear();
    for (char c : std::string("aZ09*?!%()-_=+\\|./:\" "))
        EXPECT_FALSE(Char(c)) << c;
    EXPECT_TRUE(port.spoken.empty());
}

// --- key-down speech ---

TEST_F(SearchBoxTest, LettersModeNamesEachKeyWithCapitalForExactlyOneOfShiftAndCapsLock) {
    Down('A');
    Down('A', true, false);
    Down('A', false, true);
    Down('A', true, true);
    Down(vk::Space);
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{"A", "Capital A", "Capital A", "A", "Space : "}));
    EXPECT_EQ(app.WordBuffer, "");
}

TEST_F(SearchBoxTest, WordsModeSpeaksTheTypedWordAtSpaceOnly) {
    app.settings.EnableSpeakLetters = kWords;
    TypeWord("HI");
    Down('5', true);
    EXPECT_TRUE(port.spoken.empty());
    Down(vk::Space);
    EXPECT_EQ(port.LastSpoken(), "HI%");
    EXPECT_EQ(app.WordBuffer, "");
    // An empty buffer speaks the empty text, which carries a pending prefix.
    app.SpeechPrefix = "pending";
    Down(vk::Space);
    EXPECT_EQ(port.spoken.back(), (Spoken{"pending", 3}));
}

TEST_F(SearchBoxTest, BothModeSpeaksEachKeyAndThenSpaceWithTheWord) {
    app.settings.EnableSpeakLetters = kBoth;
    TypeWord("GO");
    Down(vk::Space);
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{"G", "O", "Space : GO"}));
}

TEST_F(SearchBoxTest, NoneModeIsSilentButKeyUpsStillSpeak) {
    app.settings.EnableSpeakLetters = kNone;
    Box("ab", 1, 1);
    for (int key : {int('A'), vk::Delete, vk::Back, vk::Space, vk::BackQuote}) EXPECT_FALSE(Down(key));
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(port.beeps, 0);
    EXPECT_EQ(app.KeyName, "");
    Up(vk::Home);
    EXPECT_EQ(port.LastSpoken(), "Home Key : Start of Line : ");
}

TEST_F(SearchBoxTest, UnshiftedKeysOfRefusedCharactersBeepAndAreSwallowed) {
    for (int key : {vk::BackQuote, vk::LeftBracket, vk::RightBracket, vk::Quote, vk::Comma}) {
        EXPECT_TRUE(Down(key)) << key;
    }
    EXPECT_EQ(port.beeps, 5);
    EXPECT_TRUE(port.spoken.empty());
    // With Shift the quote key types a double quote, which is allowed and named.
    EXPECT_FALSE(Down(vk::Quote, true));
    EXPECT_EQ(port.LastSpoken(), "Double Quote");
    EXPECT_EQ(port.beeps, 5);
}

TEST_F(SearchBoxTest, ShiftAloneAndShiftedDigitsOfInvalidCharactersSayNothingOnKeyDown) {
    for (int mode : {kLetters, kWords, kBoth}) {
        app.settings.EnableSpeakLetters = mode;
        for (int key : {vk::Shift, int('2'), int('3'), int('4'), int('6'), int('7'), vk::Control}) EXPECT_FALSE(Down(key, true));
    }
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(app.WordBuffer, "");
}

TEST_F(SearchBoxTest, ARefusedCharacterDoesNotJoinTheWord) {
    app.settings.EnableSpeakLetters = kBoth;
    TypeWord("AB");
    Down(vk::Period, true);  // ">" is refused when it arrives as a character
    EXPECT_EQ(port.LastSpoken(), "Greater Than");
    Down(vk::Space);
    EXPECT_EQ(port.LastSpoken(), "Space : AB");
}

TEST_F(SearchBoxTest, DeleteAndBackspaceNameTheCharacterTheyRemove) {
    app.settings.EnableSpeakLetters = kWords;
    TypeWord("ABC");
    Box("a.Cd", 4, 4);
    Down(vk::Delete);
    EXPECT_EQ(port.LastSpoken(), "Delete ");
    Box("a.Cd", 0, 0);
    Down(vk::Back);
    EXPECT_EQ(port.LastSpoken(), "Erase ");
    // With a selection: the neighbours of the selection, not the selected text.
    Box("a.Cd", 1, 3);
    Down(vk::Delete);
    EXPECT_EQ(port.LastSpoken(), "Delete d");
    Down(vk::Back);
    EXPECT_EQ(port.LastSpoken(), "Erase a");
    Box("a.Cd", 3, 3);
    Down(vk::Back);
    EXPECT_EQ(port.LastSpoken(), "Erase Capital C");
    // Each shortened the word from its end, and an empty word stays empty.
    EXPECT_EQ(app.WordBuffer, "");
    Down(vk::Back);
    EXPECT_EQ(app.WordBuffer, "");
}

TEST(GetKeyInfoTest, EveryNamedKey) {
    FakePort port;
    App app{port};
    struct Case {
        int key;
        bool shift;
        const char* name;
        const char* ch;
    };
    const Case cases[] = {
        {'Q', false, "Q", "Q"}, {'7', false, "7", "7"}, {'1', true, "Exclamation Mark", "!"},
        {'5', true, "Percent Sign", "%"}, {'8', true, "Asterisk", "*"}, {'9', true, "Left Parenthesis", "("},
        {'0', true, "Right Parenthesis", ")"}, {vk::Minus, false, "Dash", "-"},
        {vk::Minus, true, "Under Score", "_"}, {vk::Subtract, false, "Dash", "-"}, {vk::Subtract, true, "Dash", "-"},
        {vk::Equals, false, "Equal", "="}, {vk::Equals, true, "Plus", "+"},
        {vk::Backslash, false, "Back Slash", "\\"}, {vk::Backslash, true, "Pipe", "|"},
        {vk::Period, false, "Period", "."}, {vk::Period, true, "Greater Than", ">"},
        {vk::Slash, false, "Forward Slash", "/"}, {vk::Slash, true, "Question Mark", "?"},
        {vk::Semicolon, true, "Colon", ":"}, {vk::Quote, true, "Double Quote", "\""}, {vk::Space, false, "Space", " "},
        // Keys never spoken leave both empty, even after a named key.
        {'3', true, "", ""}, {vk::Semicolon, false, "", ""}, {vk::Quote, false, "", ""}, {vk::Delete, false, "", ""},
        {96, false, "", ""}, {112, false, "", ""},  // keypad 0, F1
    };
    for (const Case& c : cases) {
        GetKeyInfo(app, 'Z', {});
        GetKeyInfo(app, c.key, KeyState{c.shift, false, false});
        EXPECT_EQ(app.KeyName, c.name) << c.key << " shift " << c.shift;
        EXPECT_EQ(app.KeyChar, c.ch) << c.key << " shift " << c.shift;
    }
    // Caps Lock changes letters only.
    GetKeyInfo(app, '4', KeyState{false, false, true});
    EXPECT_EQ(app.KeyName, "4");
    GetKeyInfo(app, 'B', KeyState{false, false, true});
    EXPECT_EQ(app.KeyName, "Capital B");
    EXPECT_EQ(app.KeyChar, "B");
}

// --- key-up speech ---

TEST_F(SearchBoxTest, ArrowsNameTheCharacterPassed) {
    app.settings.EnableSpeakLetters = kNone;
    Box("aB c", 2, 2);  // after Right Arrow over "B"
    Up(vk::Right);
    EXPECT_EQ(port.LastSpoken(), "Right Arrow : Capital B");
    Box("aB c", 1, 1);  // after Right Arrow over "a"
    Up(vk::Right);
    EXPECT_EQ(port.LastSpoken(), "Right Arrow : a");
    Box("aB c", 2, 2);  // after Left Arrow over the blank
    Up(vk::Left);
    EXPECT_EQ(port.LastSpoken(), "Left Arrow : Space");
    Box("aB c", 4, 4);
    Up(vk::Right);
    EXPECT_EQ(port.LastSpoken(), "Right Arrow : c");
    Up(vk::Left);
    EXPECT_EQ(port.LastSpoken(), "Left Arrow : ");
}

TEST_F(SearchBoxTest, ShiftArrowsNameTheCharacterThatJoinedOrLeftTheSelection) {
    app.settings.EnableSpeakLetters = kNone;
    // The box moves the selection between key-down and key-up.
    auto shiftArrow = [&](int key, int from, int to) {
        Down(key, true);
        port.selFrom = from;
        port.selTo = to;
        Up(key);
        return port.LastSpoken();
    };
    Box("aBcd", 2, 2);
    EXPECT_EQ(shiftArrow(vk::Right, 2, 3), "Right Arrow : c");          // joined at the end
    EXPECT_EQ(shiftArrow(vk::Right, 2, 4), "Right Arrow : d");
    EXPECT_EQ(shiftArrow(vk::Left, 2, 3), "Left Arrow : d");            // left again
    EXPECT_EQ(shiftArrow(vk::Left, 2, 2), "Left Arrow : c");
    EXPECT_EQ(shiftArrow(vk::Left, 1, 2), "Left Arrow : Capital B");    // joined at the start
    EXPECT_EQ(shiftArrow(vk::Right, 2, 2), "Right Arrow : Capital B");  // left again
    Box("aBcd", 4, 4);
    EXPECT_EQ(shiftArrow(vk::Right, 4, 4), "Right Arrow : ");  // nothing beyond the end
    // Without Shift the arrow names the character the caret passed, as before.
    Box("aBcd", 1, 3);
    Down(vk::Left);
    port.selTo = 1;
    Up(vk::Left);
    EXPECT_EQ(port.LastSpoken(), "Left Arrow : Capital B");
}

TEST_F(SearchBoxTest, EditingKeysOfTheBoxItselfNeverChangeItSilently) {
    auto key = [&](int vk, bool shift, bool ctrl) {
        return NewReProc(app, ReMessage::KeyDown, static_cast<uint32_t>(vk), KeyState{shift, ctrl, false});
    };
    for (int mode : {kNone, kLetters}) {
        app.settings.EnableSpeakLetters = mode;
        port.SetClipboardText("pasted\r\nsecond");
        Box("abc", 1, 1);
        EXPECT_TRUE(key(vk::Insert, true, false));  // Shift+Insert pastes the first line
        EXPECT_EQ(port.boxText, "apastedbc");
        EXPECT_EQ(port.LastSpoken(), "Clipboard Pasted");
        port.selFrom = 0;
        EXPECT_TRUE(key('X', true, true));  // Ctrl+Shift+X cuts
        EXPECT_EQ(port.clipboard, "apasted");
        EXPECT_EQ(port.LastSpoken(), "Selection Cut");
        EXPECT_TRUE(key(vk::Delete, true, false));  // Shift+Delete with nothing selected
        EXPECT_EQ(port.LastSpoken(), "No Selection");
        EXPECT_TRUE(key('V', true, true));
        EXPECT_EQ(port.boxText, "apastedbc");
        EXPECT_TRUE(key(vk::Insert, false, true));  // Ctrl+Insert copies
        EXPECT_EQ(port.LastSpoken(), "Selection Copied");
        EXPECT_EQ(port.clipboard, "apastedbc");
        size_t said = port.spoken.size();
        for (int undo : {'Z', 'Y'}) {
            EXPECT_TRUE(key(undo, false, true));
            EXPECT_TRUE(key(undo, true, true));
        }
        EXPECT_EQ(port.spoken.size(), said);
        EXPECT_EQ(port.boxText, "apastedbc");
        EXPECT_FALSE(key(vk::Delete, false, false));  // plain Delete is the box's own
    }
}

TEST_F(SearchBoxTest, CapsLockHomeAndEndOnKeyUp) {
    Up(vk::Capital, false, true);
    Up(vk::Capital, false, false);
    Up(vk::Home);
    Up(vk::Home, true);
    Up(vk::End);
    Up(vk::End, true);
    Up('A');
    EXPECT_EQ(port.SpokenTexts(),
              (std::vector<std::string>{"Cap ON", "Cap OFF", "Home Key : Start of Line : ",
                                        "Control Home : Start of Line : ", "End Key : End of Line : ",
                                        "Control End : End of Line : "}));
}

// --- characters of the box ---

TEST(CharDescriptionTest, EveryRow) {
    // Then: upper case (É, Cyrillic Zhe) and everything else, the empty text included.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {" ", "Space"}, {"`", "Back Quote"}, {"~", "Tilde"}, {"?", "Question Mark"}, {".", "Period"},
        {"!", "Exclamation Point"}, {";", "SemiColon"}, {":", "Colon"}, {"<", "Less Than"}, {">", "Greater Than"},
        {"=", "Equal"}, {"'", "Apostrophe"}, {"/", "Forward Slash"}, {",", "Comma"}, {"[", "Left Bracket"},
        {"]", "Right Bracket"}, {"{", "Left Curly Bracket"}, {"}", "Right Curly Bracket"}, {"\\", "Back Slash"},
        {"|", "Pipe"}, {"-", "Dash"}, {"_", "Underline"}, {"+", "Plus Sign"}, {"*", "Asterisk"}, {"@", "At Sign"},
        {"#", "Pound Sign"}, {"$", "Dollar Sign"}, {"%", "Per Cent"}, {"^", "Caret"}, {"&", "Ampersand"},
        {"(", "Left Parenthesis"}, {")", "Right Parenthesis"}, {"\r", " New Line"}, {"Q", "Capital Q"},
        {"\xC3\x89", "Capital \xC3\x89"}, {"\xD0\x96", "Capital \xD0\x96"}, {"q", "q"}, {"\xC3\xA9", "\xC3\xA9"},
        {"7", "7"}, {"\"", "\""}, {"", ""},
    };
    for (const auto& [ch, description] : rows) EXPECT_EQ(CharDescription(ch), description) << ch;
}

TEST(CharDescriptionTest, CapitalsBeyondLatin1GreekAndCyrillicAreNamedCapital) {
    // Romanian S comma, Vietnamese A circumflex acute, O horn, Armenian Ayb, fullwidth A, sharp S.
    for (const std::string upper : {"\xC8\x98", "\xE1\xBA\xA4", "\xC6\xA0", "\xD4\xB1", "\xEF\xBC\xA1", "\xE1\xBA\x9E"})
        EXPECT_EQ(CharDescription(upper), "Capital " + upper) << upper;
    // Their small letters, and signs that are not letters, are the character itself.
    for (const std::string other : {"\xC8\x99", "\xE1\xBA\xA5", "\xC6\xA1", "\xD5\xA1", "\xEF\xBD\x81", "\xC3\x9F",
                                    "\xE2\x82\xAC", "\xC3\x97"})
        EXPECT_EQ(CharDescription(other), other) << other;
}

TEST_F(SearchBoxTest, CharactersBesideTheCaretCountUtf16UnitsAndKeepSurrogatePairsWhole) {
    const std::string grin = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    Box("a" + grin + "b", 3, 3);
    EXPECT_EQ(CharToLeft(app), grin);
    EXPECT_EQ(CharToRight(app), "b");
    Box("a" + grin + "b", 1, 1);
    EXPECT_EQ(CharToLeft(app), "a");
    EXPECT_EQ(CharToRight(app), grin);
    Box("ab", 0, 2);
    EXPECT_EQ(CharToLeft(app), "");
    EXPECT_EQ(CharToRight(app), "");
    Box("ab", 7, 7);  // a stale position past the end
    EXPECT_EQ(CharToLeft(app), "");
    EXPECT_EQ(CharToRight(app), "");
    Box("", 0, 0);
    EXPECT_EQ(CharToLeft(app), "");
}

// --- spelling ---

TEST_F(SearchBoxTest, SpellSearchTermNamesPunctuationAndTrims) {
    port.boxText = " a*b?\\:.,_-Z\xC3\xA9";
    SpellSearchTerm(app);
    EXPECT_EQ(port.LastSpoken(),
              "Spelling Search Term: space : a :  asterisk : b :  question mark :  backslash :  colon :  period :  "
              "comma :  underscore :  dash : Z : \xC3\xA9 :");
    EXPECT_EQ(app.settings.SearchTerm, port.boxText);

    port.boxText = "";
    SpellSearchTerm(app);
    EXPECT_EQ(port.LastSpoken(), "Spelling Search Term: ");

    port.boxText = std::string(99, 'k') + "XYZ";
    SpellSearchTerm(app);
    EXPECT_EQ(app.settings.SearchTerm, std::string(99, 'k'));
    EXPECT_EQ(port.LastSpoken().find('X'), std::string::npos);
}

TEST_F(SearchBoxTest, SpellFileNameSpellsTheSelectedRowIncludingTheFolderMark) {
    app.Results = {ResultRow{"a.b", "c:\\x\\"}, ResultRow{"Docs", "c:\\", "", "", "", 0, 1}};
    port.selectedRow = 1;
    SpellFileName(app);
    EXPECT_EQ(port.LastSpoken(), "Spelling File Name: a :  period : b :");
    port.selectedRow = 2;
    SpellFileName(app);
    EXPECT_EQ(port.LastSpoken(), "Spelling File Name: ( : f : ) :  space : D : o : c : s :");
    port.selectedRow = 0;
    SpellFileName(app);
    EXPECT_EQ(port.LastSpoken(), "Spelling File Name: ");
}

// --- the box's clipboard commands ---

TEST_F(SearchBoxTest, CopyTakesTheSelectionOrTheWholeTermAndSaysWhich) {
    Box("budget*", 0, 6);
    OnCommand(app, cmd::CopySearchTerm, 0);
    EXPECT_EQ(port.clipboard, "budget");
    EXPECT_EQ(port.beeps, 1);
    EXPECT_EQ(port.SpokenTexts(),
              (std::vector<std::string>{"Selection from Search String  Was Copied", "Selection Copied"}));
    Box("budget*", 3, 3);
    ReCopy(app);
    EXPECT_EQ(port.clipboard, "budget*");
    EXPECT_EQ(port.LastSpoken(), "Entire Search String  Was Copied");
    Box("budget*", 0, -1);  // after Select All
    ReCopy(app);
    EXPECT_EQ(port.LastSpoken(), "Selection from Search String  Was Copied");
}

TEST_F(SearchBoxTest, CopyFromTheListTakesTheSelectedRowsFolder) {
    app.Results = {ResultRow{"a.txt", "c:\\data\\"}};
    port.focused = ctl::ResultsList;
    port.selectedRow = 1;
    ReCopy(app);
    EXPECT_EQ(port.clipboard, "c:\\data\\");
    EXPECT_EQ(port.LastSpoken(), "Path Copied");

}

TEST_F(SearchBoxTest, CopyThatCopiesNothingSaysWhyAndNotThatItCopied) {
    app.Results = {ResultRow{"a.txt", "c:\\data\\"}};
    port.clipboard = "kept";
    port.focused = ctl::ResultsList;
    port.selectedRow = 0;
    OnCommand(app, cmd::CopySearchTerm, 0);
    EXPECT_EQ(port.LastSpoken(), "No Selection");
    port.focused = ctl::Toolbar;
    port.selectedRow = 1;
    OnCommand(app, cmd::CopySearchTerm, 0);
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{"No Selection", "Copy Option not Available"}));
    EXPECT_EQ(port.clipboard, "kept");
}

// Another program holds the clipboard open: nothing arrives there.
struct LockedClipboardPort : FakePort {
    void SetClipboardText(const std::string&) override {}
};

TEST(SearchBoxClipboardTest, ABusyClipboardLosesNoTextAndIsNotReportedAsCopied) {
    LockedClipboardPort port;
    App app{port};
    port.focused = ctl::SearchBox;
    port.boxText = "keep me";
    port.selFrom = 0;
    port.selTo = 4;
    OnCommand(app, cmd::Cut, 0);
    EXPECT_EQ(port.boxText, "keep me");
    EXPECT_EQ(port.LastSpoken(), "Clipboard not Available");
    OnCommand(app, cmd::CopySearchTerm, 0);
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{"Clipboard not Available", "Clipboard not Available"}));
}

TEST_F(SearchBoxTest, CutMovesTheSelectionToTheClipboard) {
    Box("big report", 3, 10);
    OnCommand(app, cmd::Cut, 0);
    EXPECT_EQ(port.beeps, 1);
    EXPECT_EQ(port.clipboard, " report");
    EXPECT_EQ(port.boxText, "big");
    EXPECT_EQ(port.LastSpoken(), "Selection Cut");
}

TEST_F(SearchBoxTest, CutAndPasteRefusalsLeaveBoxAndClipboardAlone) {
    Box("big", 1, 1);
    ReCut(app);
    EXPECT_EQ(port.LastSpoken(), "No Selection");
    RePaste(app);  // the clipboard holds nothing
    EXPECT_EQ(port.LastSpoken(), "No Text On Clipboard");
    port.SetClipboardText("");
    RePaste(app);
    EXPECT_EQ(port.LastSpoken(), "No Text On Clipboard");

    port.SetClipboardText("x");
    Box("big", 0, 3);
    port.focused = ctl::ResultsList;
    ReCut(app);
    EXPECT_EQ(port.LastSpoken(), "Cut Option not Available");
    RePaste(app);
    EXPECT_EQ(port.LastSpoken(), "Paste Option not Available");
    EXPECT_EQ(port.boxText, "big");
    EXPECT_EQ(port.clipboard, "x");
}

TEST_F(SearchBoxTest, PasteReplacesTheSelectionWithTheClipboardsFirstLine) {
    port.SetClipboardText("#new\r\nsecond line");
    Box("old text", 4, 8);
    OnCommand(app, cmd::Paste, 0);
    EXPECT_EQ(port.beeps, 1);
    EXPECT_EQ(port.boxText, "old #new");  // pasted text is not checked for invalid characters
    EXPECT_EQ(port.LastSpoken(), "Clipboard Pasted");

    port.SetClipboardText("\nonly below");
    RePaste(app);
    EXPECT_EQ(port.LastSpoken(), "No Text On Clipboard");
    EXPECT_EQ(port.boxText, "old #new");
}

TEST_F(SearchBoxTest, SpellingCommandsAreDispatched) {
    port.boxText = "ab";
    OnCommand(app, cmd::SpellSearchTerm, 0);
    EXPECT_EQ(port.LastSpoken(), "Spelling Search Term: a : b :");
    OnCommand(app, cmd::SpellName, 0);
    EXPECT_EQ(port.LastSpoken(), "Spelling File Name: ");
    EXPECT_EQ(port.beeps, 0);
}

}  // namespace
}  // namespace lumiseek
