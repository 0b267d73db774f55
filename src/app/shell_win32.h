// State of the Win32 shell shared by the main window and the subclassed controls.
#pragma once

#include <windows.h>

#include <string>

#include "base/app.h"
#include "app/port_win32.h"

namespace lumiseek {

struct Shell {
    Win32Port port;
    App app{port};
    bool started = false;        // the initialisation message is handled from start-up step 9 on
    WNDPROC oldListProc = nullptr;
    WNDPROC oldBoxProc = nullptr;
    WNDPROC oldPreviewProc = nullptr;
    std::wstring cellText;       // the text of the last cell asked for, valid until the next request
};

// The shell of a control's parent dialog (kept in the dialog's DWLP_USER).
inline Shell* ShellOf(HWND dialog) { return reinterpret_cast<Shell*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// The search box's window procedure, placed in front of the rich edit control's own.
LRESULT CALLBACK NewReProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace lumiseek
