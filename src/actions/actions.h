// The spoken lists, printing, the update and the preview's commands (opening and navigating from the
// selected result are in open.h, the clipboard in clipboard.h). These commands are routed by the
// dispatcher; the operations that are not built yet have empty bodies in actions.cpp and do nothing.
#pragma once

namespace lumiseek {

struct App;

void DisplaySettings(App& app);
void DisplayActions(App& app);
void ShowSettings(App& app);
void TakeLvSetting(App& app);
void TakeLvAction(App& app);
void PrintResults(App& app);
void UpdateLumiseek(App& app);
void PreviewClick(App& app);
void NextImageBackground(App& app);

}  // namespace lumiseek
