#include "speech/search_box.h"

#include <algorithm>
#include <string_view>

#include "base/app.h"
#include "app/dispatch.h"
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

// Upper case as Windows classes a character (one UTF-16 unit): the letters of Unicode category
// Lu in the Basic Multilingual Plane, as runs {first, last, step}.
bool IsUpperCaseUnit(char16_t u) {
    struct Run {
        char16_t first, last;
        unsigned char step;
    };
    static constexpr Run kRuns[] = {
        {0x0041, 0x005A, 1}, {0x00C0, 0x00D6, 1}, {0x00D8, 0x00DE, 1}, {0x0100, 0x0136, 2}, {0x0139, 0x0147, 2},
        {0x014A, 0x0178, 2}, {0x0179, 0x017D, 2}, {0x0181, 0x0182, 1}, {0x0184, 0x0186, 2}, {0x0187, 0x0189, 2},
        {0x018A, 0x018B, 1}, {0x018E, 0x0191, 1}, {0x0193, 0x0194, 1}, {0x0196, 0x0198, 1}, {0x019C, 0x019D, 1},
        {0x019F, 0x01A0, 1}, {0x01A2, 0x01A6, 2}, {0x01A7, 0x01A9, 2}, {0x01AC, 0x01AE, 2}, {0x01AF, 0x01B1, 2},
        {0x01B2, 0x01B3, 1}, {0x01B5, 0x01B7, 2}, {0x01B8, 0x01B8, 1}, {0x01BC, 0x01BC, 1}, {0x01C4, 0x01C4, 1},
        {0x01C7, 0x01C7, 1}, {0x01CA, 0x01CA, 1}, {0x01CD, 0x01DB, 2}, {0x01DE, 0x01EE, 2}, {0x01F1, 0x01F1, 1},
        {0x01F4, 0x01F6, 2}, {0x01F7, 0x01F8, 1}, {0x01FA, 0x0232, 2}, {0x023A, 0x023B, 1}, {0x023D, 0x023E, 1},
        {0x0241, 0x0243, 2}, {0x0244, 0x0246, 1}, {0x0248, 0x024E, 2}, {0x0370, 0x0372, 2}, {0x0376, 0x0376, 1},
        {0x037F, 0x037F, 1}, {0x0386, 0x0388, 2}, {0x0389, 0x038A, 1}, {0x038C, 0x038E, 2}, {0x038F, 0x0391, 2},
        {0x0392, 0x03A1, 1}, {0x03A3, 0x03AB, 1}, {0x03CF, 0x03CF, 1}, {0x03D2, 0x03D4, 1}, {0x03D8, 0x03EE, 2},
        {0x03F4, 0x03F4, 1}, {0x03F7, 0x03F9, 2}, {0x03FA, 0x03FA, 1}, {0x03FD, 0x042F, 1}, {0x0460, 0x0480, 2},
        {0x048A, 0x04C0, 2}, {0x04C1, 0x04CD, 2}, {0x04D0, 0x052E, 2}, {0x0531, 0x0556, 1}, {0x10A0, 0x10C5, 1},
        {0x10C7, 0x10C7, 1}, {0x10CD, 0x10CD, 1}, {0x13A0, 0x13F5, 1}, {0x1C90, 0x1CBA, 1}, {0x1CBD, 0x1CBF, 1},
        {0x1E00, 0x1E94, 2}, {0x1E9E, 0x1EFE, 2}, {0x1F08, 0x1F0F, 1}, {0x1F18, 0x1F1D, 1}, {0x1F28, 0x1F2F, 1},
        {0x1F38, 0x1F3F, 1}, {0x1F48, 0x1F4D, 1}, {0x1F59, 0x1F5F, 2}, {0x1F68, 0x1F6F, 1}, {0x1FB8, 0x1FBB, 1},
        {0x1FC8, 0x1FCB, 1}, {0x1FD8, 0x1FDB, 1}, {0x1FE8, 0x1FEC, 1}, {0x1FF8, 0x1FFB, 1}, {0x2102, 0x2102, 1},
        {0x2107, 0x2107, 1}, {0x210B, 0x210D, 1}, {0x2110, 0x2112, 1}, {0x2115, 0x2115, 1}, {0x2119, 0x211D, 1},
        {0x2124, 0x212A, 2}, {0x212B, 0x212D, 1}, {0x2130, 0x2133, 1}, {0x213E, 0x213F, 1}, {0x2145, 0x2145, 1},
        {0x2183, 0x2183, 1}, {0x2C00, 0x2C2F, 1}, {0x2C60, 0x2C62, 2}, {0x2C63, 0x2C64, 1}, {0x2C67, 0x2C6D, 2},
        {0x2C6E, 0x2C70, 1}, {0x2C72, 0x2C72, 1}, {0x2C75, 0x2C75, 1}, {0x2C7E, 0x2C80, 1}, {0x2C82, 0x2CE2, 2},
        {0x2CEB, 0x2CED, 2}, {0x2CF2, 0x2CF2, 1}, {0xA640, 0xA66C, 2}, {0xA680, 0xA69A, 2}, {0xA722, 0xA72E, 2},
        {0xA732, 0xA76E, 2}, {0xA779, 0xA77D, 2}, {0xA77E, 0xA786, 2}, {0xA78B, 0xA78D, 2}, {0xA790, 0xA792, 2},
        {0xA796, 0xA7AA, 2}, {0xA7AB, 0xA7AE, 1}, {0xA7B0, 0xA7B4, 1}, {0xA7B6, 0xA7C4, 2}, {0xA7C5, 0xA7C7, 1},
        {0xA7C9, 0xA7C9, 1}, {0xA7D0, 0xA7D0, 1}, {0xA7D6, 0xA7D8, 2}, {0xA7F5, 0xA7F5, 1}, {0xFF21, 0xFF3A, 1},
    };
    for (const Run& run : kRuns) {
        if (u < run.first) return false;
        if (u <= run.last) return (u - run.first) % run.step == 0;
    }
    return false;
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

// Puts the text on the clipboard and reads it back, since another program may hold the
// clipboard open; says so when the text did not arrive.
bool PutOnClipboard(App& app, const std::string& text) {
    app.port.SetClipboardText(text);
    if (app.port.ClipboardText() == text) return true;
    SpeakOne(app, "Clipboard not Available");
    return false;
}

void DropLastWordChar(App& app) {
    if (!app.WordBuffer.empty()) app.WordBuffer.pop_back();
}

void BoxFocus(App& app) {
    app.settings.SearchTerm = FirstChars(app.port.BoxText(), kSearchTermMax);
    SpeakOne(app, "SearchBox has focus. Search term is " + SpreadSearchTerm(app));
}

bool BoxChar(App& app, uint32_t ch) {
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
    if (units.size() == 1 && IsUpperCaseUnit(units[0])) return "Capital " + ch;
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
        int row = port.ListSelectedRow();
        if (row < 1 || row > static_cast<int>(app.Results.size())) {
            SpeakOne(app, "No Selection");
            return false;
        }
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
