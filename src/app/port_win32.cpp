#include "app/port_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <gdiplus.h>
#include <richedit.h>
#include <sapi.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <uxtheme.h>
#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/access_win32.h"
#include "base/ids.h"
#include "base/wide_win32.h"
#include "speech/shortcuts.h"

namespace lumiseek {

// --- the voice ---

void Win32Port::VoiceSpeak(const std::string& text, int flags) {
    if (voice == nullptr) return;
    std::wstring w = W(text);
    voice->Speak(w.c_str(), static_cast<DWORD>(flags), nullptr);
}

int Win32Port::VoiceRunningState() {
    if (voice == nullptr) return 0;
    SPVOICESTATUS status{};
    if (FAILED(voice->GetStatus(&status, nullptr))) return 0;
    return static_cast<int>(status.dwRunningState);
}

void Win32Port::VoiceSetRate(int rate) {
    if (voice != nullptr) voice->SetRate(rate);
}

void Win32Port::Beep(int hz, int ms) { ::Beep(static_cast<DWORD>(hz), static_cast<DWORD>(ms)); }

void Win32Port::SendKey(int vk, int flags) { keybd_event(static_cast<BYTE>(vk), 0, static_cast<DWORD>(flags), 0); }

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

// --- the toolbar and the large tooltip ---

namespace {
// The toolbar's icons, in image-list order (positions from 1).
const wchar_t* const kToolbarIcons[] = {L"zexit",   L"zsearch",  L"zopen",     L"zfile",   L"zfolder",
                                        L"zcolor",  L"znew",     L"zcopy",     L"zsfiles", L"zsfolders",
                                        L"zsboth",  L"zscustom", L"zexpand",   L"zhelp",   L"zprinter",
                                        L"zpreview", L"z1",      L"z2",        L"z3",      L"zsettings"};
}  // namespace

void Win32Port::MakeToolbarImages(int size) {
    if (toolbarImages != nullptr) ImageList_Destroy(toolbarImages);
    toolbarImages = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 20, 0);
    for (const wchar_t* name : kToolbarIcons) {
        auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, 0));
        ImageList_AddIcon(toolbarImages, icon);
        if (icon != nullptr) DestroyIcon(icon);
    }
}

void Win32Port::RemoveToolbar() {
    HWND toolbar = Item(ctl::Toolbar);
    if (toolbar == nullptr) return;
    if (tooltip != nullptr && toolTipTool != nullptr) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.hwnd = hwnd;
        ti.uId = reinterpret_cast<UINT_PTR>(toolTipTool);
        SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        toolTipTool = nullptr;
    }
    // The toolbar may be removed from inside its own button click (a page step, a search): it is
    // hidden and renumbered now, and ends once that click is over.
    SetWindowLongPtrW(toolbar, GWLP_ID, 0);
    ShowWindow(toolbar, SW_HIDE);
    PostMessageW(toolbar, WM_CLOSE, 0, 0);
}

void Win32Port::AddToolbar(const std::vector<ToolButton>& buttons, int fontPoints) {
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                   0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::Toolbar)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    HFONT& font = toolbarFonts[fontPoints];
    if (font == nullptr) font = MakeFont("Arial Black", fontPoints);
    SendMessageW(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages));
    for (const ToolButton& b : buttons) {
        std::wstring text = W(b.text);
        TBBUTTON button{};
        if (b.gap > 0) {
            button.iBitmap = b.gap;
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = b.image - 1;
            button.idCommand = b.command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
            button.iString = text.empty() ? -1 : reinterpret_cast<INT_PTR>(text.c_str());
        }
        SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    }
    InvalidateRect(toolbar, nullptr, TRUE);
    UpdateWindow(toolbar);
    if (toolbarProc != nullptr) {
        oldToolbarProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(toolbarProc)));
    }
    GiveAccessibleName(toolbar, ctl::Toolbar);
    SetToolTip(N(toolTipText));
}

int Win32Port::ToolbarButtonsRight() {
    HWND toolbar = Item(ctl::Toolbar);
    if (toolbar == nullptr) return 0;
    int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT r{};
    if (count < 1 || !SendMessageW(toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&r))) return 0;
    return r.right;
}

// The toolbar is registered once with the current text: an earlier registration is replaced.
void Win32Port::SetToolTip(const std::string& text) {
    toolTipText = W(text);
    HWND toolbar = Item(ctl::Toolbar);
    if (tooltip == nullptr || toolbar == nullptr) return;
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(toolbar);
    if (toolTipTool != nullptr) SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ti.lpszText = toolTipText.data();
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    toolTipTool = toolbar;
    // Shown where the pointer rests now, rather than at its next move over the toolbar.
    if (!toolTipText.empty()) {
        MSG move{};
        GetCursorPos(&move.pt);
        POINT inside = move.pt;
        ScreenToClient(toolbar, &inside);
        move.hwnd = toolbar;
        move.message = WM_MOUSEMOVE;
        move.lParam = MAKELPARAM(inside.x, inside.y);
        move.time = GetTickCount();
        SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
    }
}

void Win32Port::PopToolTip() {
    if (tooltip != nullptr) SendMessageW(tooltip, TTM_POP, 0, 0);
}

// Black on white in 72-pixel "Arial Black" (scaled for the screen's DPI), shown even while the
// window is inactive, without visual styles so that its colours apply.
void Win32Port::CreateTooltips() {
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowTheme(tooltip, L" ", L" ");
    LOGFONTW lf{};
    GetObjectW(GetStockObject(ANSI_FIXED_FONT), sizeof(lf), &lf);
    HDC dc = GetDC(hwnd);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(hwnd, dc);
    lf.lfHeight = -MulDiv(72, dpi, 96);
    lf.lfWidth = MulDiv(35, dpi, 96);
    // "Arial Black" is black by itself; where it is missing, a black sans-serif face stands in
    // rather than a thin fixed-pitch one.
    lf.lfWeight = FW_BLACK;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(lf.lfFaceName, L"Arial Black", LF_FACESIZE);
    SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontIndirectW(&lf)), FALSE);
    SendMessageW(tooltip, TTM_SETTIPTEXTCOLOR, 0, 0);
    SendMessageW(tooltip, TTM_SETTIPBKCOLOR, RGB(255, 255, 255), 0);
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    // Left up as long as it can be (32 s) while the pointer rests: slow readers need the time.
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 32000);
}

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

// --- printing ---

PrintStart Win32Port::BeginPrint(const std::string& face, int points) {
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = hwnd;
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;
    pd.nCopies = 1;
    if (!PrintDlgW(&pd)) {
        return {CommDlgExtendedError() == 0 ? PrintStart::Cancelled : PrintStart::Failed, 0};
    }
    printer = pd.hDC;
    // One copy, portrait, whatever the dialog was given.
    if (pd.hDevMode != nullptr) {
        if (auto* mode = static_cast<DEVMODEW*>(GlobalLock(pd.hDevMode))) {
            mode->dmFields |= DM_COPIES | DM_ORIENTATION;
            mode->dmCopies = 1;
            mode->dmOrientation = DMORIENT_PORTRAIT;
            if (printer != nullptr) ResetDCW(printer, mode);
            GlobalUnlock(pd.hDevMode);
        }
        GlobalFree(pd.hDevMode);
    }
    if (pd.hDevNames != nullptr) GlobalFree(pd.hDevNames);
    if (printer == nullptr) return {PrintStart::Failed, 0};
    printFont = CreateFontW(-MulDiv(points, GetDeviceCaps(printer, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                            FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, W(face).c_str());
    SelectObject(printer, printFont);
    SIZE x{};
    GetTextExtentPoint32W(printer, L"X", 1, &x);
    printLineHeight = x.cy;
    int height = GetDeviceCaps(printer, VERTRES);
    return {PrintStart::Ready, printLineHeight > 0 ? height / printLineHeight : 0};
}

bool Win32Port::PrintPages(const std::vector<std::vector<std::string>>& pages) {
    if (printer == nullptr) return false;
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = L"Lumiseek";
    bool ok = StartDocW(printer, &doc) > 0;
    for (const auto& page : pages) {
        ok = ok && StartPage(printer) > 0;
        if (!ok) break;
        SelectObject(printer, printFont);
        int y = 0;
        for (const std::string& line : page) {
            std::wstring w = W(line);
            TextOutW(printer, 0, y, w.c_str(), static_cast<int>(w.size()));
            y += printLineHeight;
        }
        ok = EndPage(printer) > 0;
    }
    if (ok) {
        ok = EndDoc(printer) > 0;
    } else {
        AbortDoc(printer);
    }
    DeleteDC(printer);
    DeleteObject(printFont);
    printer = nullptr;
    printFont = nullptr;
    return ok;
}

// --- the results list ---

void Win32Port::ListSetItemCount(int count, int flags) {
    ListView_SetItemCountEx(Item(ctl::ResultsList), count, static_cast<DWORD>(flags));
}

void Win32Port::ListDeleteAllItems() { ListView_DeleteAllItems(Item(ctl::ResultsList)); }

void Win32Port::ListSelectRow(int row) {
    HWND list = Item(ctl::ResultsList);
    if (row < 1) return;
    ListView_SetItemState(list, row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row - 1, FALSE);
}

int Win32Port::ListSelectedRow() { return ListView_GetNextItem(Item(ctl::ResultsList), -1, LVNI_SELECTED) + 1; }

int Win32Port::ListTopIndex() { return ListView_GetTopIndex(Item(ctl::ResultsList)); }

void Win32Port::ListSetTopRow(int index) {
    HWND list = Item(ctl::ResultsList);
    RECT r{};
    ListView_GetItemRect(list, 0, &r, LVIR_BOUNDS);
    int h = r.bottom - r.top;
    int p = GetScrollPos(list, SB_VERT);
    ListView_Scroll(list, 0, (index - p) * h);
}

void Win32Port::ListSetColumn(int column, const std::string& header, int width) {
    std::wstring text = W(header);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT;
    c.pszText = text.data();
    if (width >= 0) {
        c.mask |= LVCF_WIDTH;
        c.cx = width;
    }
    ListView_SetColumn(Item(ctl::ResultsList), column - 1, &c);
}

void Win32Port::ListFitColumns() {
    HWND list = Item(ctl::ResultsList);
    for (int c = 0; c < 4; ++c) ListView_SetColumnWidth(list, c, LVSCW_AUTOSIZE_USEHEADER);
}

void Win32Port::ListSetGridStyle() {
    ListView_SetExtendedListViewStyle(Item(ctl::ResultsList), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

void Win32Port::ListUpdateNow() {
    HWND list = Item(ctl::ResultsList);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

// --- the search box ---

std::string Win32Port::BoxText() {
    HWND box = Item(ctl::SearchBox);
    int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(box, text.data(), length + 1);
    text.resize(static_cast<size_t>(got));
    return N(text);
}

void Win32Port::SetBoxText(const std::string& text) { SetWindowTextW(Item(ctl::SearchBox), W(text).c_str()); }

void Win32Port::BoxSelect(int from, int to) { SendMessageW(Item(ctl::SearchBox), EM_SETSEL, from, to); }

void Win32Port::BoxSelection(int& from, int& to) {
    CHARRANGE range{};
    SendMessageW(Item(ctl::SearchBox), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    from = range.cpMin;
    to = range.cpMax;
}

void Win32Port::BoxReplaceSelection(const std::string& text) {
    SendMessageW(Item(ctl::SearchBox), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(text).c_str()));
}

// --- clipboard ---

namespace {

// A movable global memory block holding a copy of the bytes; null when memory runs out.
HGLOBAL GlobalBlock(const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (memory == nullptr) return nullptr;
    void* p = GlobalLock(memory);
    if (p == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(p, bytes, size);
    GlobalUnlock(memory);
    return memory;
}

// Replaces the clipboard's contents by the block in the format. The block is made before the
// clipboard is opened, so that neither a busy clipboard nor a lack of memory empties it. Once
// the clipboard has taken the block it owns it.
bool PutClipboardBlock(HWND owner, UINT format, HGLOBAL memory) {
    if (memory == nullptr) return false;
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    bool placed = EmptyClipboard() && SetClipboardData(format, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory);
    return placed;
}

}  // namespace

void Win32Port::SetClipboardText(const std::string& text) {
    std::wstring w = W(text);
    PutClipboardBlock(hwnd, CF_UNICODETEXT, GlobalBlock(w.c_str(), (w.size() + 1) * sizeof(wchar_t)));
}

bool Win32Port::SetClipboardFiles(const std::string& dropFiles) {
    return PutClipboardBlock(hwnd, CF_HDROP, GlobalBlock(dropFiles.data(), dropFiles.size()));
}

std::optional<std::string> Win32Port::ClipboardText() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(hwnd)) return std::nullopt;
    std::optional<std::string> result;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            size_t limit = GlobalSize(data) / sizeof(wchar_t);
            size_t n = 0;
            while (n < limit && p[n] != L'\0') ++n;
            result = N(std::wstring(p, n));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}

// --- files ---

bool Win32Port::FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(W(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Port::ReadFileBytes(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[1 << 16];
    DWORD got = 0;
    bool ok = true;
    while (true) {
        if (!::ReadFile(file, buffer, sizeof(buffer), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return ok;
}

bool Win32Port::ReadFilePart(const std::string& path, uint64_t offset, size_t count, std::string& bytes) {
    HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.resize(count);
    size_t got = 0;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
    while (ok && got < count) {
        DWORD n = 0;
        DWORD want = count - got > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count - got);
        ok = ::ReadFile(file, bytes.data() + got, want, &n, nullptr) != FALSE;
        if (n == 0) break;
        got += n;
    }
    CloseHandle(file);
    bytes.resize(ok ? got : 0);
    return ok;
}

bool Win32Port::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    std::wstring target = W(path);
    std::wstring temporary = target + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok) ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool Win32Port::RemoveFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != FALSE; }

bool Win32Port::RenameFile(const std::string& from, const std::string& to) {
    return MoveFileW(W(from).c_str(), W(to).c_str()) != FALSE;
}

bool Win32Port::Download(const std::string& address, const std::string& path) {
    std::wstring url = W(address);
    std::wstring name = W(path);
    DeleteUrlCacheEntryW(url.c_str());
    DWORD n = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0) return false;
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(name.c_str(), n, full.data(), nullptr));
    return URLDownloadToFileW(nullptr, url.c_str(), full.c_str(), 0, nullptr) == S_OK;
}

std::optional<FileStamp> Win32Port::FileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    FileStamp stamp;
    stamp.writeTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    stamp.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return stamp;
}

namespace {
// The full path of the running program.
std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}
}  // namespace

std::string Win32Port::SettingsPath() {
    std::wstring path = ModulePath();
    size_t slash = path.find_last_of(L"\\/");
    size_t dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.resize(dot);
    return N(path + L".ini");
}

std::string Win32Port::AnsiToUtf8(const std::string& bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return N(wide);
}

// --- processes and the shell ---

namespace {
// Starts a process: `application` is the program's path (null: the first word of the command
// line names it), `line` the whole command line.
bool CreateWithShow(const wchar_t* application, std::wstring line, WORD show, DWORD flags, PROCESS_INFORMATION& pi) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    return CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS | flags, nullptr,
                          nullptr, &si, &pi) != FALSE;
}
}  // namespace

std::optional<std::string> Win32Port::FindProgram(const std::string& name) {
    std::wstring wanted = W(name);
    std::wstring folder = ModulePath();
    folder.resize(folder.find_last_of(L"\\/") + 1);
    std::wstring beside = folder + wanted;
    DWORD attributes = GetFileAttributesW(beside.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return N(beside);

    // Along PATH only: not the current folder, not the system folders.
    std::optional<std::string> pathVariable = EnvironmentVariable("PATH");
    if (!pathVariable) return std::nullopt;
    std::wstring path = W(*pathVariable);
    std::wstring found(MAX_PATH, L'\0');
    while (true) {
        DWORD n = SearchPathW(path.c_str(), wanted.c_str(), nullptr, static_cast<DWORD>(found.size()), found.data(),
                              nullptr);
        if (n == 0) return std::nullopt;
        if (n < found.size()) {
            found.resize(n);
            return N(found);
        }
        found.resize(n);
    }
}

RunResult Win32Port::RunHidden(const std::string& program, const std::string& arguments) {
    std::wstring application = W(program);
    PROCESS_INFORMATION pi{};
    // Without a console: es writes its rows to a file, and a hidden console would be one more
    // process to start for every search (about 20 ms under Wine).
    if (!CreateWithShow(application.c_str(), L"\"" + application + L"\" " + W(arguments), SW_HIDE, DETACHED_PROCESS,
                        pi))
        return {false, 0};
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return {true, code};
}

bool Win32Port::StartProgram(const std::string& path) {
    PROCESS_INFORMATION pi{};
    if (!CreateWithShow(nullptr, W(path), SW_SHOWNORMAL, 0, pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool Win32Port::ShellOpen(const std::string& target) {
    HINSTANCE result = ShellExecuteW(nullptr, L"open", W(target).c_str(), L"", L"", SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> Win32Port::AssociatedProgram(const std::string& extension) {
    wchar_t name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_FRIENDLYAPPNAME, W(extension).c_str(), nullptr, name,
                          &size) != S_OK)
        return std::nullopt;
    // Wine leaves `size` as it was: the name ends at its terminating zero.
    name[MAX_PATH - 1] = L'\0';
    return N(name);
}

int Win32Port::ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

// An empty variable counts as none.
std::optional<std::string> Win32Port::EnvironmentVariable(const std::string& name) {
    std::wstring key = W(name);
    DWORD n = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (n <= 1) return std::nullopt;
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(key.c_str(), value.data(), n));
    return N(value);
}

std::string Win32Port::ExpandEnvironment(const std::string& text) {
    std::wstring in = W(text);
    DWORD n = ExpandEnvironmentStringsW(in.c_str(), nullptr, 0);
    if (n == 0) return text;
    std::wstring out(n, L'\0');
    n = ExpandEnvironmentStringsW(in.c_str(), out.data(), n);
    out.resize(n > 0 ? n - 1 : 0);
    return N(out);
}

bool Win32Port::VerifySignature(const std::string& publicKey, const std::string& data,
                                const std::string& signature) {
    return VerifyEcdsaP256(publicKey, data, signature);
}

// --- time and errors ---

int64_t Win32Port::Counter() {
    LARGE_INTEGER v{};
    QueryPerformanceCounter(&v);
    return v.QuadPart;
}

int64_t Win32Port::CounterFrequency() {
    LARGE_INTEGER v{};
    QueryPerformanceFrequency(&v);
    return v.QuadPart;
}

bool Win32Port::AskContinueAfterError(const std::string& message) {
    return MessageBoxW(hwnd, W(message).c_str(), L"Lumiseek", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

void Win32Port::ExitProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace lumiseek
