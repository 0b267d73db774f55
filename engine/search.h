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

// Which entries of a folder a search takes: one piece of code for the walk and the index. Folders
// are entered in order, each folder's folded path ending in the separator.
class EntryFilter {
 public:
  EntryFilter(const Query& query, TypeFilter type, char separator);
  // Folded folder paths are needed: by a path term, or to leave out excluded folders.
  bool FoldsFolders() const { return fold_dir_; }
  bool HasExclusions() const { return !query_->excluded_paths.empty(); }
  // The folder whose folded path (separator at the end) is `lower_folder` is left out with all in it.
  bool Excluded(std::string_view lower_folder) const;
  // The type switch alone (/a-d, /ad): whether an entry of this kind can be taken at all.
  bool TakesType(bool is_folder) const { return type_ == TypeFilter::All || (type_ == TypeFilter::FoldersOnly) == is_folder; }
  // When a group asks for nothing but extensions (folded, sorted): those, since only a file with one
  // of them can be taken; else none.
  const std::vector<std::string>& OnlyExtensions() const { return extensions_; }
  // True when the entry `name`'s own query looks at its full path.
  bool NeedsPath(std::string_view name) const { return QueryFor(name).needs_path; }
  // Takes an entry of a folder that was entered: `lower_dir` is the folder's folded path with its
  // separator (read only when NeedsPath), `lower_name` the folded name, or empty to fold it here.
  bool Takes(std::string_view name, std::string_view lower_name, bool is_folder, std::string_view lower_dir);

 private:
  // A name holding the separator (a Linux name shown as Wine shows it) can complete an excluded
  // path itself: its entry is matched against the whole query (when that differs).
  const Query& QueryFor(std::string_view name) const {
    return one_query_ || name.find(separator_) == std::string_view::npos ? entry_query_ : *query_;
  }
  const Query* query_;
  Query entry_query_;  // for the entries of a folder read whose names hold no separator
  TypeFilter type_;
  char separator_;
  bool fold_dir_;
  bool one_query_;  // no group was left out of the entries' query
  std::vector<std::string> extensions_;  // of the first group of extensions only, sorted
  std::string lower_name_, lower_path_;
};

struct SearchReport {
  std::vector<std::string> unreadable_roots;  // roots that could not be opened at all
  bool write_failed = false;
  int64_t rows = 0;
};

// The threads a search uses: one a core, at least 1 and at most 8.
int SearchThreads();

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
