// Printing, the update and the preview's commands (opening and navigating from the selected result
// are in open.h, the clipboard in clipboard.h, the spoken lists in lists.h). These commands are
// routed by the dispatcher; the operations that are not built yet have empty bodies in actions.cpp
// and do nothing.
#pragma once

namespace lumiseek {

struct App;

void PrintResults(App& app);
void UpdateLumiseek(App& app);
void PreviewClick(App& app);
void NextImageBackground(App& app);

}  // namespace lumiseek
