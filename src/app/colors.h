// Colour schemes and the size of the large font.
#pragma once

#include <string>

namespace lumiseek {

struct App;

void ChangeColors(App& app);
void ChangeControlColors(App& app);
std::string ColorName(int bg);
void ChangeFontSize(App& app, int step);

}  // namespace lumiseek
