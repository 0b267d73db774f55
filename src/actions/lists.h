// The two spoken menus shown inside the results list: the actions list (SearchType 6) and the
// settings list (SearchType 5). Each row runs the command its shortcut sends, through RA.
#pragma once

#include <string>

namespace lumiseek {

struct App;

constexpr int kActionRows = 34;
constexpr int kSettingsRows = 29;
constexpr const char* kListRefusal = "Not available when Shortcuts are displayed";

// The text of an actions-list row and of a settings-list row (label and current value word),
// rows counted from 1; empty outside the list.
std::string ActionRowText(int row);
std::string SettingsRowText(const App& app, int row);

void DisplayActions(App& app);
void DisplaySettings(App& app);
void TakeLvAction(App& app);
void TakeLvSetting(App& app);
// Rewrites the settings list's rows from the current settings after a change made from `row`
// (only while that list is shown), the caption's summary, and the status line of the row.
void RefreshSetting(App& app, int row);
// The same for any change, made by a shortcut or the mouse wheel, while the settings list shows
// rows that no longer match the settings; nothing otherwise.
void RefreshShownSettings(App& app);
// The settings summary in the main window's caption.
void ShowSettings(App& app);
// The maker's online help page, and the Magnor viewer when it is used.
void OpenOnlineHelp(App& app);

}  // namespace lumiseek
