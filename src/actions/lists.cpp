#include "actions/lists.h"

#include <initializer_list>

#include "actions/open.h"
#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/text.h"
#include "search/results.h"
#include "speech/speech.h"
#include "view/colors.h"
#include "view/layout.h"

namespace lumiseek {

namespace {

constexpr const char* kHelpPage = "https://lumiseek.org/help";

// What an actions-list row does besides running a command.
constexpr int kRefused = 0;
constexpr int kSettingsList = -1;
constexpr int kOnlineHelp = -2;
constexpr int kActionsList = -3;

struct ActionRow {
    const char* text;
    int command;
};

// Rows that act on the selected result are refused: in a list the selected row is a menu entry.
constexpr ActionRow kActions[kActionRows] = {
    {"1 Display Settings Shortcuts - F1", kSettingsList},
    {"2 Online Help - Ctrl+F1", kOnlineHelp},
    {"3 Display Action Shortcuts - F2", kActionsList},
    {"4 Open Everything - F3", cmd::OpenEverything},
    {"5 Copy File - Ctrl+D", kRefused},
    {"6 File Search - Ctrl+F", cmd::SearchFiles},
    {"7 Folder Search - Ctrl+G", cmd::SearchFolders},
    {"8 Search All - Ctrl+H", cmd::SearchAll},
    {"9 Search Custom - Ctrl+I", cmd::SearchCustom},
    {"10 Open File - Ctrl+J", kRefused},
    {"11 Open Folder - Ctrl+K", kRefused},
    {"12 Speak Search Term - Ctrl+L", cmd::SpeakSearchTerm},
    {"13 Spell Search Term - Ctrl+M", cmd::SpellSearchTerm},
    {"14 Online Update - Ctrl+O", cmd::UpdateLumiseek},
    {"15 Print - Ctrl+P", cmd::PrintResults},
    {"16 Fit Columns to Content - Ctrl+R", cmd::FitToContent},
    {"17 Expand Folder - Ctrl+S", kRefused},
    {"18 Spell File Name - Ctrl+Z", kRefused},
    {"19 Speak File Name - Ctrl+1", kRefused},
    {"20 Speak Folder - Ctrl+2", kRefused},
    {"21 Speak Date - Ctrl+3", kRefused},
    {"22 Speak File Size - Ctrl+4", kRefused},
    {"23 Jump To Folder - Ctrl+9", kRefused},
    {"24 Speak List Location - Ctrl+0 (Zero)", cmd::SpeakLocation},
    {"25 Clear Search Term - F4", cmd::ClearSearchTerm},
    {"26 Expand Parent Folder - F5", kRefused},
    {"27 Increase Volume - F6", cmd::Louder},
    {"28 Decrease Volume - F7", cmd::Softer},
    {"29 Mute Speakers - F8", cmd::MuteSpeakers},
    {"30 Disable Speech - F9", cmd::DisableSpeech},
    {"31 Use Ignore List - F10", cmd::UseIgnoreList},
    {"32 Copy Results - Ctrl+Shift+C", cmd::CopyResults},
    {"33 Show Settings - Ctrl+Shift+D", cmd::ShowSettings},
    {"34 Next Menu - Ctrl+Shift+N", cmd::NextMenu},
};

// The word of a setting with named values; none for a value outside them.
std::string Named(int value, std::initializer_list<const char*> names) {
    if (value < 0 || value >= static_cast<int>(names.size())) return "";
    return *(names.begin() + value);
}

std::string OnOff(int value) { return value != 0 ? "ON" : "OFF"; }
std::string CaptionOnOff(int value) { return value != 0 ? "On" : "Off"; }
std::string NumberOr(int value, const char* zero) { return value == 0 ? std::string(zero) : NumberText(value); }

struct SettingsRow {
    const char* label;
    int command;
    std::string (*value)(const Settings& s);
};

const SettingsRow kSettings[kSettingsRows] = {
    {"1 Hide Toolbar Text - Ctrl+B  - ", cmd::HideToolbarText,
     [](const Settings& s) { return OnOff(s.HideToolbarText); }},
    {"2 Icon Size - Ctrl+E  - ", cmd::IconSize, [](const Settings& s) { return NumberText(s.IconSize); }},
    {"3 Enable Speak Letters - Ctrl+N  - ", cmd::SpeakLetters,
     [](const Settings& s) { return Named(s.EnableSpeakLetters, {"None", "Letters", "Words", "Both"}); }},
    {"4 Exclude System Folders - Ctrl+Q  - ", cmd::ExcludeSystemFolders,
     [](const Settings& s) { return OnOff(s.ExcludeSystemFolders); }},
    {"5 Max Search Results - Ctrl+T  - ", cmd::MaxResults,
     [](const Settings& s) { return NumberOr(s.MaxResults, "Unlimited"); }},
    {"6 Sort Type - Ctrl+U  - ", cmd::SortType,
     [](const Settings& s) { return std::string(s.SortType != 0 ? "Date" : "File Name"); }},
    {"7 Show Toolbar - Ctrl+W  - ", cmd::ShowToolbar, [](const Settings& s) { return OnOff(s.ShowToolbar); }},
    {"8 Change Colors - Ctrl+Y  - ", cmd::ChangeColors, [](const Settings& s) { return ColorName(s.BG); }},
    {"9 Use Short Path - Ctrl+5  - ", cmd::FolderShortPath, [](const Settings& s) { return OnOff(s.ShortPath); }},
    {"10 Enable ToolTips - Ctrl+6  - ", cmd::EnableToolTips,
     [](const Settings& s) { return Named(s.EnableToolTips, {"OFF", "Text", "Speak", "Both"}); }},
    {"11 Enable Time in Date - Ctrl+7  - ", cmd::ShowTimeInDate,
     [](const Settings& s) { return " " + OnOff(s.EnableTime); }},
    {"12 Speaking Speed - Ctrl+8  - ", cmd::SpeechSpeed,
     [](const Settings& s) -> std::string {
         if (s.vRate == s.SlowRate) return "Slow";
         if (s.vRate == 0) return "Normal";
         return s.vRate == s.FastRate ? "Fast" : "";
     }},
    {"13 Disable Speech - F9  - ", cmd::DisableSpeech, [](const Settings& s) { return OnOff(s.DisableSpeech); }},
    {"14 Use Ignore List - F10  - ", cmd::UseIgnoreList, [](const Settings& s) { return OnOff(s.UseIgnoreList); }},
    {"15 Use Magnor - Ctrl+Shift+B - ", cmd::UseMagnor, [](const Settings& s) { return OnOff(s.UseMagnor); }},
    {"16 Search Term Focus - Ctrl+Shift+F - ", cmd::FocusOnSearchTerm,
     [](const Settings& s) { return OnOff(s.FocusOnRE); }},
    {"17 Magnor Hover - Ctrl+Shift+H - ", cmd::ToolbarHover,
     [](const Settings& s) { return Named(s.UseHover, {"OFF", "Text", "Speak", "Both"}); }},
    {"18 Format File Size - Ctrl+Shift+K - ", cmd::FormatAsKB, [](const Settings& s) { return OnOff(s.UseKB); }},
    {"19 Print Using Visual Font - Ctrl+Shift+P - ", cmd::VisualPrintFont,
     [](const Settings& s) { return OnOff(s.PrintFont); }},
    {"20 Max Print Lines - Ctrl+Shift+E - ", cmd::MaxPrintLines,
     [](const Settings& s) { return NumberOr(s.MaxPrintLines, "Unlimited"); }},
    {"21 Show Preview - Ctrl+Shift+A - ", cmd::TogglePreview, [](const Settings& s) { return OnOff(s.ShowPreview); }},
    {"22 Speak Shortcuts - Ctrl+Shift+S - ", cmd::SpeakShortcuts,
     [](const Settings& s) { return OnOff(s.SpeakShortcuts); }},
    {"23 Increase Font Size - Ctrl+Shift+L - ", cmd::IncreaseFontSize,
     [](const Settings& s) { return NumberText(s.FontSize); }},
    {"24 Decrease Font Size - Ctrl+Shift+M - ", cmd::DecreaseFontSize,
     [](const Settings& s) { return NumberText(s.FontSize); }},
    {"25 Preview Resize - Ctrl+Shift+R - ", cmd::PreviewResize,
     [](const Settings& s) { return OnOff(s.PreviewResize); }},
    {"26 Image BG Color - Ctrl+Shift+I - ", cmd::ImageBGColor,
     [](const Settings& s) { return Named(s.ImageBG, {"White", "Black", "Blue"}); }},
    {"27 Include Shortcut Key - Ctrl+Shift+T - ", cmd::IncludeShortcutKey,
     [](const Settings& s) { return OnOff(s.IncludeShortcutKey); }},
    {"28 Speak Minimal Key - Ctrl+Shift+U - ", cmd::SpeakMinimalKey,
     [](const Settings& s) { return OnOff(s.SpeakMinimalKey); }},
    {"29 Wide Toolbar - Ctrl+Shift+W - ", cmd::WideToolbar, [](const Settings& s) { return OnOff(s.WideToolbar); }},
};

constexpr int kNoInvalidateAll = 2;  // LVSICF_NOINVALIDATEALL

// The list shows `count` rows whose names come from `text`; row 1 is selected and the list
// has the focus.
template <typename Text>
void FillList(App& app, int count, Text text) {
    app.port.ListDeleteAllItems();
    ResultTable().swap(app.Results);
    app.Results.resize(static_cast<size_t>(count));
    for (int row = 1; row <= count; ++row) app.Results[row - 1].Name = text(row);
    app.port.ListSetItemCount(count, kNoInvalidateAll);
    app.port.ListSelectRow(1);
    app.port.Focus(ctl::ResultsList);
}

void ShowList(App& app, int mode) {
    app.settings.SearchType = mode;
    Resize(app);
    if (mode == 5) DisplaySettings(app);
    else DisplayActions(app);
}

// The selected row of a list with `count` rows, or 0 after saying there is none.
int SelectedListRow(App& app, int count) {
    int row = app.port.ListSelectedRow();
    if (row < 1 || row > count) {
        SpeakOne(app, "No selection");
        return 0;
    }
    return row;
}

}  // namespace

std::string ActionRowText(int row) { return row >= 1 && row <= kActionRows ? kActions[row - 1].text : ""; }

std::string SettingsRowText(const App& app, int row) {
    if (row < 1 || row > kSettingsRows) return "";
    return kSettings[row - 1].label + kSettings[row - 1].value(app.settings);
}

void DisplayActions(App& app) { FillList(app, kActionRows, ActionRowText); }

void DisplaySettings(App& app) {
    FillList(app, kSettingsRows, [&](int row) { return SettingsRowText(app, row); });
}

void TakeLvAction(App& app) {
    int row = SelectedListRow(app, kActionRows);
    if (row == 0) return;
    switch (int command = kActions[row - 1].command) {
        case kRefused: SpeakOne(app, kListRefusal); break;
        case kSettingsList: ShowList(app, 5); break;
        case kActionsList: ShowList(app, 6); break;
        case kOnlineHelp: OpenOnlineHelp(app); break;
        default: RA(app, command);
    }
}

// The row's new text follows the command's confirmation, so the user hears where the list stands.
void TakeLvSetting(App& app) {
    int row = SelectedListRow(app, kSettingsRows);
    if (row == 0) return;
    RA(app, kSettings[row - 1].command);
    RefreshSetting(app, row);
    if (app.settings.SearchType == 5) SpeakNext(app, SettingsRowText(app, row));
}

// Every row is rewritten: two rows show the font size that either of them changes.
void RefreshSetting(App& app, int row) {
    if (app.settings.SearchType != 5 || static_cast<int>(app.Results.size()) != kSettingsRows) return;
    for (int r = 1; r <= kSettingsRows; ++r) app.Results[r - 1].Name = SettingsRowText(app, r);
    ShowSettings(app);
    if (app.port.ListSelectedRow() == row) ST(app, RowSummary(app, row));
    app.port.RedrawControl(ctl::ResultsList);
}

void RefreshShownSettings(App& app) {
    if (app.settings.SearchType != 5 || static_cast<int>(app.Results.size()) != kSettingsRows) return;
    for (int r = 1; r <= kSettingsRows; ++r) {
        if (app.Results[r - 1].Name.view() != SettingsRowText(app, r)) {
            RefreshSetting(app, app.port.ListSelectedRow());
            return;
        }
    }
}

void OpenOnlineHelp(App& app) {
    app.port.ShellOpen(kHelpPage);
    OpenMagnor(app);
}

void ShowSettings(App& app) {
    const Settings& s = app.settings;
    std::string caption = std::string("Lumiseek ") + kVersion + "   ";
    caption += "  Letters-" + Named(s.EnableSpeakLetters, {"No", "Letters", "Words", "Both"});
    caption += "  ExcludeSystem-" + CaptionOnOff(s.ExcludeSystemFolders);
    caption += "  UseIgnoreLst-" + CaptionOnOff(s.UseIgnoreList);
    caption += "  STFocus-" + CaptionOnOff(s.FocusOnRE);
    caption += "  UseMagnor-" + CaptionOnOff(s.UseMagnor);
    caption += "  MagnorHover-" + Named(s.UseHover, {"Off", "Text", "Speak", "Both"});
    caption += "  VisualPrintFont-" + CaptionOnOff(s.PrintFont);
    caption += "  MaxPrintLines-" + NumberOr(s.MaxPrintLines, "UnLmtd");
    caption += "  DisableSpeech-" + CaptionOnOff(s.DisableSpeech);
    caption += "  SpeakShortCuts-" + CaptionOnOff(s.SpeakShortcuts);
    caption += "  IncludeKey-" + CaptionOnOff(s.IncludeShortcutKey);
    caption += "  MinimalKey-" + CaptionOnOff(s.SpeakMinimalKey);
    app.port.SetCaption(caption);
}

}  // namespace lumiseek
