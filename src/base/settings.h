// The settings record: every user preference, the window placement and the last search.
// Held in memory for the whole run; read from and written to the INI file beside the program.
#pragma once

#include <cstdint>
#include <string>

namespace lumiseek {

struct App;

// Text limits of the three text settings, in characters.
constexpr size_t kSearchTermMax = 99;
constexpr size_t kFontNameMax = 99;
constexpr size_t kIgnoreListMax = 259;
// The smallest FontSize, in points: read from the file and reached by the size commands.
constexpr int32_t kMinFontSize = 8;
// The largest FontSize read from the file. The search box is 2.7 times the size high in pixels and
// the header and each row about 1.6 times: in the default window (800 pixels high) a size of 120
// still leaves one row of the list in sight, where 200 leaves none.
constexpr int32_t kMaxFontSize = 120;
// The smallest window kept at start; a smaller one, or one larger than the work area, takes the
// default size.
constexpr int32_t kMinWindowWidth = 400;
constexpr int32_t kMinWindowHeight = 300;

struct Settings {
    int32_t Width = 1600;
    int32_t Height = 800;
    int32_t Left = 0;
    int32_t Top = 0;
    std::string SearchTerm = "texas";
    std::string FontName = "Arial Black";
    std::string IgnoreList = ".lnk";
    int32_t Minimized = 0;
    int32_t Maximized = 0;
    int32_t FontSize = 36;
    int32_t FG = 65535;        // yellow
    int32_t BG = 16711680;     // blue
    int32_t ShowToolbar = 1;
    int32_t IconSize = 96;
    int32_t SortType = 1;
    int32_t HideToolbarText = 0;
    int32_t MaxResults = 100;
    int32_t ExcludeSystemFolders = 1;
    int32_t EnableSpeakLetters = 1;
    int32_t SpeakNonLetters = 1;
    int32_t ShortPath = 1;
    int32_t EnableToolTips = 1;
    int32_t EnableTime = 1;
    int32_t vRate = 0;
    int32_t SlowRate = -3;
    int32_t FastRate = 3;
    int32_t UseIgnoreList = 0;
    int32_t UseMagnor = 1;
    int32_t FocusOnRE = 0;
    int32_t UseHover = 1;
    int32_t UseKB = 1;
    int32_t PrintFont = 0;
    int32_t MaxPrintLines = 50;
    int32_t SearchType = 0;
    int32_t ShowPreview = 0;
    int32_t LastRow = 1;
    int32_t TopRow = 1;
    int32_t SpeakShortcuts = 1;
    int32_t IncludeShortcutKey = 1;
    int32_t SpeakMinimalKey = 1;
    int32_t PreviewResize = 1;
    int32_t ImageBG = 2;
    int32_t WideToolbar = 0;
    int32_t DisableSpeech = 0;
    int32_t LastSearchType = 1;

    bool operator==(const Settings&) const = default;
};

// "get" loads every key and applies the window size and (when the file exists) its place;
// "save" writes every key. Any other action does nothing. False only when a save failed
// (the previous file is then left as it was).
bool SettingsFile(App& app, const std::string& action);

// Value cycles of the result and print limits; the caller speaks the new value.
void ManageMaxResults(Settings& s);
void ManageMaxPrintLines(Settings& s);

}  // namespace lumiseek
