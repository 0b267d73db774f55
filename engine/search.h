// One search: the roots walked in parallel, every entry matched by name before anything else
// is asked of the file system, the matches streamed out or collected and sorted.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "query.h"
#include "walk.h"

namespace es {

struct SearchReport {
  std::vector<std::string> unreadable_roots;  // roots that could not be opened at all
  bool write_failed = false;
  int64_t rows = 0;
};

// Searches the roots and writes the rows to `out`: CSV rows (after a header written by the
// caller) when options.export_csv, else plain paths. `threads` workers (at least 1) walk.
// `shown_roots` (one per root, or none) gives the path each root is shown, matched and reported
// as; an empty one shows the root as it is. With options.wine_view the paths shown are joined
// with backslashes.
SearchReport Search(const Query& query, const Options& options, const std::vector<std::string>& roots,
                    std::FILE* out, int threads, const std::vector<std::string>& shown_roots = {});

// Joins a folder path and a name with one separator.
std::string JoinPath(std::string_view folder, std::string_view name, char separator = kSeparator);

// A root as given, with separators at the end removed (except where the path is only that).
std::string NormalizeRoot(std::string root);

}  // namespace es
