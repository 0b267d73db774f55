#include "view/colors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/app.h"

namespace lumiseek {

namespace {
constexpr int kBlue = 16711680;
constexpr int kWhite = 16777215;
constexpr int kBlack = 0;
constexpr int kYellow = 65535;
}  // namespace

void ChangeColors(App& app) {
    Settings& s = app.settings;
    if (s.BG == kBlue) {
        s.FG = kBlack;
        s.BG = kWhite;
    } else if (s.BG == kWhite) {
        s.FG = kWhite;
        s.BG = kBlack;
    } else {
        // Black, and any other background a hand-edited file holds: the first scheme again, so
        // that Ctrl+Y always reaches a scheme it names.
        s.FG = kYellow;
        s.BG = kBlue;
    }
    ChangeControlColors(app);
}

void ChangeControlColors(App& app) { app.port.SetControlColors(app.settings.FG, app.settings.BG); }

std::string ColorName(int bg) {
    switch (bg) {
        case kBlue: return "Yellow on Blue";
        case kWhite: return "Black on White";
        case kBlack: return "White on Black";
        case kYellow: return "Black on Yellow";
        default: return "";
    }
}

RowColors SelectedRowColors(const Settings& s) { return {s.BG, s.FG}; }

void StepFontSize(App& app, int step) {
    Settings& s = app.settings;
    // There is no upper limit, but a size read from a hand-edited file must not overflow.
    int64_t size = static_cast<int64_t>(s.FontSize) + step;
    if (size < kMinFontSize) size = kMinFontSize;
    s.FontSize = static_cast<int32_t>(std::min<int64_t>(size, std::numeric_limits<int32_t>::max()));
    app.port.SetLargeFont(s.FontName, s.FontSize);
}

}  // namespace lumiseek
