// The talking search box: what the box says for focus, typed characters and keys, the
// spelling commands and the box's own clipboard commands. The shell's NewReProc reads the
// key state and hands each message here; everything it says and swallows is decided here.
#pragma once

#include <cstdint>
#include <string>

namespace lumiseek {

struct App;

// Virtual-key codes the box reacts to.
namespace vk {
constexpr int Back = 8;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Capital = 20;
constexpr int Space = 32;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Right = 39;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Subtract = 109;   // keypad minus
constexpr int Semicolon = 186;
constexpr int Equals = 187;
constexpr int Comma = 188;
constexpr int Minus = 189;
constexpr int Period = 190;
constexpr int Slash = 191;
constexpr int BackQuote = 192;
constexpr int LeftBracket = 219;
constexpr int Backslash = 220;
constexpr int RightBracket = 221;
constexpr int Quote = 222;
}  // namespace vk

// The keyboard state at the moment of a message: Shift and Ctrl held, Caps Lock on.
struct KeyState {
    bool Shift = false;
    bool Ctrl = false;
    bool Caps = false;
};

// The messages of the search box that the core handles; all others go straight to the box.
enum class ReMessage { Focus, Char, KeyDown, KeyUp };

// The search box's procedure: key is the typed character (UTF-16 unit) for Char and the
// virtual-key code for KeyDown and KeyUp. Returns true when the message is swallowed.
bool NewReProc(App& app, ReMessage message, uint32_t key, const KeyState& keys);

// True for the sixteen characters a search term may not contain.
bool InvalidSearchChar(uint32_t ch);

// Sets KeyName and KeyChar for the virtual key (both empty for keys never spoken).
void GetKeyInfo(App& app, int key, const KeyState& keys);
// Speaks KeyName (Letters, Both) and/or adds KeyChar to WordBuffer (Words, Both).
void SpeakKey(App& app);

// The spoken description of one character (UTF-8; empty text gives empty text).
std::string CharDescription(const std::string& ch);
// The character of the box just before the selection start / just after the selection end;
// empty where there is none.
std::string CharToLeft(App& app);
std::string CharToRight(App& app);

// Ctrl+M and Ctrl+Z.
void SpellSearchTerm(App& app);
void SpellFileName(App& app);

// Puts the text on the clipboard and reads it back, since another program may hold the
// clipboard open; says "Clipboard not Available" when the text did not arrive.
bool PutOnClipboard(App& app, const std::string& text);

// Ctrl+C, Ctrl+X, Ctrl+V. ReCopy tells whether it copied; when it did not, it has said why.
bool ReCopy(App& app);
void ReCut(App& app);
void RePaste(App& app);

}  // namespace lumiseek
