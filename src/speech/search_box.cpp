#include "speech/search_box.h"

#include <algorithm>
#include <string_view>

#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/settings.h"
#include "base/text.h"
#include "search/results.h"
#include "search/search.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr int kNone = 0;
constexpr int kLetters = 1;
constexpr int kWords = 2;
constexpr int kBoth = 3;

bool IsLetterKey(int key) { return key >= 'A' && key <= 'Z'; }
bool IsDigitKey(int key) { return key >= '0' && key <= '9'; }

// The box's text in UTF-16 units, the unit its character positions count.
std::u16string BoxUnits(App& app) { return Utf8ToUtf16(app.port.BoxText()); }

// The box's selection, start first; "to" below 0 means the end of the text.
void BoxRange(App& app, size_t length, int& from, int& to) {
    app.port.BoxSelection(from, to);
    if (to < 0) to = static_cast<int>(length);
    if (from > to) std::swap(from, to);
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Length in bytes of the UTF-8 character that starts at text[i].
size_t CharLength(std::string_view text, size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return std::min(n, text.size() - i);
}

// The spelling of a text: each character, or its word, followed by " : ", trimmed.
std::string Spelling(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t n = CharLength(text, i);
        std::string_view ch = text.substr(i, n);
        i += n;
        if (ch == "*") out += " asterisk : ";
        else if (ch == "?") out += " question mark : ";
        else if (ch == "\\") out += " backslash : ";
        else if (ch == ":") out += " colon : ";
        else if (ch == ".") out += " period : ";
        else if (ch == ",") out += " comma : ";
        else if (ch == "_") out += " underscore : ";
        else if (ch == "-") out += " dash : ";
        else if (ch == " ") out += " space : ";
        else out.append(ch).append(" : ");
    }
    return TrimSpaces(out);
}

void DropLastWordChar(App& app) {
    if (!app.WordBuffer.empty()) app.WordBuffer.pop_back();
}

void BoxFocus(App& app) {
    app.settings.SearchTerm = FirstChars(app.port.BoxText(), kSearchTermMax);
    SpeakOne(app, "SearchBox has focus. Search term is " + SpreadSearchTerm(app));
}

bool BoxChar(App& app, uint32_t ch) {
    // The Tab that moves the focus on to the list reaches the box as a character too; a tab in
    // the one-line box would only make the next search term invalid.
    if (ch == '\t') return true;
    if (!InvalidSearchChar(ch)) return false;
    std::string text = Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(ch)));
    SpeakOne(app, CharDescription(text) + " : Invalid Search String Character");
    return true;
}

// Keys the rich edit control would act on by itself, outside the shortcut table: the other
// paste, cut and copy keys run the box's own commands and say what they did; the undo and redo
// keys are swallowed, so the box never changes without a word. True when the key is taken.
bool BoxEditKey(App& app, int key, const KeyState& keys) {
    const bool ctrlShift = keys.Ctrl && keys.Shift;
    const bool shiftOnly = keys.Shift && !keys.Ctrl;
    if ((ctrlShift && key == 'V') || (shiftOnly && key == vk::Insert)) {
        SBeep(app);
        RePaste(app);
    } else if ((ctrlShift && key == 'X') || (shiftOnly && key == vk::Delete)) {
        SBeep(app);
        ReCut(app);
    } else if (keys.Ctrl && !keys.Shift && key == vk::Insert) {
        SBeep(app);
        if (ReCopy(app)) SpeakOne(app, "Selection Copied");
    } else if (!(keys.Ctrl && (key == 'Z' || key == 'Y' || key == vk::Insert))) {
        return false;
    }
    return true;
}

// Remembers the selection before Shift+Left or Shift+Right moves one of its ends.
void NoteArrowDown(App& app, int key, const KeyState& keys) {
    if (key != vk::Left && key != vk::Right) return;
    app.ShiftArrowFrom = app.ShiftArrowTo = -1;
    if (!keys.Shift) return;
    int from, to;
    BoxRange(app, BoxUnits(app).size(), from, to);
    app.ShiftArrowFrom = from;
    app.ShiftArrowTo = to;
}

// The text between the selection noted at the Shift+arrow's key-down and the selection now:
// the character that joined or left the selection (a word with Ctrl).
std::string SelectionStep(App& app) {
    std::u16string text = BoxUnits(app);
    const int length = static_cast<int>(text.size());
    int from, to;
    BoxRange(app, text.size(), from, to);
    int a = app.ShiftArrowTo, b = to;
    if (a == b) a = app.ShiftArrowFrom, b = from;
    if (a > b) std::swap(a, b);
    a = std::clamp(a, 0, length);
    b = std::clamp(b, 0, length);
    return Utf16ToUtf8(text.substr(a, b - a));
}

bool BoxKeyDown(App& app, int key, const KeyState& keys) {
    const int mode = app.settings.EnableSpeakLetters;
    if (mode == kNone) return false;
    if (!keys.Shift && (key == vk::BackQuote || key == vk::LeftBracket || key == vk::RightBracket ||
                        key == vk::Quote || key == vk::Comma)) {
        SBeep(app);
        return true;
    }
    GetKeyInfo(app, key, keys);
    if (!keys.Shift && (IsLetterKey(key) || IsDigitKey(key) || key == vk::Minus || key == vk::Subtract ||
                        key == vk::Equals || key == vk::Backslash || key == vk::Period || key == vk::Slash)) {
        SpeakKey(app);
    }
    if (keys.Shift && (IsLetterKey(key) || key == '1' || key == '5' || key == '8' || key == '9' || key == '0' ||
                       key == vk::Minus || key == vk::Subtract || key == vk::Equals || key == vk::Backslash ||
                       key == vk::Semicolon || key == vk::Quote || key == vk::Period || key == vk::Slash)) {
        SpeakKey(app);
    }
    switch (key) {
        case vk::Delete:
            SpeakOne(app, "Delete " + CharDescription(CharToRight(app)));
            DropLastWordChar(app);
            break;
        case vk::Back:
            SpeakOne(app, "Erase " + CharDescription(CharToLeft(app)));
            DropLastWordChar(app);
            break;
        case vk::Space: {
            std::string text;
            if (mode == kLetters || mode == kBoth) text += app.KeyName + " : ";
            if (mode == kWords || mode == kBoth) text += app.WordBuffer;
            SpeakOne(app, text);
            app.WordBuffer.clear();
            break;
        }
        default:
            break;
    }
    return false;
}

void BoxKeyUp(App& app, int key, const KeyState& keys) {
    if (key == vk::Left || key == vk::Right) {
        // A plain arrow names the character the caret passed; with Shift, the one that joined
        // or left the selection.
        std::string ch = app.ShiftArrowFrom >= 0 ? SelectionStep(app)
                         : key == vk::Left         ? CharToRight(app)
                                                   : CharToLeft(app);
        app.ShiftArrowFrom = app.ShiftArrowTo = -1;
        SpeakOne(app, (key == vk::Left ? "Left Arrow : " : "Right Arrow : ") + CharDescription(ch));
        return;
    }
    switch (key) {
        case vk::Capital: SpeakOne(app, keys.Caps ? "Cap ON" : "Cap OFF"); break;
        case vk::Home:
            SpeakOne(app, keys.Ctrl ? "Control Home : Start of Line : " : "Home Key : Start of Line : ");
            break;
        case vk::End:
            SpeakOne(app, keys.Ctrl ? "Control End : End of Line : " : "End Key : End of Line : ");
            break;
        default:
            break;
    }
}

}  // namespace

bool PutOnClipboard(App& app, const std::string& text) {
    app.port.SetClipboardText(text);
    if (app.port.ClipboardText() == text) return true;
    SpeakOne(app, "Clipboard not Available");
    return false;
}

bool NewReProc(App& app, ReMessage message, uint32_t key, const KeyState& keys) {
    bool swallow = false;
    Guarded(app, "NewReProc", [&] {
        switch (message) {
            case ReMessage::Focus: BoxFocus(app); break;
            case ReMessage::Char: swallow = BoxChar(app, key); break;
            case ReMessage::KeyDown:
                swallow = BoxEditKey(app, static_cast<int>(key), keys);
                if (swallow) break;
                NoteArrowDown(app, static_cast<int>(key), keys);
                swallow = BoxKeyDown(app, static_cast<int>(key), keys);
                break;
            case ReMessage::KeyUp: BoxKeyUp(app, static_cast<int>(key), keys); break;
        }
    });
    return swallow;
}

bool InvalidSearchChar(uint32_t ch) {
    static constexpr std::string_view kInvalid = "`~@#$^&[{]};'<>,";
    return ch < 0x80 && ch != 0 && kInvalid.find(static_cast<char>(ch)) != std::string_view::npos;
}

void GetKeyInfo(App& app, int key, const KeyState& keys) {
    std::string name, ch;
    const bool shift = keys.Shift;
    if (IsLetterKey(key)) {
        ch = std::string(1, static_cast<char>(key));
        name = keys.Caps != shift ? "Capital " + ch : ch;
    } else if (IsDigitKey(key) && !shift) {
        ch = name = std::string(1, static_cast<char>(key));
    } else if (IsDigitKey(key)) {
        switch (key) {
            case '1': name = "Exclamation Mark", ch = "!"; break;
            case '5': name = "Percent Sign", ch = "%"; break;
            case '8': name = "Asterisk", ch = "*"; break;
            case '9': name = "Left Parenthesis", ch = "("; break;
            case '0': name = "Right Parenthesis", ch = ")"; break;
        }
    } else {
        switch (key) {
            case vk::Minus: name = shift ? "Under Score" : "Dash", ch = shift ? "_" : "-"; break;
            case vk::Subtract: name = "Dash", ch = "-"; break;
            case vk::Equals: name = shift ? "Plus" : "Equal", ch = shift ? "+" : "="; break;
            case vk::Backslash: name = shift ? "Pipe" : "Back Slash", ch = shift ? "|" : "\\"; break;
            case vk::Period: name = shift ? "Greater Than" : "Period", ch = shift ? ">" : "."; break;
            case vk::Slash: name = shift ? "Question Mark" : "Forward Slash", ch = shift ? "?" : "/"; break;
            case vk::Semicolon:
                if (shift) name = "Colon", ch = ":";
                break;
            case vk::Quote:
                if (shift) name = "Double Quote", ch = "\"";
                break;
            case vk::Space: name = "Space", ch = " "; break;
        }
    }
    app.KeyName = name;
    app.KeyChar = ch;
}

void SpeakKey(App& app) {
    const int mode = app.settings.EnableSpeakLetters;
    if (mode == kLetters || mode == kBoth) SpeakOne(app, app.KeyName);
    // A character the box refuses (Shift+period types ">") never enters the box, so it does
    // not join the word either.
    if ((mode == kWords || mode == kBoth) && !(app.KeyChar.size() == 1 && InvalidSearchChar(app.KeyChar[0]))) {
        app.WordBuffer += app.KeyChar;
    }
}

std::string CharDescription(const std::string& ch) {
    struct Row {
        const char* ch;
        const char* description;
    };
    static constexpr Row kRows[] = {
        {" ", "Space"},
        {"`", "Back Quote"},
        {"~", "Tilde"},
        {"?", "Question Mark"},
        {".", "Period"},
        {"!", "Exclamation Point"},
        {";", "SemiColon"},
        {":", "Colon"},
        {"<", "Less Than"},
        {">", "Greater Than"},
        {"=", "Equal"},
        {"'", "Apostrophe"},
        {"/", "Forward Slash"},
        {",", "Comma"},
        {"[", "Left Bracket"},
        {"]", "Right Bracket"},
        {"{", "Left Curly Bracket"},
        {"}", "Right Curly Bracket"},
        {"\\", "Back Slash"},
        {"|", "Pipe"},
        {"-", "Dash"},
        {"_", "Underline"},
        {"+", "Plus Sign"},
        {"*", "Asterisk"},
        {"@", "At Sign"},
        {"#", "Pound Sign"},
        {"$", "Dollar Sign"},
        {"%", "Per Cent"},
        {"^", "Caret"},
        {"&", "Ampersand"},
        {"(", "Left Parenthesis"},
        {")", "Right Parenthesis"},
        {"\r", " New Line"},
    };
    for (const Row& row : kRows) {
        if (ch == row.ch) return row.description;
    }
    const std::u16string units = Utf8ToUtf16(ch);
    // Windows classes one UTF-16 unit at a time: a character beyond it is never a capital.
    if (units.size() == 1 && IsCapitalLetter(units[0])) return "Capital " + ch;
    return ch;
}

std::string CharToLeft(App& app) {
    std::u16string text = BoxUnits(app);
    int from, to;
    BoxRange(app, text.size(), from, to);
    int pos = from - 1;
    if (pos < 0 || pos >= static_cast<int>(text.size())) return "";
    size_t start = static_cast<size_t>(pos), count = 1;
    if (IsLowSurrogate(text[start]) && start > 0 && IsHighSurrogate(text[start - 1])) {
        --start;
        count = 2;
    }
    return Utf16ToUtf8(text.substr(start, count));
}

std::string CharToRight(App& app) {
    std::u16string text = BoxUnits(app);
    int from, to;
    BoxRange(app, text.size(), from, to);
    if (to < 0 || to >= static_cast<int>(text.size())) return "";
    size_t start = static_cast<size_t>(to), count = 1;
    if (IsHighSurrogate(text[start]) && start + 1 < text.size() && IsLowSurrogate(text[start + 1])) count = 2;
    return Utf16ToUtf8(text.substr(start, count));
}

void SpellSearchTerm(App& app) {
    app.settings.SearchTerm = FirstChars(app.port.BoxText(), kSearchTermMax);
    SpeakOne(app, "Spelling Search Term: " + Spelling(app.settings.SearchTerm));
}

void SpellFileName(App& app) {
    std::string name = GetCellText(app, app.port.ListSelectedRow(), 1);
    SpeakOne(app, "Spelling File Name: " + Spelling(name));
}

bool ReCopy(App& app) {
    Port& port = app.port;
    if (port.HasFocus(ctl::SearchBox)) {
        std::u16string text = BoxUnits(app);
        int from, to;
        BoxRange(app, text.size(), from, to);
        from = std::clamp(from, 0, static_cast<int>(text.size()));
        to = std::clamp(to, 0, static_cast<int>(text.size()));
        std::string copied, name;
        if (from < to) {
            copied = Utf16ToUtf8(text.substr(from, to - from));
            name = "Selection from Search String ";
        } else {
            copied = Utf16ToUtf8(text);
            name = "Entire Search String ";
        }
        if (!PutOnClipboard(app, copied)) return false;
        SpeakOne(app, name + " Was Copied");
        return true;
    }
    if (port.HasFocus(ctl::ResultsList)) {
        int row = SelectedRow(app);
        if (row == 0) return false;
        if (!PutOnClipboard(app, app.Results[row - 1].Folder)) return false;
        SpeakOne(app, "Path Copied");
        return true;
    }
    SpeakOne(app, "Copy Option not Available");
    return false;
}

void ReCut(App& app) {
    Port& port = app.port;
    if (!port.HasFocus(ctl::SearchBox)) {
        SpeakOne(app, "Cut Option not Available");
        return;
    }
    std::u16string text = BoxUnits(app);
    int from, to;
    BoxRange(app, text.size(), from, to);
    from = std::clamp(from, 0, static_cast<int>(text.size()));
    to = std::clamp(to, 0, static_cast<int>(text.size()));
    if (from == to) {
        SpeakOne(app, "No Selection");
        return;
    }
    if (!PutOnClipboard(app, Utf16ToUtf8(text.substr(from, to - from)))) return;
    port.BoxReplaceSelection("");
    SpeakOne(app, "Selection Cut");
}

void RePaste(App& app) {
    Port& port = app.port;
    if (!port.HasFocus(ctl::SearchBox)) {
        SpeakOne(app, "Paste Option not Available");
        return;
    }
    // The box holds one line: like the control's own paste, only the clipboard's first line goes in.
    std::string text = port.ClipboardText().value_or("");
    text = text.substr(0, text.find_first_of("\r\n"));
    if (text.empty()) {
        SpeakOne(app, "No Text On Clipboard");
        return;
    }
    port.BoxReplaceSelection(text);
    SpeakOne(app, "Clipboard Pasted");
}

}  // namespace lumiseek
