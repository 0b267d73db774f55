#include "search/columns.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "base/app.h"
#include "base/text.h"
#include "search/results.h"

namespace lumiseek {

// With UseKB on the size is written in thousands of bytes ("1,235 KB"), at least 1 KB for
// any file that is not empty. With it off the exact byte count is written, grouped, with
// its unit named ("1,234,567 bytes", "0 bytes", "1 byte"), so that the two forms are never confused
// when read aloud.
std::string FormatSize(const App& app, int row) {
    if (row < 1 || row > static_cast<int>(app.Results.size())) return "";
    int64_t size = app.Results[row - 1].Size;
    if (app.settings.UseKB == 0)
        return FormatMask(static_cast<double>(size), "###,##0") + (size == 1 ? " byte" : " bytes");
    int64_t kb = RoundHalfEven(static_cast<double>(size) / 1000);
    if (kb == 0 && size > 0) kb = 1;
    return FormatMask(static_cast<double>(kb), "###,###") + " KB";
}

namespace {

// Orders the rows by a key: smaller keys first when ascending, larger first when descending.
// A strict ordering, so rows with equal keys are left in any order. The keys are sorted
// with their row numbers, then the rows are moved into place along the permutation's
// cycles, so a large table is neither copied nor shuffled row by row.
template <typename Key>
void SortBy(ResultTable& rows, bool descending, Key key) {
    using KeyType = decltype(key(rows.front()));
    std::vector<std::pair<KeyType, size_t>> keyed;
    keyed.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keyed.emplace_back(key(rows[i]), i);
    if (descending) {
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return b.first < a.first; });
    } else {
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    // Position j receives the row now at from[j].
    std::vector<size_t> from(rows.size());
    for (size_t j = 0; j < rows.size(); ++j) from[j] = keyed[j].second;
    std::vector<std::pair<KeyType, size_t>>().swap(keyed);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (from[i] == i) continue;
        ResultRow first = std::move(rows[i]);
        size_t j = i;
        while (from[j] != i) {
            size_t k = from[j];
            rows[j] = std::move(rows[k]);
            from[j] = j;
            j = k;
        }
        rows[j] = std::move(first);
        from[j] = j;
    }
}

}  // namespace

// Text keys compare byte by byte as unsigned values, a prefix before the longer text:
// exactly what std::string_view's comparison does.
void SortD(App& app, int column) {
    if (column < 1 || column > 4) return;
    app.SortDescending ^= 1;
    bool descending = app.SortDescending == 1;
    ResultTable& rows = app.Results;
    switch (column) {
        case 1: SortBy(rows, descending, [](const ResultRow& r) { return std::string_view(r.Name); }); break;
        case 2: SortBy(rows, descending, [](const ResultRow& r) { return std::string_view(r.Folder); }); break;
        case 3: SortBy(rows, descending, [](const ResultRow& r) { return std::string_view(r.SortDate); }); break;
        case 4: SortBy(rows, descending, [](const ResultRow& r) { return r.Size; }); break;
    }
    // Selecting the row that is already selected sends no change notification, so when row 1
    // was selected before the sort, its new contents are shown and spoken here.
    const bool rowOneWasSelected = app.port.ListSelectedRow() == 1;
    app.port.ListSelectRow(1);
    if (rowOneWasSelected) SelectionChanged(app, 1);
}

void SizeToFit(App& app) { app.port.ListFitColumns(); }

void SetTopLvRow(App& app, int row) { app.port.ListSetTopRow(row); }

std::string ListFocusText(App& app) {
    return "Results List has focus. " + GetCellText(app, app.port.ListSelectedRow(), 1);
}

}  // namespace lumiseek
