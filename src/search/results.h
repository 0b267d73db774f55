// Reading results.txt into the result table, and everything between the table and what the
// user sees: the list's rows and cell texts, the status bar, the spoken name of each row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/result_row.h"

namespace lumiseek {

struct App;

// The engine's results file, in the program's folder.
constexpr const char* kResultsFile = "results.txt";

// Text of a file written outside the program, decoded as the settings file is: UTF-16 LE with
// its byte-order mark, UTF-8 with or without one, otherwise the system ANSI code page.
std::string DecodeOutsideText(App& app, const std::string& bytes);

// How far the import reads. A row may hold a path of the longest kind (32,767 UTF-16 units, up to
// three bytes each in UTF-8) and its other fields; a longer one is no row of a results file.
struct ImportLimits {
    size_t rowBytes = size_t{128} << 10;     // one row, decoded, line break aside
    uint64_t fileBytes = uint64_t{1} << 30;  // the file; what lies beyond is not read
    size_t rows = 5'000'000;                 // rows kept; the rest of the file is not read
};

// What an import met besides the rows it kept.
struct ImportOutcome {
    int rows = 0;             // rows kept, as ImportResults returns
    int tooLong = 0;          // rows longer than ImportLimits::rowBytes, left out
    bool unfinished = false;  // the file ended inside a row (still being written): that row left out
    bool cut = false;         // the file holds more than ImportLimits allows: the rest was not read
};

// Reads results.txt (created empty when missing) and rebuilds Results; returns the number
// of rows kept, 0 when none (the table then holds the "<empty>" row). The file is read by the
// CSV rules: rows end at CR LF or LF; a field in double quotes may hold commas, line breaks and
// "" for one double quote. It is decoded as DecodeOutsideText decodes, read in parts and only
// as far as `limits` allow; only whole rows are kept. `outcome`, when given, tells what was left out.
int ImportResults(App& app, ImportOutcome* outcome = nullptr, const ImportLimits& limits = {});

// Results becomes the single "<empty>" row; the list shows one row, selected.
void InitializeList(App& app);

// Shows the current Results in the list: header count, grid, row count, row 1 selected,
// focus to the list.
void ShowSearchResults(App& app);

// Reloads the last results without running the engine.
void OpenSession(App& app);

// Text of a cell, row and column counted from 1; empty outside the table.
std::string GetCellText(App& app, int row, int column);

// A row (from 1) became selected: status line, preview path, spoken name.
void SelectionChanged(App& app, int row);

// Sets the status bar's text, three blanks in front.
void ST(App& app, const std::string& text);

// "  " + row + "  " + Name + "  " + date + "  " + size + "  " + Folder.
std::string RowSummary(const App& app, int row);

// The selected row (from 1) for an action on it, or 0 after saying "No Selection".
int SelectedRow(App& app);

// Type-ahead: the first row after selectedRow (rows from 1; 0 for none) whose name starts
// with c, compared in lower case; 0 when no row below does. Never wraps to the top.
int TypeAheadRow(const ResultTable& results, int selectedRow, char c);

}  // namespace lumiseek
