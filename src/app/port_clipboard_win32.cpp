#include "app/port_win32.h"

#include "base/wide_win32.h"

namespace lumiseek {

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

}  // namespace lumiseek
