#include "app/toolbar.h"

#include "base/app.h"

namespace lumiseek {

// Not built yet: the toolbar commands reach these handlers and do nothing.
void CreateToolbar(App&) {}
void ManageIconSize(App&) {}
void NextToolbarPage(App&) {}
void ReverseMenu(App&) {}
void ManageTooltips(App&) {}

}  // namespace lumiseek
