// Actions on the selected result, the clipboard, the spoken lists, printing and the update.
// These commands are routed by the dispatcher; the operations that are not built yet have
// empty bodies in actions.cpp and do nothing when called.
#pragma once

namespace lumiseek {

struct App;

void OpenLvFile(App& app);
void OpenLvFolder(App& app);
void ExpandFolder(App& app);
void ExpandParentFolder(App& app);
void OpenEverything(App& app);
void JumpToFolder(App& app);
void SpeakLocation(App& app);
void OpenMagnor(App& app, int flag);
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
