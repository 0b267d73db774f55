// The whole es program between its command line and its exit code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace es {

// The roots listed in the text of es-roots.txt: one folder a line, blank lines and lines
// starting with '#' left out; relative lines are taken from `base`.
std::vector<std::string> ParseRootsFile(std::string_view text, const std::string& base);

// Runs es: `command_line` holds everything after the program name. Messages go to stderr. The
// export is written beside its file and moved into place when the search ended well; with
// `export_in_place` (the file named is a caller's empty temporary file) it is written directly and
// left, whole or not, to the caller, and never made again once it is gone. With `start_index` (the
// program's own start, not a test's), a search that found no index service running starts one in the
// background.
int RunEs(std::string_view command_line, bool slash_switches, bool export_in_place = false,
          bool start_index = false);

}  // namespace es
