// The Win32 shell: creates the main window and its controls, runs the message loop, and turns
// every message and notification into one call of the core (app/dispatch.h).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <richedit.h>
#include <sapi.h>

#include <memory>
#include <string>

#include "app/access_win32.h"
#include "app/dispatch.h"
#include "app/port_win32.h"
#include "app/shell_win32.h"
#include "app/single_instance_win32.h"
#include "app/toolbar.h"
#include "base/app.h"
#include "base/ids.h"
#include "base/text.h"
#include "base/wide_win32.h"
#include "search/results.h"
#include "search/search.h"

namespace lumiseek {
namespace {

LRESULT CALLBACK NewLvProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Shell* shell = ShellOf(GetParent(hwnd));
    if (msg == WM_SETFOCUS && shell->started) OnListFocus(shell->app);
    if (msg == WM_KEYDOWN && wParam == VK_SPACE && shell->started && OnListSpace(shell->app)) return 0;
    return CallWindowProcW(shell->oldListProc, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK NewTbProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Shell* shell = ShellOf(GetParent(hwnd));
    if (msg == WM_SETFOCUS) OnToolbarFocus(shell->app);
    return CallWindowProcW(shell->port.oldToolbarProc, hwnd, msg, wParam, lParam);
}

void CreateListView(Shell& shell) {
    HWND dialog = shell.port.hwnd;
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA, 10,
                                40, 1200, 600, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::ResultsList)),
                                GetModuleHandleW(nullptr), nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    double w = client.right - client.left;
    const wchar_t* headers[] = {L" Files", L" Folders", L" Date", L" Size"};
    int widths[] = {static_cast<int>(RoundHalfEven((w - 20) / 2)), static_cast<int>(RoundHalfEven((w - 40) / 2)), 600,
                    600};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW c{};
        c.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.fmt = LVCFMT_LEFT;
        c.cx = widths[i];
        c.pszText = const_cast<wchar_t*>(headers[i]);
        c.iSubItem = i;
        ListView_InsertColumn(list, i, &c);
    }
    InitializeList(shell.app);
    shell.oldListProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NewLvProc)));
    HIMAGELIST images = ImageList_Create(24, 24, ILC_COLOR32 | ILC_MASK, 5, 0);
    ListView_SetImageList(list, images, LVSIL_SMALL);
}

void CreateRichEdit(Shell& shell) {
    LoadLibraryW(L"msftedit.dll");
    HWND box = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit50W", L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL, 10, 0, 1200, 60,
                               shell.port.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::SearchBox)),
                               GetModuleHandleW(nullptr), nullptr);
    shell.oldBoxProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NewReProc)));
}

// The preview pane shows the picture the port draws for it.
LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Shell* shell = ShellOf(GetParent(hwnd));
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        shell->port.PaintPreview(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return CallWindowProcW(shell->oldPreviewProc, hwnd, msg, wParam, lParam);
}

// CreateGraphic: a bordered pane that reports clicks (command 504).
void CreatePreview(Shell& shell) {
    HWND pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_BORDER | SS_NOTIFY, 0, 0, 10, 10, shell.port.hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::Preview)),
                                GetModuleHandleW(nullptr), nullptr);
    shell.oldPreviewProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviewProc)));
}

void CreateStatusBar(Shell& shell) {
    shell.port.status = CreateWindowExW(0, STATUSCLASSNAMEW, L"Welcome to Lumiseek!", WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                        0, shell.port.hwnd,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::StatusBar)),
                                        GetModuleHandleW(nullptr), nullptr);
}

// Set the window's DWLP_MSGRESULT for a notification and tell the dialog manager it was handled.
INT_PTR NotifyResult(HWND dialog, LRESULT result) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR OnNotify(Shell& shell, HWND dialog, NMHDR* header) {
    App& app = shell.app;
    if (header->code == TTN_GETDISPINFOW) {
        OnToolTipRequest(app, static_cast<int>(header->idFrom));
        return FALSE;
    }
    if (header->idFrom == static_cast<UINT_PTR>(ctl::Toolbar) && header->code == static_cast<UINT>(NM_RCLICK)) {
        OnToolbarRightClick(app, static_cast<int>(reinterpret_cast<NMMOUSE*>(header)->dwItemSpec));
        return FALSE;
    }
    if (header->idFrom != static_cast<UINT_PTR>(ctl::ResultsList)) return FALSE;
    switch (header->code) {
        case LVN_COLUMNCLICK: {
            auto* view = reinterpret_cast<NMLISTVIEW*>(header);
            OnListColumnClick(app, view->iSubItem + 1);
            return FALSE;
        }
        case NM_DBLCLK:
            OnListDoubleClick(app);
            return FALSE;
        case LVN_KEYDOWN: {
            auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
            if (OnListKeyDown(app, key->wVKey)) return NotifyResult(dialog, 1);
            return FALSE;
        }
        case LVN_ODFINDITEMW:
        case LVN_ODFINDITEMA:
            // The list's own incremental search asks which row a typed letter means. The
            // program's type-ahead (LVN_KEYDOWN) has already moved the selection, so the answer
            // is always "no row" (0 would be row 1, undoing the type-ahead).
            return NotifyResult(dialog, -1);
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
            if (info->item.mask & LVIF_TEXT) {
                shell.cellText = W(OnListCellText(app, info->item.iItem + 1, info->item.iSubItem + 1));
                info->item.pszText = shell.cellText.data();
            }
            return FALSE;
        }
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
            const DWORD stage = draw->nmcd.dwDrawStage;
            if (stage == CDDS_PREPAINT) return NotifyResult(dialog, CDRF_NOTIFYITEMDRAW);
            // The row and then each of its cells: Wine sets the text colour again for every cell.
            if ((stage & ~static_cast<DWORD>(CDDS_SUBITEM)) != CDDS_ITEMPREPAINT) {
                return NotifyResult(dialog, CDRF_DODEFAULT);
            }
            int index = static_cast<int>(draw->nmcd.dwItemSpec);
            if ((ListView_GetItemState(header->hwndFrom, index, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
                return NotifyResult(dialog, CDRF_DODEFAULT);
            }
            RowColors colors = OnListSelectedRowColors(app);
            draw->clrText = static_cast<COLORREF>(colors.text);
            draw->clrTextBk = static_cast<COLORREF>(colors.back);
            // Without its selected state the list paints the row in these colours, not in the
            // system's highlight; the focus rectangle is drawn all the same.
            draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
            return NotifyResult(dialog, CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW);
        }
        case LVN_ITEMCHANGED: {
            auto* view = reinterpret_cast<NMLISTVIEW*>(header);
            if ((view->uChanged & LVIF_STATE) && (view->uNewState & LVIS_SELECTED)) {
                OnListSelectionChanged(app, view->iItem + 1);
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK DlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG && ShellOf(dialog) == nullptr) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    Shell* shell = ShellOf(dialog);
    // The handler takes over when the modal loop starts; messages from building the window
    // before that (a list selection, a focus change) get the default handling.
    if (shell == nullptr || !shell->started) return FALSE;
    App& app = shell->app;
    switch (msg) {
        case WM_INITDIALOG:
            InitDialog(app);
            return FALSE;
        case WM_TIMER:
            if (wParam != kPreviewTimer) return FALSE;
            KillTimer(dialog, kPreviewTimer);
            OnPreviewDue(app);
            return TRUE;
        case kDeferredInit:
            DeferredInit(app);
            return TRUE;
        case WM_SIZE:
            if (shell->port.status) SendMessageW(shell->port.status, WM_SIZE, wParam, lParam);
            if (HWND toolbar = GetDlgItem(dialog, ctl::Toolbar)) SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
            OnSize(app);
            return TRUE;
        case WM_CONTEXTMENU:
            OnContextMenu(app);
            return TRUE;
        case WM_SETCURSOR:
            if (HWND toolbar = GetDlgItem(dialog, ctl::Toolbar)) {
                POINT screen{};
                GetCursorPos(&screen);
                POINT pt = screen;
                ScreenToClient(toolbar, &pt);
                if (OnSetCursor(app, pt.x, pt.y, HIWORD(lParam) == WM_LBUTTONDOWN)) {
                    SendMessageW(dialog, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
                    return NotifyResult(dialog, TRUE);
                }
            }
            return FALSE;
        case WM_HELP:
            OnHelp(app, GetKeyState(VK_CONTROL) < 0);
            return TRUE;
        case WM_MOUSEWHEEL:
            OnMouseWheel(app, GET_WHEEL_DELTA_WPARAM(wParam));
            return TRUE;
        case WM_COMMAND:
            OnCommand(app, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(*shell, dialog, reinterpret_cast<NMHDR*>(lParam));
        case WM_CLOSE:
            DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            OnDestroy(app);
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

// An in-memory dialog template: no dialog resource, no controls, no font.
HWND CreateMainWindow(Shell& shell, const std::wstring& caption) {
    alignas(4) WORD buffer[512] = {};
    auto* t = reinterpret_cast<DLGTEMPLATE*>(buffer);
    t->style = WS_OVERLAPPEDWINDOW;
    t->dwExtendedStyle = 0;
    t->cdit = 0;
    WORD* p = reinterpret_cast<WORD*>(t + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // the dialog class
    size_t room = 512 - static_cast<size_t>(p - buffer) - 1;
    for (size_t i = 0; i < caption.size() && i < room; ++i) *p++ = static_cast<WORD>(caption[i]);
    *p++ = 0;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t, nullptr, DlgProc,
                                             reinterpret_cast<LPARAM>(&shell));
    // Client area 1250 by 800, centred in the work area.
    RECT r{0, 0, 1250, 800};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(dialog, nullptr, work.left + ((work.right - work.left) - w) / 2,
                 work.top + ((work.bottom - work.top) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    return dialog;
}

void MakeProgramFolderCurrent() {
    std::wstring folder = ModuleFolder();
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
}

ISpVoice* CreateVoice() {
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(L"SAPI.SpVoice", &clsid))) return nullptr;
    ISpVoice* voice = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(ISpVoice), reinterpret_cast<void**>(&voice)))) {
        return nullptr;
    }
    return voice;
}

int RunLumiseek() {
    // A second start in the same folder shows the first program and ends, saying nothing.
    ProgramFolderClaim claim = ClaimProgramFolder();
    if (!claim.first) {
        ShowFirstProgram(claim);
        return 0;
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    auto shell = std::make_unique<Shell>();
    App& app = shell->app;
    Win32Port& port = shell->port;
    ConnectDispatcher(app);
    app.BuildStamp = CTime(__DATE__, __TIME__);

    // 1. The default font for windows that get no font of their own, 24 points at the screen's DPI.
    HFONT defaultFont = port.MakeFont("Arial Black", 24);
    // 2. The main window, invisible for now.
    port.hwnd = CreateMainWindow(*shell, W(std::string("Lumiseek ") + kVersion + app.BuildStamp));
    SendMessageW(port.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont), FALSE);
    MarkMainWindow(port.hwnd, claim);
    // 3. The icon.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"logo");
    SendMessageW(port.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(port.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // 4. The program's folder is the current directory.
    MakeProgramFolderCurrent();
    // 5. The voice (a missing voice is a silent voice).
    port.voice = CreateVoice();
    // 6. The settings size and place the window.
    StartupLoadSettings(app);
    // 7. The controls.
    CreateListView(*shell);
    CreateRichEdit(*shell);
    CreatePreview(*shell);
    CreateImageList(app);
    port.CreateTooltips();
    port.toolbarProc = NewTbProc;
    CreateFileTypeLists(app);
    // 8. The status bar; then the names screen readers read for the controls.
    CreateStatusBar(*shell);
    for (int id : {ctl::SearchBox, ctl::ResultsList, ctl::StatusBar, ctl::Preview})
        if (HWND control = GetDlgItem(port.hwnd, id)) GiveAccessibleName(control, id);
    // 9. Initialise, lay out once, show, and run the loop.
    SetForegroundWindow(port.hwnd);
    shell->started = true;
    SendMessageW(port.hwnd, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(shell.get()));
    RECT client{};
    GetClientRect(port.hwnd, &client);
    SendMessageW(port.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    ShowWindow(port.hwnd, port.showCommand);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (port.accelerators != nullptr && IsWindow(port.hwnd) &&
            TranslateAcceleratorW(port.hwnd, port.accelerators, &msg)) {
            continue;
        }
        if (IsWindow(port.hwnd) && IsDialogMessageW(port.hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // 10. The restarter after an update.
    AfterWindow(app);
    // 11. Release the voice.
    if (port.voice != nullptr) port.voice->Release();
    return 0;
}

}  // namespace
}  // namespace lumiseek

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = lumiseek::RunLumiseek();
    CoUninitialize();
    return code;
}
