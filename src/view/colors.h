// Colour schemes and the size of the large font.
#pragma once

#include <string>

namespace lumiseek {

struct App;
struct Settings;

// Text and background colours (COLORREF values) of a list row.
struct RowColors {
    int text = 0;
    int back = 0;
    bool operator==(const RowColors&) const = default;
};

void ChangeColors(App& app);
void ChangeControlColors(App& app);
std::string ColorName(int bg);
// The selected row of the results list: the scheme's two colours swapped, so that it stands out
// with the scheme's own contrast (the system's highlight colours have far less).
RowColors SelectedRowColors(const Settings& s);
// The large font stepped by `step` points (none below kMinFontSize) and handed to the port; the
// dispatcher's ChangeFontSize says the new size.
void StepFontSize(App& app, int step);

}  // namespace lumiseek
