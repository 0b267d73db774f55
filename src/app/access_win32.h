// Accessible names for the controls of the main window.
#pragma once

#include <windows.h>

namespace lumiseek {

// Makes the control answer screen readers with the name AccessibleName(id) gives (its own text
// where that is empty), for as long as it exists.
void GiveAccessibleName(HWND control, int id);

}  // namespace lumiseek
