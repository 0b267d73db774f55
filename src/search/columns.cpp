#include "search/columns.h"

#include <algorithm>

#include "app/app.h"
#include "app/text.h"
#include "search/results.h"

namespace lumiseek {

// With UseKB on the size is written in thousands of bytes ("1,235 KB"), at least 1 KB for
// any file that is not empty. With it off the exact byte count is written, grouped, with
// its unit named ("1,234,567 bytes", "0 bytes"), so that the two forms are never confused
// when read aloud.
std::string FormatSize(const App& app, int row) {
    if (row < 1 || row > static_cast<int>(app.Results.size())) return "";
    int64_t size = app.Results[row - 1].Size;
    if (app.settings.UseKB == 0) return FormatMask(static_cast<double>(size), "###,##0") + " bytes";
    int64_t kb = RoundHalfEven(static_cast<double>(size) / 1000);
    if (kb == 0 && size > 0) kb = 1;
    return FormatMask(static_cast<double>(kb), "###,###") + " KB";
}

namespace {

// Orders two rows by a key: smaller keys first when ascending, larger first when
// descending. A strict ordering, so rows with equal keys are left in any order.
template <typename Key>
void SortBy(ResultTable& rows, bool descending, Key key) {
    if (descending) {
        std::sort(rows.begin(), rows.end(), [&](const ResultRow& a, const ResultRow& b) { return key(b) < key(a); });
    } else {
        std::sort(rows.begin(), rows.end(), [&](const ResultRow& a, const ResultRow& b) { return key(a) < key(b); });
    }
}

}  // namespace

// Text keys compare byte by byte as unsigned values, a prefix before the longer text:
// exactly what std::string's comparison does.
void SortD(App& app, int column) {
    if (column < 1 || column > 4) return;
    app.SortDescending ^= 1;
    bool descending = app.SortDescending == 1;
    ResultTable& rows = app.Results;
    switch (column) {
        case 1: SortBy(rows, descending, [](const ResultRow& r) -> const std::string& { return r.Name; }); break;
        case 2: SortBy(rows, descending, [](const ResultRow& r) -> const std::string& { return r.Folder; }); break;
        case 3: SortBy(rows, descending, [](const ResultRow& r) -> const std::string& { return r.SortDate; }); break;
        case 4: SortBy(rows, descending, [](const ResultRow& r) { return r.Size; }); break;
    }
    app.port.ListSelectRow(1);
}

void SizeToFit(App& app) { app.port.ListFitColumns(); }

void SetTopLvRow(App& app, int row) { app.port.ListSetTopRow(row); }

std::string ListFocusText(App& app) {
    return "Results List has focus. " + GetCellText(app, app.port.ListSelectedRow(), 1);
}

}  // namespace lumiseek
