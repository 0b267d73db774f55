// The toolbar (control 502): its buttons in the wide form and on the three pages of the narrow
// form, the icon sizes, and the large tooltips that show or speak a button's meaning.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/port.h"

namespace lumiseek {

struct App;

// The button text, or an empty text while HideToolbarText is on.
std::string TBT(const App& app, const std::string& text);
// The buttons and separators of the current layout (WideToolbar, ToolbarPage), left to right.
std::vector<ToolButton> ToolbarButtons(const App& app);
// The size of the button texts that goes with an icon size.
int ToolbarFontPoints(int iconSize);

void CreateImageList(App& app);
// Removes the toolbar and, while ShowToolbar is on, creates it anew for the current layout.
void CreateToolbar(App& app);
void ManageIconSize(App& app);
void NextToolbarPage(App& app);
void ReverseMenu(App& app);
// The right edge of the last button, in toolbar client pixels.
int RBE(App& app);

// The large tooltip's text for a button's command; none for the page button and any other.
std::optional<std::string> GetToolTip(int command);
// The toolbar's tooltip asks for the text of the button under the pointer.
void ToolTipRequest(App& app, int command);
void ManageTooltips(App& app);

}  // namespace lumiseek
