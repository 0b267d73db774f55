// The result columns: the size text, sorting by a column, fitting the widths, the saved
// top row, and what the list says when it receives the focus.
#pragma once

#include <string>

namespace lumiseek {

struct App;

// Text of the size column for a row (from 1) that is neither a folder nor a placeholder.
std::string FormatSize(const App& app, int row);

// Sorts the results by column 1 (Name), 2 (Folder), 3 (SortDate) or 4 (Size). Every call
// flips the shared SortDescending flag first, whichever column it is; then selects row 1,
// whose selection-change action (status bar, spoken name) always runs.
void SortD(App& app, int column);

// Fits the four column widths to their contents and headers.
void SizeToFit(App& app);

// Scrolls the list so that the row with index `row` (from 0) is the top visible row.
void SetTopLvRow(App& app, int row);

// Spoken when the results list receives the focus.
std::string ListFocusText(App& app);

}  // namespace lumiseek
