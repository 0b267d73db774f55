// Reads texts of another program's window from outside, for the end-to-end tests:
//   wintext <title prefix> [control id ...]
// finds the first visible top-level window whose caption starts with the prefix and prints, as UTF-8
// lines, "title<TAB><caption>" and then "<id><TAB><text>" for each control id (WM_GETTEXT, which Windows
// and Wine carry across processes; a status bar answers with its first part). A control that does not
// exist prints "<id><TAB>" and sets exit code 1. Exit code 2: no such window. After each control that
// exists, "rect<id><TAB><left> <top> <width> <height>" gives its client area in screen coordinates.
//   wintext --names <title prefix> [control id ...]
// prints each control's accessible name instead, as a screen reader reads it
// (AccessibleObjectFromWindow for the client object, then get_accName of CHILDID_SELF); an id
// written "502:buttons" prints the name of every button of that toolbar.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <initguid.h>
#include <oleacc.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

namespace {

struct Search {
    std::wstring prefix;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    wchar_t title[512] = {};
    GetWindowTextW(hwnd, title, 512);
    if (std::wcsncmp(title, search->prefix.c_str(), search->prefix.size()) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return {};
    text.resize(copied);
    return text;
}

void Print(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    out += "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

}  // namespace

// The accessible name of a control (child CHILDID_SELF) or of one of its children (from 1).
std::wstring AccessibleName(HWND hwnd, LONG child) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return L"<no accessible object>";
    VARIANT which;
    VariantInit(&which);
    which.vt = VT_I4;
    which.lVal = child;
    BSTR name = nullptr;
    std::wstring text = SUCCEEDED(object->get_accName(which, &name)) && name ? std::wstring(name) : L"<no name>";
    SysFreeString(name);
    object->Release();
    return text;
}

int wmain(int argc, wchar_t** argv) {
    const bool names = argc > 1 && std::wcscmp(argv[1], L"--names") == 0;
    if (names) {
        CoInitialize(nullptr);
        --argc;
        ++argv;
    }
    if (argc < 2) return 3;
    Search search{argv[1]};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 2;
    Print(L"title\t" + TextOf(search.found));
    int rc = 0;
    for (int i = 2; i < argc; ++i) {
        wchar_t* end = nullptr;
        HWND control = GetDlgItem(search.found, std::wcstol(argv[i], &end, 10));
        if (!control) rc = 1;
        if (names && control && std::wcscmp(end, L":buttons") == 0) {
            // Every button of a toolbar: "<id>:<n><TAB><name>", n from 1.
            LRESULT count = SendMessageW(control, TB_BUTTONCOUNT, 0, 0);
            for (LONG n = 1; n <= count; ++n)
                Print(std::wstring(argv[i], end) + L":" + std::to_wstring(n) + L"\t" + AccessibleName(control, n));
            continue;
        }
        Print(std::wstring(argv[i]) + L"\t" +
              (!control ? std::wstring() : names ? AccessibleName(control, CHILDID_SELF) : TextOf(control)));
        RECT r{};
        POINT origin{0, 0};
        if (control && GetClientRect(control, &r) && ClientToScreen(control, &origin)) {
            Print(L"rect" + std::wstring(argv[i]) + L"\t" + std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) +
                  L" " + std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom));
        }
    }
    return rc;
}
