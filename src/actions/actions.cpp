#include "actions/actions.h"

#include "base/app.h"

namespace lumiseek {

// Not built yet: each of these commands reaches its handler and does nothing.
void PrintResults(App&) {}
void UpdateLumiseek(App&) {}
void PreviewClick(App&) {}
void NextImageBackground(App&) {}

}  // namespace lumiseek
