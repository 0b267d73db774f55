#include "app/port_win32.h"

namespace lumiseek {

namespace {

// Input the user aims at the window while it waits: it starts no command of its own.
bool IsUserInput(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

WaitEnd WaitAnswering(HWND window, HANDLE handle, DWORD timeoutMs) {
    ULONGLONG start = GetTickCount64();
    bool closeAsked = false;
    WaitEnd end = WaitEnd::TimedOut;
    while (true) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            ULONGLONG spent = GetTickCount64() - start;
            if (spent >= timeoutMs) break;
            left = static_cast<DWORD>(timeoutMs - spent);
        }
        DWORD count = handle != nullptr ? 1 : 0;
        DWORD woke = MsgWaitForMultipleObjectsEx(count, handle != nullptr ? &handle : nullptr, left, QS_ALLINPUT,
                                                 MWMO_INPUTAVAILABLE);
        if (count == 1 && woke == WAIT_OBJECT_0) {
            end = WaitEnd::Signalled;
            break;
        }
        if (woke == WAIT_TIMEOUT) break;
        if (woke == WAIT_FAILED) {
            Sleep(10);
            continue;
        }
        MSG msg{};
        bool cancelled = false;
        while (!cancelled && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                cancelled = true;
            } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                cancelled = true;
            } else if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4) {
                cancelled = closeAsked = true;
            } else if (msg.message == WM_CLOSE && msg.hwnd == window) {
                cancelled = closeAsked = true;
            } else if (msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == SC_CLOSE) {
                cancelled = closeAsked = true;
            } else if (!IsUserInput(msg.message)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (cancelled) {
            end = WaitEnd::Cancelled;
            break;
        }
    }
    if (closeAsked) PostMessageW(window, WM_CLOSE, 0, 0);
    return end;
}

}  // namespace lumiseek
