#include "actions/actions.h"

#include "base/app.h"

namespace lumiseek {

// Not built yet: each of these commands reaches its handler and does nothing.
void DisplaySettings(App&) {}
void DisplayActions(App&) {}
void ShowSettings(App&) {}
void TakeLvSetting(App&) {}
void TakeLvAction(App&) {}
void PrintResults(App&) {}
void UpdateLumiseek(App&) {}
void PreviewClick(App&) {}
void NextImageBackground(App&) {}

}  // namespace lumiseek
