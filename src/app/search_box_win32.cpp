// The search box's window procedure: hands focus and key messages to the core and passes
// every message it does not swallow on to the rich edit control.
#include "app/shell_win32.h"
#include "speech/search_box.h"

namespace lumiseek {

LRESULT CALLBACK NewReProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Shell* shell = ShellOf(GetParent(hwnd));
    if (!shell->started) return CallWindowProcW(shell->oldBoxProc, hwnd, msg, wParam, lParam);
    ReMessage message;
    switch (msg) {
        case WM_SETFOCUS: message = ReMessage::Focus; break;
        case WM_CHAR: message = ReMessage::Char; break;
        case WM_KEYDOWN: message = ReMessage::KeyDown; break;
        case WM_KEYUP: message = ReMessage::KeyUp; break;
        case WM_MOUSEWHEEL:
            // The box holds one line and has nothing to scroll: the wheel sizes the font, which
            // the main window does. Without this the box, which nearly always has the focus,
            // would swallow every wheel message.
            SendMessageW(GetParent(hwnd), WM_MOUSEWHEEL, wParam, lParam);
            return 0;
        default: return CallWindowProcW(shell->oldBoxProc, hwnd, msg, wParam, lParam);
    }
    KeyState keys;
    keys.Shift = GetKeyState(VK_SHIFT) < 0;
    keys.Ctrl = GetKeyState(VK_CONTROL) < 0;
    keys.Caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (NewReProc(shell->app, message, static_cast<uint32_t>(wParam), keys)) return 0;
    return CallWindowProcW(shell->oldBoxProc, hwnd, msg, wParam, lParam);
}

}  // namespace lumiseek
