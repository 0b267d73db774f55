#include "app/port_win32.h"

#include <uxtheme.h>
#include <vector>

#include "base/wide_win32.h"
#include "app/access_win32.h"
#include "base/ids.h"

namespace lumiseek {

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

}  // namespace lumiseek
