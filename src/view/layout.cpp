#include "view/layout.h"

#include <algorithm>

#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/text.h"

namespace lumiseek {

namespace {

// The three layout factors are single-precision values, each a little above its decimal
// value; the product is taken from that value, so 2.7 x 15 = 40.5000007 rounds up to 41.
constexpr float kBoxFactor = 2.7f;
constexpr float kListShare = 0.6f;
constexpr float kPreviewShare = 0.4f;

int Times(float factor, int value) { return static_cast<int>(RoundHalfEven(static_cast<double>(factor) * value)); }

}  // namespace

LayoutPlan PlanLayout(int W, int H, int T, int S, int F, bool ShowPreview, int SearchType) {
    LayoutPlan p;
    int h = Times(kBoxFactor, F);
    int below = T + h + 5;
    int listHeight = H - T - h - S - 10;
    p.SearchBox = {10, T, W - 20, h};
    p.List = {10, below, ShowPreview ? Times(kListShare, W) : W - 20, listHeight};
    p.Preview = {static_cast<int>(RoundHalfEven(static_cast<double>(kListShare) * W + 20)), below,
                 static_cast<int>(RoundHalfEven(static_cast<double>(kPreviewShare) * W - 30)), listHeight};
    if (SearchType < 5) {
        double w = W;
        p.ColumnMode = 1;
        p.ColumnWidths = {static_cast<int>(RoundHalfEven(w / 3 - 30)), static_cast<int>(RoundHalfEven(w / 3 - 30)),
                          static_cast<int>(RoundHalfEven(2 * w / 9)), static_cast<int>(RoundHalfEven(w / 9 + 60))};
    } else if (SearchType == 5 || SearchType == 6) {
        p.ColumnMode = SearchType;
        p.ColumnWidths = {W, 0, 0, 0};
    }
    return p;
}

std::string ResultCountText(const ResultTable& results) {
    if (results.empty() || results[0].Name == "<empty>") return "0";
    return FormatMask(static_cast<double>(results.size()), "###,##0");
}

std::string NameHeader(const ResultTable& results) { return "Name  (" + ResultCountText(results) + ")"; }

int TBH(App& app) { return app.port.ControlHeight(ctl::Toolbar); }

Rect KeepInside(Rect window, Rect work) {
    Rect r = window;
    const bool workKnown = work.w > 0 && work.h > 0;
    // A size too small to use or larger than the screen is none the user chose (a settings file
    // edited by hand or broken): the window takes the default size, and is saved with it.
    if (r.w < kMinWindowWidth || r.h < kMinWindowHeight || (workKnown && (r.w > work.w || r.h > work.h))) {
        const Settings defaults;
        r.w = defaults.Width;
        r.h = defaults.Height;
    }
    if (!workKnown) return r;
    r.w = std::min(r.w, work.w);
    r.h = std::min(r.h, work.h);
    r.x = std::clamp(r.x, work.x, work.x + work.w - r.w);
    r.y = std::clamp(r.y, work.y, work.y + work.h - r.h);
    return r;
}

void KeepWindowOnScreen(App& app) {
    const Rect window = app.port.WindowRect();
    const Rect inside = KeepInside(window, app.port.WorkAreaNear(window));
    if (!(inside == window)) app.port.SetWindowRect(inside);
}

void Resize(App& app) {
    Port& port = app.port;
    const Settings& s = app.settings;
    port.ShowControl(ctl::Preview, s.ShowPreview != 0);
    port.ShowControl(ctl::Toolbar, s.ShowToolbar != 0);

    Size2 client = port.ClientSize();
    LayoutPlan p = PlanLayout(client.w, client.h, TBH(app), port.ControlHeight(ctl::StatusBar), s.FontSize,
                              s.ShowPreview != 0, s.SearchType);
    port.PlaceControl(ctl::SearchBox, p.SearchBox);
    port.PlaceControl(ctl::ResultsList, p.List);
    port.PlaceControl(ctl::Preview, p.Preview);

    std::array<std::string, 4> headers;
    if (p.ColumnMode == 1) {
        headers = {NameHeader(app.Results), " Path", " Date", " Size"};
    } else if (p.ColumnMode == 5) {
        headers = {"Settings Shortcuts", "", "", ""};
    } else if (p.ColumnMode == 6) {
        headers = {"Action Shortcuts", "", "", ""};
    }
    if (p.ColumnMode != 0) {
        for (int c = 0; c < 4; ++c) port.ListSetColumn(c + 1, headers[c], p.ColumnWidths[c]);
        port.RedrawControl(ctl::ResultsList);
    }
    port.RedrawControl(ctl::SearchBox);
    // A new font or size changes how many rows fit: the selected row stays in sight.
    if (int row = port.ListSelectedRow(); row > 0) port.ListEnsureVisible(row);
    AskPreviewRedraw(app);
}

}  // namespace lumiseek
