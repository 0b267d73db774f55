// Reading the engine's results file row by row: in parts, within the import's limits, by the CSV
// rules, decoded as any text written outside the program (see DecodeOutsideText).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/results.h"

namespace lumiseek {

struct Port;

using RowFields = std::vector<std::string_view>;

// Splits text into rows and fields by the CSV rules, fed in parts of any size:
// - a row ends at LF or CR LF outside double quotes; a CR alone is text;
// - fields are separated by commas; a field that starts with a double quote runs to the next
//   double quote that is not doubled, and holds commas, CR and LF; "" in it is one double quote;
// - text after the closing quote belongs to the field, and a double quote inside a field that did
//   not start with one is text.
// A row longer than `maxRowBytes` (fields and commas, line end aside) is left out whole and counted.
class CsvRows {
public:
    explicit CsvRows(size_t maxRowBytes) : maxRowBytes_(maxRowBytes) {}

    // Calls row(fields) for each row the text completes; a line with no bytes at all is no row.
    // Stops, returning false, as soon as row returns false.
    bool Feed(std::string_view text, const std::function<bool(const RowFields&)>& row);
    // A row has begun and not ended.
    bool Pending() const { return rowBytes_ > 0 || pendingCr_; }
    int TooLong() const { return tooLong_; }

private:
    enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };
    void Append(std::string_view text);
    void EndField();
    bool EndRow(const std::function<bool(const RowFields&)>& row);

    size_t maxRowBytes_;
    State state_ = State::FieldStart;
    bool pendingCr_ = false;  // a CR outside quotes: the end of the row if an LF follows
    bool skipping_ = false;   // the row is too long: read on to its end, keep nothing
    size_t rowBytes_ = 0;     // bytes of the row so far, line end aside
    int tooLong_ = 0;
    std::string text_;            // the row's fields, one after another
    std::vector<size_t> ends_;    // where each finished field ends in text_
    RowFields fields_;
};

// Reads the file's rows through CsvRows and gives each to `row` as UTF-8 fields. `begin` is told
// first how many rows the file holds at most, to make room. Reads at most limits.fileBytes bytes
// (more: outcome.cut), keeps only whole rows (a row the file ends inside: outcome.unfinished) and
// counts rows over limits.rowBytes in outcome.tooLong. False when the file cannot be read at all.
bool ReadCsvFile(Port& port, const std::string& path, const ImportLimits& limits,
                 const std::function<void(size_t rowsAtMost)>& begin,
                 const std::function<bool(const RowFields&)>& row, ImportOutcome& outcome);

}  // namespace lumiseek
