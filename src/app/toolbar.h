// The toolbar and the tooltips. Not built yet: the operations below have empty bodies and
// TBH reads 0 while no toolbar exists.
#pragma once

namespace lumiseek {

struct App;

void CreateToolbar(App& app);
void ManageIconSize(App& app);
void NextToolbarPage(App& app);
void ReverseMenu(App& app);
void ManageTooltips(App& app);

}  // namespace lumiseek
