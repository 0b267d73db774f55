#include "app/port_win32.h"

#include <gdiplus.h>
#include <algorithm>

#include "base/wide_win32.h"
#include "base/ids.h"

namespace lumiseek {

// --- the image preview ---

namespace {

// A bitmap in the screen's format.
HBITMAP ScreenBitmap(int w, int h) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// A memory device context drawing on a bitmap for as long as it lives.
struct BitmapDC {
    HDC dc;
    HGDIOBJ old;
    explicit BitmapDC(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, bitmap)) {}
    ~BitmapDC() {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
};

void Fill(HDC dc, int w, int h, int colour) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(colour));
    RECT all{0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

}  // namespace

Size2 Win32Port::PreviewSize() {
    RECT r{};
    GetClientRect(Item(ctl::Preview), &r);
    return {r.right - r.left, r.bottom - r.top};
}

// GDI+ decodes the file and draws it once, at its own size, into the off-screen bitmap; every
// scaling is done afterwards by the halftone stretch.
bool Win32Port::LoadPreviewImage(const std::string& path, int bg, Size2& size) {
    if (previewImage != nullptr) DeleteObject(previewImage);
    previewImage = nullptr;
    previewImageSize = {};
    Gdiplus::Image image(W(path).c_str());
    if (image.GetLastStatus() != Gdiplus::Ok) return false;
    size = {static_cast<int>(image.GetWidth()), static_cast<int>(image.GetHeight())};
    if (size.w <= 0 || size.h <= 0) return true;
    previewImage = ScreenBitmap(size.w, size.h);
    if (previewImage == nullptr) return false;  // too large to hold
    previewImageSize = size;
    BitmapDC target(previewImage);
    Fill(target.dc, size.w, size.h, bg);
    Gdiplus::Graphics graphics(target.dc);
    return graphics.DrawImage(&image, 0, 0, size.w, size.h) == Gdiplus::Ok;
}

void Win32Port::PreviewClear(int bg) {
    Size2 pane = PreviewSize();
    if (previewPicture == nullptr || pane.w != previewPictureSize.w || pane.h != previewPictureSize.h) {
        if (previewPicture != nullptr) DeleteObject(previewPicture);
        previewPicture = ScreenBitmap(std::max(pane.w, 1), std::max(pane.h, 1));
        previewPictureSize = pane;
    }
    BitmapDC target(previewPicture);
    Fill(target.dc, std::max(pane.w, 1), std::max(pane.h, 1), bg);
}

void Win32Port::PreviewStretch(Rect to) {
    if (previewImage == nullptr || previewPicture == nullptr) return;
    BitmapDC source(previewImage);
    BitmapDC target(previewPicture);
    SetStretchBltMode(target.dc, HALFTONE);
    SetBrushOrgEx(target.dc, 0, 0, nullptr);
    StretchBlt(target.dc, to.x, to.y, to.w, to.h, source.dc, 0, 0, previewImageSize.w, previewImageSize.h, SRCCOPY);
}

void Win32Port::PreviewWrite(int x, int y, const std::string& text, int fg) {
    if (previewPicture == nullptr) return;
    BitmapDC target(previewPicture);
    auto font = reinterpret_cast<HFONT>(SendMessageW(Item(ctl::Preview), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(target.dc, font) : nullptr;
    SetTextColor(target.dc, static_cast<COLORREF>(fg));
    SetBkMode(target.dc, TRANSPARENT);
    std::wstring w = W(text);
    TextOutW(target.dc, x, y, w.c_str(), static_cast<int>(w.size()));
    if (oldFont != nullptr) SelectObject(target.dc, oldFont);
}

void Win32Port::PaintPreview(HWND pane, HDC dc) {
    RECT r{};
    GetClientRect(pane, &r);
    if (previewPicture == nullptr) {
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    BitmapDC source(previewPicture);
    BitBlt(dc, 0, 0, r.right, r.bottom, source.dc, 0, 0, SRCCOPY);
}

}  // namespace lumiseek
