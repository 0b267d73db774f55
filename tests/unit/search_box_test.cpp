// The talking search box: what is spoken for each key and character, and its clipboard commands.
#include <gtest/gtest.h>

#include "base/app.h"
#include "app/dispatch.h"
#include "base/ids.h"
#include "fake_port.h"
#include "speech/search_box.h"

namespace lumiseek {
namespace {

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
    Down('4', false, true);
    Down(vk::Space);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"A", "Capital A", "Capital A", "A", "Asterisk", "Under Score", "4", "Space : "}));
    port.spoken.clear();
    app.settings.EnableSpeakLetters = kWords;
    Type("HI");
    Down('5', true);
    Down(vk::Space);
    Type("GO");
    Down(vk::Space);
    app.settings.EnableSpeakLetters = kBoth;
    Type("AB");
    Down(vk::Period, true);  // ">" is refused when it arrives as a character: not in the word
    Down(vk::Space);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"HI%", "GO", "A", "B", "Greater Than", "Space : AB"}));
    port.spoken.clear();
    app.settings.EnableSpeakLetters = kNone;  // key-downs say nothing, key-ups still speak
    for (int key : {int('A'), vk::Delete, vk::Back, vk::Space, vk::BackQuote}) EXPECT_FALSE(Down(key));
    EXPECT_EQ(port.beeps, 0);
    Up(vk::Capital, false, true);
    Up(vk::Capital);
    Up(vk::Home, true);
    Up(vk::End);
    Up('A');
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Cap ON", "Cap OFF", "Control Home : Start of Line : ",
                                         "End Key : End of Line : "}));
}

TEST_F(SearchBoxTest, DeleteAndBackspaceNameTheCharacterTheyRemoveAndShortenTheWord) {
    app.settings.EnableSpeakLetters = kWords;
    Type("ABC");
    Box("a.Cd", 4, 4);
    Down(vk::Delete);  // nothing right of the caret
    Box("a.Cd", 1, 3);  // a selection: its neighbours, not the selected text
    Down(vk::Delete);
    Down(vk::Back);
    Box("a.Cd", 3, 3);
    Down(vk::Back);
    const std::string grin = "\xF0\x9F\x98\x80";  // U+1F600 is two UTF-16 units, named whole
    Box("a" + grin, 3, 3);
    Down(vk::Back);
    Box("a" + grin, 1, 1);
    Down(vk::Delete);
    Box("ab", 7, 7);  // a stale caret beyond the text
    Down(vk::Back);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Delete ", "Delete d", "Erase a", "Erase Capital C", "Erase " + grin,
                                         "Delete " + grin, "Erase "}));
    EXPECT_EQ(app.WordBuffer, "");
}

TEST_F(SearchBoxTest, ArrowsNameTheCharacterPassedOrTheOneThatJoinedOrLeftTheSelection) {
    app.settings.EnableSpeakLetters = kNone;
    Box("aB c", 2, 2);
    Up(vk::Right);  // after passing "B"
    Up(vk::Left);   // after passing the blank
    Box("aB c", 4, 4);
    Up(vk::Right);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Right Arrow : Capital B", "Left Arrow : Space", "Right Arrow : c"}));
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
    port.boxText = " a*b?\\:.,_-Z\xC3\xA9";
    OnCommand(app, cmd::SpellSearchTerm, 0);
    EXPECT_EQ(port.LastSpoken(),
              "Spelling Search Term: space : a :  asterisk : b :  question mark :  backslash :  colon :  period :  "
              "comma :  underscore :  dash : Z : \xC3\xA9 :");
    app.Results = {ResultRow{"Docs", "c:\\", "", "", "", 0, 1}};
    port.selectedRow = 1;
    OnCommand(app, cmd::SpellName, 0);
    EXPECT_EQ(port.LastSpoken(), "Spelling File Name: ( : f : ) :  space : D : o : c : s :");
    EXPECT_EQ(port.beeps, 0);
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
    OnCommand(app, cmd::CopySearchTerm, 0);
    port.focused = ctl::ResultsList;  // no row selected
    ReCopy(app);
    port.focused = ctl::Toolbar;
    ReCopy(app);
    ReCut(app);
    RePaste(app);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"No Selection", "No Text On Clipboard", "Clipboard not Available",
                                         "Clipboard not Available", "No Selection", "Copy Option not Available",
                                         "Cut Option not Available", "Paste Option not Available"}));
    EXPECT_EQ(port.boxText, "big");
    EXPECT_EQ(port.clipboard, "\r\nbelow");
}

}  // namespace
}  // namespace lumiseek
