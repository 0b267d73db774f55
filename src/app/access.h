// The names a screen reader reads for the controls (the platform's accessibility layer asks the
// shell, which answers with these).
#pragma once

#include <string>

namespace lumiseek {

// The accessible name of a control of the main window (ctl::); empty for a control whose own
// text is its name (the status bar).
std::string AccessibleName(int control);

// The accessible name of a toolbar button, by its command: its tooltip's text, whether or not
// HideToolbarText hides the label; the page button, which has no tooltip, says what it does.
std::string AccessibleButtonName(int command);

}  // namespace lumiseek
