#include "output.h"

#include <algorithm>
#include <cstring>

namespace es {

namespace {

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + (value / 10) % 10);
  out += static_cast<char>('0' + value % 10);
}

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  int n = 0;
  uint64_t v = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (value < 0) out += '-';
  while (n > 0) out += digits[--n];
}

constexpr size_t kBlockSize = 1 << 20;

}  // namespace

std::string FormatDate(const CivilTime& time) {
  std::string out;
  AppendTwoDigits(out, time.month);
  out += '/';
  AppendTwoDigits(out, time.day);
  out += '/';
  AppendTwoDigits(out, time.year / 100);
  AppendTwoDigits(out, time.year % 100);
  out += ' ';
  AppendTwoDigits(out, time.hour);
  out += ':';
  AppendTwoDigits(out, time.minute);
  return out;
}

std::string CsvHeader(const Options& options) {
  std::string header;
  if (options.size) header += "Size,";
  if (options.date_modified) header += "Date Modified,";
  header += "Filename\r\n";
  return header;
}

void AppendCsvRow(std::string& out, const Options& options, std::string_view path, bool is_folder,
                  int64_t size, const CivilTime& time) {
  if (options.size) {
    if (!is_folder) AppendNumber(out, size);
    out += ',';
  }
  if (options.date_modified) {
    out += FormatDate(time);
    out += ',';
  }
  out += '"';
  for (char c : path) {
    if (c == '"') out += '"';
    out += c;
  }
  out += "\"\r\n";
}

void AppendPlainRow(std::string& out, std::string_view path) {
  out += path;
#ifdef _WIN32
  out += "\r\n";
#else
  out += '\n';
#endif
}

void AppendRow(std::string& out, const Options& options, std::string_view path, bool is_folder, int64_t size,
               int64_t modified) {
  if (options.export_csv) {
    AppendCsvRow(out, options, path, is_folder, size, options.date_modified ? LocalTime(modified) : CivilTime{});
  } else {
    AppendPlainRow(out, path);
  }
}

std::string_view Arena::Store(std::string_view text) {
  if (capacity_ - used_ < text.size()) {
    size_t size = std::max(kBlockSize, text.size());
    blocks_.push_back(std::make_unique<char[]>(size));
    used_ = 0;
    capacity_ = size;
  }
  char* at = blocks_.back().get() + used_;
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  used_ += text.size();
  bytes_ += text.size();
  return std::string_view(at, text.size());
}

void Arena::Clear() {
  blocks_.clear();
  used_ = capacity_ = bytes_ = 0;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return 0;
}

bool SortsBefore(SortKind sort, const Match& a, const Match& b) {
  switch (sort) {
    case SortKind::Size:
      if (a.size != b.size) return a.size > b.size;
      break;
    case SortKind::DateModified:
      if (a.modified != b.modified) return a.modified > b.modified;
      break;
    case SortKind::Path:
      if (int c = CompareNoCase(a.path, b.path); c != 0) return c < 0;
      break;
    case SortKind::Name:
    case SortKind::None:
      break;
  }
  if (int c = CompareNoCase(a.Name(), b.Name()); c != 0) return c < 0;
  if (int c = CompareNoCase(a.path, b.path); c != 0) return c < 0;
  return a.path < b.path;
}

void SortMatches(std::vector<Match>& matches, SortKind sort, int64_t limit) {
  auto before = [sort](const Match& a, const Match& b) { return SortsBefore(sort, a, b); };
  if (limit >= 0 && static_cast<uint64_t>(limit) < matches.size()) {
    std::partial_sort(matches.begin(), matches.begin() + limit, matches.end(), before);
    matches.resize(static_cast<size_t>(limit));
  } else {
    std::sort(matches.begin(), matches.end(), before);
  }
}

}  // namespace es
