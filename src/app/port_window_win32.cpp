#include "app/port_win32.h"

#include <richedit.h>
#include <gdiplus.h>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/wide_win32.h"
#include "base/ids.h"
#include "speech/shortcuts.h"

namespace lumiseek {

// --- the main window ---

void Win32Port::SetCaption(const std::string& text) { SetWindowTextW(hwnd, W(text).c_str()); }

void Win32Port::SetStatusText(const std::string& text) {
    SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(text).c_str()));
    UpdateWindow(status);
}

HFONT Win32Port::MakeFont(const std::string& face, int points) {
    HDC dc = GetDC(hwnd);
    int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(hwnd, dc);
    return CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, W(face).c_str());
}

void Win32Port::SetStatusFont(const std::string& face, int points) {
    SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(MakeFont(face, points)), TRUE);
}

void Win32Port::EndWindow() { DestroyWindow(hwnd); }

void Win32Port::SetWindowSize(int width, int height) {
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}


Placement Win32Port::GetPlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd, &wp);
    Placement p;
    p.left = wp.rcNormalPosition.left;
    p.top = wp.rcNormalPosition.top;
    p.right = wp.rcNormalPosition.right;
    p.bottom = wp.rcNormalPosition.bottom;
    p.minimized = IsIconic(hwnd) != FALSE;
    p.maximized = IsZoomed(hwnd) != FALSE;
    return p;
}

namespace {
RECT ToRECT(Rect r) {
    // A hand-edited place and size must not overflow the right and bottom edges.
    auto edge = [](int from, int length) {
        return static_cast<LONG>(std::clamp<int64_t>(int64_t{from} + length, INT32_MIN, INT32_MAX));
    };
    return RECT{r.x, r.y, edge(r.x, r.w), edge(r.y, r.h)};
}
Rect FromRECT(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
}  // namespace

// rcNormalPosition is in workspace coordinates (offset by a taskbar at the top or left), the
// form GetPlacement saves: it goes back through SetWindowPlacement, never through SetWindowPos.
void Win32Port::RestorePlacement(Rect normal) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd, &wp);
    wp.flags = 0;
    if (!IsWindowVisible(hwnd)) wp.showCmd = SW_HIDE;
    wp.rcNormalPosition = ToRECT(normal);
    SetWindowPlacement(hwnd, &wp);
}

Rect Win32Port::WindowRect() {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return FromRECT(r);
}

void Win32Port::SetWindowRect(Rect r) {
    SetWindowPos(hwnd, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Port::WorkAreaNear(Rect r) {
    RECT area = ToRECT(r);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &info)) return {};
    return FromRECT(info.rcWork);
}

void Win32Port::SetShowState(bool maximized, bool minimized) {
    showCommand = SW_SHOWNORMAL;
    if (maximized) showCommand = SW_SHOWMAXIMIZED;
    if (minimized) showCommand = SW_SHOWMINIMIZED;
}

Size2 Win32Port::ClientSize() {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

int Win32Port::ControlHeight(int id) {
    HWND control = Item(id);
    if (control == nullptr || !IsWindowVisible(control)) return 0;
    RECT r{};
    GetWindowRect(control, &r);
    return r.bottom - r.top;
}

// Drawn anew where it lands: copying its old pixels along would also copy whatever a newly built
// toolbar had drawn over them.
void Win32Port::PlaceControl(int id, Rect r) {
    SetWindowPos(Item(id), nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

void Win32Port::ShowControl(int id, bool show) {
    if (HWND control = Item(id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void Win32Port::RedrawControl(int id) {
    HWND control = Item(id);
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
}

void Win32Port::RedrawWindow() {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool Win32Port::HasFocus(int id) {
    HWND focus = GetFocus();
    return focus != nullptr && focus == Item(id);
}

void Win32Port::Focus(int id) { SetFocus(Item(id)); }

bool Win32Port::CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

void Win32Port::AttachAcceleratorTable() {
    std::vector<ACCEL> entries;
    for (const AccelEntry& e : AcceleratorTable()) entries.push_back(ACCEL{e.flags, e.key, e.command});
    if (accelerators != nullptr) DestroyAcceleratorTable(accelerators);
    accelerators = CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()));
}

void Win32Port::PostDeferredInit() { PostMessageW(hwnd, kDeferredInit, 0, 0); }

void Win32Port::StartGdiplus() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
}

// --- fonts and colours ---

void Win32Port::SetLargeFont(const std::string& face, int points) {
    HFONT font = MakeFont(face, points);
    for (int id : {ctl::SearchBox, ctl::ResultsList, ctl::Preview}) {
        if (HWND control = Item(id)) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            InvalidateRect(control, nullptr, TRUE);
        }
    }
    // Each size step makes a new font; the old one is no longer used by any control.
    if (largeFont != nullptr) DeleteObject(largeFont);
    largeFont = font;
}

void Win32Port::SetControlColors(int fg, int bg) {
    HWND box = Item(ctl::SearchBox);
    HWND list = Item(ctl::ResultsList);
    SendMessageW(box, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(bg));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    cf.dwEffects = 0;
    cf.crTextColor = static_cast<COLORREF>(fg);
    SendMessageW(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    ListView_SetTextColor(list, static_cast<COLORREF>(fg));
    ListView_SetTextBkColor(list, static_cast<COLORREF>(bg));
    ListView_SetBkColor(list, static_cast<COLORREF>(bg));
    RedrawControl(ctl::ResultsList);
    RedrawControl(ctl::SearchBox);
}

}  // namespace lumiseek
