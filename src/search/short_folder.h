// The shortened folder form shown in the results list's folder column.
#pragma once

#include <string>

namespace lumiseek {

struct App;

// "c:\users\ann\documents\work\" -> "c:\users\...\work": the first two parts of the path,
// "\...\" and its last part, when that leaves at least one folder out; a shorter path is shown
// as it is ("c:\a\b\"). Empty when ShortPath is off or the path is empty.
std::string ShortFolder(const App& app, const std::string& path);

}  // namespace lumiseek
