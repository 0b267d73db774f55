// The es command line: switches and the search text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace es {

// Exit codes. 8 is left alone: callers read it as "the Everything service is not running".
constexpr int kExitOk = 0;
constexpr int kExitMissingValue = 4;   // a switch without its value, or a value of the wrong form
constexpr int kExitExportFailed = 5;   // the export file cannot be created or written
constexpr int kExitUnknownSwitch = 6;  // a switch this program does not know
constexpr int kExitRootUnreadable = 10;  // no folder to search could be read

enum class IndexCommand { None, Start, Stop, Status, Serve };

enum class TypeFilter { All, FilesOnly, FoldersOnly };
enum class SortKind { None, Name, Path, Size, DateModified };

struct Options {
  bool size = false;          // -size: a Size column
  bool date_modified = false; // -dm: a Date Modified column
  TypeFilter type = TypeFilter::All;
  SortKind sort = SortKind::None;
  int64_t max_results = -1;   // -n; negative: no limit
  bool export_csv = false;
  std::string export_file;    // -export-csv FILE
  std::vector<std::string> paths;  // -path DIR: search these folders instead of the configured roots
  // -wine-root DIR SHOWN: search DIR and show it, and every path under it, as the Windows path SHOWN
  // (backslashes, the search text read with Windows paths, entries as Wine lists them). For each
  // entry of `paths`, the form shown, empty where it is shown as it is.
  std::vector<std::string> shown_paths;
  bool wine_view = false;
  bool help = false;
  IndexCommand index = IndexCommand::None;  // -index-start, -index-stop, -index-status (and the service's own)
  int64_t index_idle_minutes = 480;         // -index-idle: the service ends after this long without a query
  bool no_index = false;                    // -no-index: walk, whatever service runs
  std::string search;         // the search text: every token that is not a switch, blank-joined
};

struct ParseResult {
  Options options;
  int exit_code = kExitOk;    // non-zero: `error` says why
  std::string error;
};

// The command line is read as es reads it: blanks (space, tab) outside double quotes separate
// arguments, and a double quote only opens or closes a quoted part. Nothing else is special:
// a backslash never escapes a quote (`!"c:\program files\"` is one argument), and & | < > ^ %
// are plain characters.

// Finds the argument at or after `pos`: returns where it begins and leaves `pos` just past its
// end; both equal the line's size when no argument is left.
size_t NextArgument(std::string_view line, size_t& pos);

// Splits a command line into its arguments; they keep their quotes.
std::vector<std::string> SplitCommandLine(std::string_view line);

// What follows the first argument (on Windows the program's name in the raw command line).
std::string_view AfterFirstArgument(std::string_view line);

// Reads the switches (case-insensitive, anywhere on the line) and gathers the rest as the
// search text. `slash_switches`: every token starting with '/' is a switch (Windows); otherwise
// only the attribute switches /ad and /a-d are.
ParseResult ParseCommandLine(std::string_view line, bool slash_switches);

}  // namespace es
