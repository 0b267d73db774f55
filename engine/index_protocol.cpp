// The index service's requests and replies as bytes (see index_service.h).
#include <algorithm>
#include <charconv>

#include "index_service.h"

namespace es {

namespace {

void Field(std::string& out, std::string_view text) {
  out.append(text);
  out += '\0';
}

bool NextField(std::string_view& in, std::string_view& field) {
  size_t end = in.find('\0');
  if (end == std::string_view::npos) return false;
  field = in.substr(0, end);
  in.remove_prefix(end + 1);
  return true;
}

bool ReadNumber(std::string_view text, uint64_t& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The first line of a search reply, `rows <rows> <bytes> <unreadable roots>`: its numbers, and where
// the line ends (past its line end); false while it is not whole, or for another line.
bool ReadReplyHead(std::string_view reply, uint64_t (&numbers)[3], size_t& end) {
  size_t line = reply.find('\n');
  if (line == std::string_view::npos || reply.substr(0, 5) != "rows ") return false;
  std::string_view head = reply.substr(5, line - 5);
  for (uint64_t& n : numbers) {
    size_t blank = head.find(' ');
    if (!ReadNumber(head.substr(0, blank), n)) return false;
    head = blank == std::string_view::npos ? std::string_view() : head.substr(blank + 1);
  }
  end = line + 1;
  return true;
}

}  // namespace

std::string IndexSearchRequest(std::string_view command_line, bool slash_switches, const IndexKey& key) {
  std::string out;
  Field(out, "search");
  Field(out, command_line);
  Field(out, slash_switches ? "1" : "0");
  Field(out, std::to_string(key.roots.size()));
  for (size_t r = 0; r < key.roots.size(); ++r) {
    Field(out, key.roots[r]);
    Field(out, r < key.shown.size() ? key.shown[r] : std::string());
  }
  Field(out, key.wine_view ? "1" : "0");
  return out;
}

bool ReadIndexSearchRequest(std::string_view request, std::string& command_line, bool& slash_switches,
                            IndexKey& key) {
  std::string_view field;
  uint64_t roots = 0;
  if (!NextField(request, field) || field != "search") return false;
  if (!NextField(request, field)) return false;
  command_line = field;
  if (!NextField(request, field)) return false;
  slash_switches = field == "1";
  if (!NextField(request, field) || !ReadNumber(field, roots) || roots > 4096) return false;
  key = IndexKey();
  for (uint64_t r = 0; r < roots; ++r) {
    if (!NextField(request, field)) return false;
    key.roots.emplace_back(field);
    if (!NextField(request, field)) return false;
    key.shown.emplace_back(field);
  }
  if (!NextField(request, field)) return false;
  key.wine_view = field == "1";
  return request.empty();
}

std::string IndexSearchReplyHead(const SearchReport& report, size_t rows_bytes) {
  std::string out = "rows " + std::to_string(report.rows) + " " + std::to_string(rows_bytes) + " " +
                    std::to_string(report.unreadable_roots.size()) + "\n";
  for (const std::string& root : report.unreadable_roots) Field(out, root);
  return out;
}

size_t IndexSearchReplySize(std::string_view start) {
  uint64_t numbers[3];
  size_t end = 0;
  if (!ReadReplyHead(start, numbers, end)) return 0;
  return end + static_cast<size_t>(std::min<uint64_t>(numbers[1], 1 << 28)) + 4096;
}

bool ReadIndexSearchReply(std::string reply, SearchReport& report, std::string& rows) {
  uint64_t numbers[3];
  size_t end = 0;
  if (!ReadReplyHead(reply, numbers, end)) return false;
  std::string_view rest = std::string_view(reply).substr(end);
  report = SearchReport();
  report.rows = static_cast<int64_t>(numbers[0]);
  for (uint64_t k = 0; k < numbers[2]; ++k) {
    std::string_view root;
    if (!NextField(rest, root)) return false;
    report.unreadable_roots.emplace_back(root);
  }
  if (rest.size() != numbers[1]) return false;
  reply.erase(0, reply.size() - rest.size());  // in place: the rows can be long
  rows = std::move(reply);
  return true;
}

}  // namespace es
