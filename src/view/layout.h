// The layout of the main window: the search box, the results list and the preview pane,
// and the column headers and widths of each list mode.
#pragma once

#include <array>
#include <string>

#include "base/port.h"
#include "base/result_row.h"

namespace lumiseek {

struct App;

// Rectangles and column widths for one client size. ColumnMode is 1 for the results
// (four columns), 5 and 6 for the settings and actions lists (one column), 0 when the
// columns are left as they are.
struct LayoutPlan {
    Rect SearchBox;
    Rect List;
    Rect Preview;
    int ColumnMode = 0;
    std::array<int, 4> ColumnWidths{};
};

// W, H: client size; T: toolbar height; S: status bar height; F: FontSize.
LayoutPlan PlanLayout(int W, int H, int T, int S, int F, bool ShowPreview, int SearchType);

// The count shown in the first column's header: "0" for the "<empty>" table, else the
// number of rows grouped in thousands.
std::string ResultCountText(const ResultTable& results);
// The first column's header in the results view, "Name  (" + that count + ")", in one form
// for the layout and for showing new results.
std::string NameHeader(const ResultTable& results);

// Shows or hides the preview and the toolbar, places the controls, sets the column
// headers and widths of the current list mode, redraws and has the preview drawn again
// (AskPreviewRedraw).
void Resize(App& app);

// Outer height of the toolbar; 0 while there is no toolbar or it is hidden.
int TBH(App& app);

// The window rectangle moved, and shrunk where it must be, so that it lies wholly inside the
// work area; unchanged when it already does. A window smaller than kMinWindowWidth x
// kMinWindowHeight or larger than the work area first takes the default size.
Rect KeepInside(Rect window, Rect work);
// Brings the main window wholly onto the work area of the monitor nearest to it: a window
// partly off every monitor (too wide for the screen, or left on a monitor that is gone) is
// moved there.
void KeepWindowOnScreen(App& app);

}  // namespace lumiseek
