#include "app/port_win32.h"

#include <richedit.h>

#include "base/wide_win32.h"
#include "base/ids.h"

namespace lumiseek {

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

void Win32Port::ListEnsureVisible(int row) {
    if (row >= 1) ListView_EnsureVisible(Item(ctl::ResultsList), row - 1, FALSE);
}

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

}  // namespace lumiseek
