// The whole es program between its command line and its exit code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace es {

// The roots listed in the text of es-roots.txt: one folder a line, blank lines and lines
// starting with '#' left out; relative lines are taken from `base`.
std::vector<std::string> ParseRootsFile(std::string_view text, const std::string& base);

// Runs es: `command_line` holds everything after the program name. Messages go to stderr.
int RunEs(std::string_view command_line, bool slash_switches);

}  // namespace es
