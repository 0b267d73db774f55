#include "app/port_win32.h"

#include <commdlg.h>
#include <vector>

#include "base/wide_win32.h"

namespace lumiseek {

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

}  // namespace lumiseek
