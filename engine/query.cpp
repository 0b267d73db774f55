#include "query.h"

#include <algorithm>
#include <optional>

#include "base/text.h"

namespace es {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::optional<Term> MakeTerm(std::string_view raw, bool negated, char separator) {
  if (raw.empty()) return std::nullopt;
  Term term;
  term.negated = negated;
  FoldCase(raw, term.text);
  constexpr std::string_view kExt = "ext:";
  if (term.text.compare(0, kExt.size(), kExt) == 0) {
    std::string_view list = std::string_view(term.text).substr(kExt.size());
    while (!list.empty()) {
      size_t end = list.find(';');
      std::string_view item = list.substr(0, end);
      if (!item.empty()) term.extensions.emplace_back(item);
      list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    }
    if (term.extensions.empty()) return std::nullopt;
    SortExtensionList(term.extensions);
    term.kind = TermKind::Extension;
    term.text.clear();
    return term;
  }
  bool wildcard = term.text.find_first_of("*?") != std::string::npos;
  bool path = term.text.find(separator) != std::string::npos;
  if (path) {
    term.kind = wildcard ? TermKind::PathWildcard : TermKind::Path;
  } else {
    term.kind = wildcard ? TermKind::NameWildcard : TermKind::Name;
  }
  return term;
}

size_t NextChar(std::string_view text, size_t i) {
  ++i;
  while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  return i;
}

bool TermMatches(const Term& term, const Candidate& candidate) {
  bool hit = false;
  switch (term.kind) {
    case TermKind::Name:
      hit = candidate.lower_name.find(term.text) != std::string_view::npos;
      break;
    case TermKind::NameWildcard:
      hit = WildcardMatch(term.text, candidate.lower_name);
      break;
    case TermKind::Path:
      hit = candidate.lower_path.find(term.text) != std::string_view::npos;
      break;
    case TermKind::PathWildcard:
      hit = WildcardMatch(term.text, candidate.lower_path);
      break;
    case TermKind::Extension: {
      if (candidate.is_folder) break;
      hit = InExtensionList(term.extensions, Extension(candidate.lower_name));
      break;
    }
  }
  return hit != term.negated;
}

// A group that is a single negated plain path term: a folder whose path holds its text is left out
// with everything in it.
bool IsExcludedPath(const std::vector<Term>& group) {
  return group.size() == 1 && group[0].negated && group[0].kind == TermKind::Path;
}

void NoteWhatGroupNeeds(const std::vector<Term>& group, Query& query) {
  for (const Term& term : group) {
    if (term.kind == TermKind::Path || term.kind == TermKind::PathWildcard) {
      query.needs_path = true;
    } else {
      query.needs_name = true;
    }
  }
}

}  // namespace

void FoldCase(std::string_view text, std::string& out) {
  unsigned char high = 0;
  for (char c : text) high |= static_cast<unsigned char>(c);
  if (high & 0x80) {
    out = lumiseek::LowerCase(text);
    return;
  }
  out.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
  }
}

Query ParseQuery(std::string_view text, char separator) {
  Query query;
  bool join = false;  // a '|' stands between the previous term and the next one
  size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '|') {
      join = true;
      ++i;
      continue;
    }
    bool negated = false;
    while (i < text.size() && text[i] == '!') {
      negated = !negated;
      ++i;
    }
    std::string raw;
    bool quoted = false;
    while (i < text.size()) {
      char c = text[i];
      if (c == '"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      if (!quoted && (IsBlank(c) || c == '|')) break;
      raw += c;
      ++i;
    }
    std::optional<Term> term = MakeTerm(raw, negated, separator);
    if (!term) continue;
    if (join && !query.groups.empty()) {
      query.groups.back().push_back(std::move(*term));
    } else {
      query.groups.push_back({std::move(*term)});
    }
    join = false;
  }
  for (const auto& group : query.groups) {
    NoteWhatGroupNeeds(group, query);
    if (IsExcludedPath(group)) query.excluded_paths.push_back(group[0].text);
  }
  return query;
}

Query EntryQuery(const Query& query, char separator) {
  Query entry;
  for (const auto& group : query.groups) {
    if (IsExcludedPath(group) && group[0].text.back() == separator) continue;
    NoteWhatGroupNeeds(group, entry);
    entry.groups.push_back(group);
  }
  return entry;
}

bool Matches(const Query& query, const Candidate& candidate) {
  for (const auto& group : query.groups) {
    bool any = false;
    for (const Term& term : group) {
      if (TermMatches(term, candidate)) {
        any = true;
        break;
      }
    }
    if (!any) return false;
  }
  return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view text) {
  size_t p = 0;
  size_t t = 0;
  size_t star = std::string_view::npos;  // pattern position after the last '*'
  size_t mark = 0;                       // text position that '*' has reached
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = ++p;
      mark = t;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      t = NextChar(text, t);
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star;
      mark = NextChar(text, mark);
      t = mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace es
