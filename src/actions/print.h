// Printing the names of the list's rows, one per line, and putting the same lines on the clipboard.
#pragma once

#include <string>
#include <vector>

namespace lumiseek {

struct App;

// The names split into pages of linesPerPage lines (at least one line to a page).
std::vector<std::vector<std::string>> PrintPagesOf(const std::vector<std::string>& names, int linesPerPage);

// Prints the names of the rows in list order, in the screen font or at 12 points (PrintFont), at
// most MaxPrintLines of them in all (0: every row); the same names go to the clipboard. A
// cancelled dialog and a failed print are spoken.
void PrintSearch(App& app);

}  // namespace lumiseek
