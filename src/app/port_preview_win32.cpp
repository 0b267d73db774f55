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

// GDI+ decodes the file once and keeps its pixels; each drawing scales them straight into the
// pane's picture, so no copy at the image's own size is ever made.
std::optional<Size2> Win32Port::LoadPreviewImage(const std::string& path) {
    previewImage.reset();
    auto* image = new Gdiplus::Bitmap(W(path).c_str());
    std::shared_ptr<void> kept(image, [](void* p) { delete static_cast<Gdiplus::Bitmap*>(p); });
    if (image->GetLastStatus() != Gdiplus::Ok) return std::nullopt;
    previewImage = kept;
    return Size2{static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight())};
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
    auto* image = static_cast<Gdiplus::Bitmap*>(previewImage.get());
    if (image == nullptr || previewPicture == nullptr) return;
    const int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
    if (w <= 0 || h <= 0) return;
    BitmapDC target(previewPicture);
    // Pixels that may be transparent (an alpha channel, a palette) are blended over the picture's
    // colour by GDI+.
    const Gdiplus::PixelFormat format = image->GetPixelFormat();
    if (Gdiplus::IsAlphaPixelFormat(format) || Gdiplus::IsIndexedPixelFormat(format)) {
        Gdiplus::Graphics graphics(target.dc);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
        // Edge pixels are sampled against their mirror, not against nothing beyond the image.
        Gdiplus::ImageAttributes edges;
        edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        graphics.DrawImage(image, Gdiplus::Rect(to.x, to.y, to.w, to.h), 0, 0, w, h, Gdiplus::UnitPixel, &edges);
        return;
    }
    // Opaque pixels are read where GDI+ holds them and scaled by the halftone stretch in one pass.
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, w, h);
    if (image->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = data.Stride / 4;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(target.dc, HALFTONE);
    SetBrushOrgEx(target.dc, 0, 0, nullptr);
    StretchDIBits(target.dc, to.x, to.y, to.w, to.h, 0, 0, w, h, data.Scan0, &info, DIB_RGB_COLORS, SRCCOPY);
    image->UnlockBits(&data);
}

void Win32Port::PreviewLater(int ms) { SetTimer(hwnd, kPreviewTimer, static_cast<UINT>(ms), nullptr); }

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
