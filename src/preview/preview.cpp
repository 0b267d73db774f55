#include "preview/preview.h"

#include <algorithm>
#include <string_view>

#include "actions/open.h"
#include "base/app.h"
#include "base/ids.h"
#include "base/text.h"
#include "speech/speech.h"

namespace lumiseek {

// How long a selection rests before its picture is decoded: a key held down or pressed quickly
// moves on without waiting for a decode of a second or more.
constexpr int kPreviewRestMs = 150;

namespace {

constexpr int kWhite = 0xFFFFFF;
constexpr int kBlack = 0x000000;
constexpr int kBlue = 0xFF0000;  // red 0, green 0, blue 255 as a COLORREF

// Stretches the decoded image into the pane; an image or pane without area is left undrawn.
void DisplayScaledImage(App& app, Size2 image) {
    Size2 pane = app.port.PreviewSize();
    auto to = ScaledImageRect(image.w, image.h, pane.w, pane.h, app.settings.PreviewResize != 0);
    if (to) app.port.PreviewStretch(*to);
}

// The selected file decoded by the port: a file decoded before and unchanged since is used again
// (a relayout, another background, a return to the row), anything else is decoded anew.
bool KeepDecoded(App& app) {
    Port& port = app.port;
    std::optional<FileStamp> stamp = port.FileStampOf(app.PreviewPath);
    if (app.PreviewLoaded == app.PreviewPath && app.PreviewLoadedStamp == stamp) return true;
    std::optional<Size2> size = port.LoadPreviewImage(app.PreviewPath);
    app.PreviewLoaded = size ? app.PreviewPath : std::string();
    app.PreviewLoadedStamp = stamp;
    app.PreviewImageSize = size.value_or(Size2{});
    return size.has_value();
}

}  // namespace

int ImageTextColor(int ImageBG) { return ImageBG == 0 ? kBlack : kWhite; }

int ImageBGColor(int ImageBG) {
    switch (ImageBG) {
        case 0: return kWhite;
        case 2: return kBlue;
        default: return kBlack;
    }
}

std::optional<Rect> ScaledImageRect(int width, int height, int cw, int ch, bool resize) {
    if (width <= 0 || height <= 0 || cw <= 0 || ch <= 0) return std::nullopt;
    int64_t dw = width, dh = height;
    if (resize || width > cw || height > ch) {
        double r = std::max(static_cast<double>(width) / cw, static_cast<double>(height) / ch);
        dw = RoundHalfEven(width / r);
        dh = RoundHalfEven(height / r);
    }
    return Rect{static_cast<int>(RoundHalfEven((cw - dw) / 2.0)), static_cast<int>(RoundHalfEven((ch - dh) / 2.0)),
                static_cast<int>(dw), static_cast<int>(dh)};
}

void SetPreviewPath(App& app, const std::string& path) { app.PreviewPath = path; }

void PreviewSelection(App& app) {
    const Settings& s = app.settings;
    if (s.ShowPreview == 0) return;
    Port& port = app.port;
    port.ShowControl(ctl::Preview, true);
    const int bg = ImageBGColor(s.ImageBG);
    port.PreviewClear(bg);
    // No file there (a folder, a row of the spoken lists, a file gone since): the pane stays clear.
    if (!app.PreviewPath.empty() && port.FileExists(app.PreviewPath)) {
        // The empty extension counts as an image's: the decoder decides.
        if (InTypeList(kImageTypes, Extension(app.PreviewPath)) && KeepDecoded(app)) {
            DisplayScaledImage(app, app.PreviewImageSize);
        } else {
            port.PreviewWrite(50, 50, "Not An Image", ImageTextColor(s.ImageBG));
        }
    }
    port.RedrawControl(ctl::Preview);
}

void PreviewSoon(App& app) {
    const Settings& s = app.settings;
    if (s.ShowPreview == 0) return;
    app.port.ShowControl(ctl::Preview, true);
    app.port.PreviewClear(ImageBGColor(s.ImageBG));
    app.port.RedrawControl(ctl::Preview);
    app.port.PreviewLater(kPreviewRestMs);
}

void ManageImageBG(App& app) {
    int32_t& bg = app.settings.ImageBG;
    bg = bg >= 0 && bg < 2 ? bg + 1 : 0;
    static const char* const words[] = {"White", "Black", "Blue"};
    SpeakOne(app, std::string("Image Background is ") + words[bg]);
    PreviewSelection(app);
}

}  // namespace lumiseek
