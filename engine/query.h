// The search language of es: terms, OR groups, NOT, quotes, wildcards, path terms and ext: lists.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace es {

enum class TermKind {
  Name,          // text found anywhere in the name
  NameWildcard,  // * and ? pattern that must cover the whole name
  Path,          // text found anywhere in the full path
  PathWildcard,  // * and ? pattern that must cover the whole full path
  Extension,     // files whose extension is in the list
};

struct Term {
  TermKind kind = TermKind::Name;
  bool negated = false;
  std::string text;                     // folded to lower case (every kind but Extension)
  std::vector<std::string> extensions;  // folded, sorted, unique (Extension only)
};

// Every group must match; a group matches when any of its terms matches.
struct Query {
  std::vector<std::vector<Term>> groups;
  bool needs_name = false;  // some term looks at the folded name
  bool needs_path = false;  // some term looks at the folded full path
  // Folded texts of groups that are a single negated plain path term: a folder whose path
  // followed by the separator contains one of them has no descendant that can match.
  std::vector<std::string> excluded_paths;
};

// Parses the search text: blanks separate terms (AND) except inside double quotes, '|'
// joins neighbouring terms into one group (OR), '!' in front of a term negates it.
// A term that asks for nothing (empty, a lone '!', an empty ext: list) is left out.
Query ParseQuery(std::string_view text, char separator);

// What the matcher looks at for one folder entry.
struct Candidate {
  std::string_view lower_name;  // the folded name (when Query::needs_name)
  std::string_view lower_path;  // the folded full path (when Query::needs_path)
  bool is_folder = false;
};

bool Matches(const Query& query, const Candidate& candidate);

// The query left for the entries of a folder that the walk has read: a group of excluded_paths
// whose text ends with `separator` is dropped, since in the path of an entry whose name holds no
// separator it could only occur within the folder's path, which the walk checked before reading
// the folder. needs_name and needs_path are those of the groups left.
Query EntryQuery(const Query& query, char separator);

// Whole-text match of a pattern with '*' (any run) and '?' (one character; UTF-8 aware).
bool WildcardMatch(std::string_view pattern, std::string_view text);

// The extension of a name: the text after its last '.', empty without a dot.
inline std::string_view Extension(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

// Sorts an extension list and drops repeats: the form InExtensionList reads.
inline void SortExtensionList(std::vector<std::string>& list) {
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
}

// Whether `ext` is in `list` (sorted, unique, no empty item): a short list item by item, its length
// and first letter first (most extensions differ there), a long one by halves.
inline bool InExtensionList(const std::vector<std::string>& list, std::string_view ext) {
  if (list.size() > 8) return std::binary_search(list.begin(), list.end(), ext);
  for (const std::string& item : list) {
    if (item.size() == ext.size() && item[0] == ext[0] && item == ext) return true;
  }
  return false;
}

// Lower case for matching: ASCII in place, other text through the shared helper.
void FoldCase(std::string_view text, std::string& out);

}  // namespace es
