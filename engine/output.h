// Rows of the result: the CSV export, plain lines, the date form and the sort orders.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"
#include "walk.h"

namespace es {

// "mm/dd/yyyy hh:mm", 24-hour clock.
std::string FormatDate(const CivilTime& time);

// The first line of an export: the chosen columns, then "Filename", ending in CR LF.
std::string CsvHeader(const Options& options);

// One export row: size (empty for a folder), date, the path in double quotes with every
// double quote inside doubled; CR LF at the end.
void AppendCsvRow(std::string& out, const Options& options, std::string_view path, bool is_folder,
                  int64_t size, const CivilTime& time);

// One line of output without an export file: the full path.
void AppendPlainRow(std::string& out, std::string_view path);

// One row as the options ask: a CSV row, or the plain path. `modified` as EntryDetails has it.
void AppendRow(std::string& out, const Options& options, std::string_view path, bool is_folder, int64_t size,
               int64_t modified);

// A match kept for sorting. `path` points into an Arena owned by whoever collected it.
struct Match {
  std::string_view path;
  uint32_t name_offset = 0;  // the name is path.substr(name_offset)
  bool is_folder = false;
  int64_t size = 0;
  int64_t modified = 0;
  std::string_view Name() const { return path.substr(name_offset); }
};

// Stable storage for the paths of matches: blocks that never move.
class Arena {
 public:
  std::string_view Store(std::string_view text);
  void Clear();
  size_t Bytes() const { return bytes_; }

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;
  size_t capacity_ = 0;
  size_t bytes_ = 0;
};

// Comparison of ASCII letters without regard to case; other bytes by value.
int CompareNoCase(std::string_view a, std::string_view b);

// True when `a` goes before `b`: name and path ascending; size largest first;
// date modified newest first. Ties fall back to name, then path, so the order is total.
bool SortsBefore(SortKind sort, const Match& a, const Match& b);

// Puts the first `limit` matches (all when negative) in order and drops the rest.
void SortMatches(std::vector<Match>& matches, SortKind sort, int64_t limit);

}  // namespace es
