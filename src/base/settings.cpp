#include "base/settings.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/app.h"
#include "base/ini.h"
#include "base/text.h"

namespace lumiseek {

namespace {

constexpr const char* kSection = "All";

struct NumericKey {
    const char* name;
    int32_t Settings::*field;
    const char* defaultText;
};

// The numeric keys in load order; save writes them in the same order.
const NumericKey kNumericKeys[] = {
    {"Minimized", &Settings::Minimized, "0"},
    {"Maximized", &Settings::Maximized, "0"},
    {"FontSize", &Settings::FontSize, "36"},
    {"FG", &Settings::FG, "65535"},
    {"BG", &Settings::BG, "16711680"},
    {"ShowToolbar", &Settings::ShowToolbar, "1"},
    {"IconSize", &Settings::IconSize, "96"},
    {"SortType", &Settings::SortType, "1"},
    {"HideToolbarText", &Settings::HideToolbarText, "0"},
    {"MaxResults", &Settings::MaxResults, "100"},
    {"ExcludeSystemFolders", &Settings::ExcludeSystemFolders, "1"},
    {"EnableSpeakLetters", &Settings::EnableSpeakLetters, "1"},
    {"SpeakNonLetters", &Settings::SpeakNonLetters, "1"},
    {"ShortPath", &Settings::ShortPath, "1"},
    {"EnableToolTips", &Settings::EnableToolTips, "1"},
    {"EnableTime", &Settings::EnableTime, "1"},
    {"vRate", &Settings::vRate, "0"},
    {"SlowRate", &Settings::SlowRate, "-3"},
    {"FastRate", &Settings::FastRate, "+3"},
    {"UseIgnoreList", &Settings::UseIgnoreList, "0"},
    {"UseMagnor", &Settings::UseMagnor, "1"},
    {"FocusOnRE", &Settings::FocusOnRE, "0"},
    {"UseHover", &Settings::UseHover, "1"},
    {"UseKB", &Settings::UseKB, "1"},
    {"PrintFont", &Settings::PrintFont, "0"},
    {"MaxPrintLines", &Settings::MaxPrintLines, "50"},
    {"SearchType", &Settings::SearchType, "0"},
    {"ShowPreview", &Settings::ShowPreview, "0"},
    {"LastRow", &Settings::LastRow, "1"},
    {"TopRow", &Settings::TopRow, "1"},
    {"SpeakShortcuts", &Settings::SpeakShortcuts, "1"},
    {"IncludeShortcutKey", &Settings::IncludeShortcutKey, "1"},
    {"SpeakMinimalKey", &Settings::SpeakMinimalKey, "1"},
    {"PreviewResize", &Settings::PreviewResize, "1"},
    {"ImageBG", &Settings::ImageBG, "2"},
    {"WideToolbar", &Settings::WideToolbar, "0"},
    {"DisableSpeech", &Settings::DisableSpeech, "0"},
    {"LastSearchType", &Settings::LastSearchType, "1"},
};

void LoadSettings(App& app) {
    Port& port = app.port;
    Settings& s = app.settings;
    const std::string path = port.SettingsPath();
    const bool exists = port.FileExists(path);
    IniFile ini;
    std::string bytes;
    if (exists && port.ReadFileBytes(path, bytes))
        ini = IniRead(bytes, [&port](const std::string& ansi) { return port.AnsiToUtf8(ansi); });
    const auto read = [&ini](const char* key, const char* defaultText) {
        return IniLookup(ini, kSection, key).value_or(defaultText);
    };

    // 1. Size and place. The place only when there is a file, otherwise the window keeps the
    // place it was created at. The place was saved from the window's restored rectangle and
    // goes back as that rectangle, in the same coordinates.
    s.Width = LenientNumber(read("Width", "1600"));
    s.Height = LenientNumber(read("Height", "800"));
    s.Left = LenientNumber(read("Left", "0"));
    s.Top = LenientNumber(read("Top", "0"));
    if (exists) port.RestorePlacement(Rect{s.Left, s.Top, s.Width, s.Height});
    else port.SetWindowSize(s.Width, s.Height);

    // 3. The texts, cut to what the record holds.
    s.SearchTerm = FirstChars(read("SearchTerm", "texas"), kSearchTermMax);
    s.FontName = FirstChars(read("FontName", "Arial Black"), kFontNameMax);
    s.IgnoreList = FirstChars(read("IgnoreList", ".lnk"), kIgnoreListMax);

    // 4. The numbers.
    for (const NumericKey& key : kNumericKeys) s.*key.field = LenientNumber(read(key.name, key.defaultText));
    // A size of 0 or less, edited by hand, would leave the search box no height; a huge one would
    // leave the list none.
    s.FontSize = std::clamp(s.FontSize, kMinFontSize, kMaxFontSize);
}

bool SaveSettings(App& app) {
    Port& port = app.port;
    Settings& s = app.settings;
    std::vector<std::pair<std::string, std::string>> keys;

    // The restored rectangle, so a maximised or minimised window keeps its normal size and place.
    const Placement p = port.GetPlacement();
    keys.emplace_back("Left", NumberText(p.left));
    keys.emplace_back("Top", NumberText(p.top));
    keys.emplace_back("Width", NumberText(static_cast<int64_t>(p.right) - p.left));
    keys.emplace_back("Height", NumberText(static_cast<int64_t>(p.bottom) - p.top));

    // Texts as they are; quoted only where the reader would otherwise drop blanks or quotes.
    keys.emplace_back("SearchTerm", IniQuoted(s.SearchTerm));
    keys.emplace_back("FontName", IniQuoted(s.FontName));
    keys.emplace_back("IgnoreList", IniQuoted(s.IgnoreList));

    s.Minimized = p.minimized ? 1 : 0;
    s.Maximized = p.maximized ? 1 : 0;
    for (const NumericKey& key : kNumericKeys) keys.emplace_back(key.name, NumberText(s.*key.field));

    // The whole file goes to a temporary file that is then moved into place, so a failed
    // save leaves the previous settings untouched; the caller tells the user.
    return port.WriteFileReplacing(port.SettingsPath(), EncodeUtf16Le(IniText(kSection, keys)));
}

}  // namespace

bool SettingsFile(App& app, const std::string& action) {
    if (action == "get") LoadSettings(app);
    if (action == "save") return SaveSettings(app);
    return true;
}

void ManageMaxResults(Settings& s) {
    switch (s.MaxResults) {
        case 50: s.MaxResults = 100; break;
        case 100: s.MaxResults = 250; break;
        case 250: s.MaxResults = 1000; break;
        case 1000: s.MaxResults = 10000; break;
        case 10000: s.MaxResults = 100000; break;
        case 100000: s.MaxResults = 0; break;
        default: s.MaxResults = 50; break;  // 0 (unlimited) and any other value
    }
}

void ManageMaxPrintLines(Settings& s) {
    switch (s.MaxPrintLines) {
        case 0: s.MaxPrintLines = 10; break;
        case 10: s.MaxPrintLines = 50; break;
        case 50: s.MaxPrintLines = 100; break;
        case 100: s.MaxPrintLines = 0; break;
        default: break;  // any other value stays
    }
}

}  // namespace lumiseek
