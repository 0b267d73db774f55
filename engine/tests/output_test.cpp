#include <gtest/gtest.h>

#include "output.h"

namespace es {
namespace {

TEST(Csv, HeaderFollowsTheColumns) {
  Options o;
  EXPECT_EQ(CsvHeader(o), "Filename\r\n");
  o.size = true;
  o.date_modified = true;
  EXPECT_EQ(CsvHeader(o), "Size,Date Modified,Filename\r\n");
}

TEST(Csv, RowsQuoteThePathAndLeaveFolderSizesEmpty) {
  Options o;
  o.size = true;
  o.date_modified = true;
  std::string out;
  CivilTime t{2023, 5, 17, 9, 2};
  AppendCsvRow(out, o, "C:\\Data\\a, b & c%^.txt", false, 5000000000LL, t);
  AppendCsvRow(out, o, "C:\\Data\\Ordner \xC3\xA4", true, 4096, t);
  AppendCsvRow(out, o, "/d/say \"hi\"", false, 0, t);
  EXPECT_EQ(out,
            "5000000000,05/17/2023 09:02,\"C:\\Data\\a, b & c%^.txt\"\r\n"
            ",05/17/2023 09:02,\"C:\\Data\\Ordner \xC3\xA4\"\r\n"
            "0,05/17/2023 09:02,\"/d/say \"\"hi\"\"\"\r\n");
  std::string plain;
  o.size = o.date_modified = false;
  AppendCsvRow(plain, o, "x", true, 1, t);
  EXPECT_EQ(plain, "\"x\"\r\n");
}

TEST(Csv, DateForm) {
  EXPECT_EQ(FormatDate({1999, 12, 31, 23, 59}), "12/31/1999 23:59");
  EXPECT_EQ(FormatDate({2024, 1, 2, 0, 0}), "01/02/2024 00:00");
}

Match M(std::string_view path, int64_t modified, int64_t size = 0) {
  Match m;
  m.path = path;
  m.name_offset = static_cast<uint32_t>(path.rfind('/') + 1);
  m.modified = modified;
  m.size = size;
  return m;
}

std::vector<std::string_view> Paths(const std::vector<Match>& matches) {
  std::vector<std::string_view> out;
  for (const Match& m : matches) out.push_back(m.path);
  return out;
}

TEST(Sorting, NameAscendingWithoutCaseThenPath) {
  std::vector<Match> v{M("/z/b", 1), M("/a/C", 2), M("/b/a", 3), M("/a/a", 4), M("/a/B", 5)};
  SortMatches(v, SortKind::Name, -1);
  EXPECT_EQ(Paths(v), (std::vector<std::string_view>{"/a/a", "/b/a", "/a/B", "/z/b", "/a/C"}));
}

TEST(Sorting, DateNewestFirstAndLimit) {
  std::vector<Match> v{M("/a/old", 10), M("/a/new", 30), M("/a/mid", 20), M("/b/mid", 20)};
  SortMatches(v, SortKind::DateModified, 3);
  EXPECT_EQ(Paths(v), (std::vector<std::string_view>{"/a/new", "/a/mid", "/b/mid"}));
  std::vector<Match> w{M("/a/x", 1), M("/a/y", 2)};
  SortMatches(w, SortKind::DateModified, 0);
  EXPECT_TRUE(w.empty());
  std::vector<Match> s{M("/a/small", 0, 1), M("/a/big", 0, 100)};
  SortMatches(s, SortKind::Size, 10);
  EXPECT_EQ(Paths(s), (std::vector<std::string_view>{"/a/big", "/a/small"}));
}

TEST(ArenaTest, StoredTextSurvivesGrowth) {
  Arena arena;
  std::string_view first = arena.Store("first");
  std::string big(3 << 20, 'x');
  std::string_view second = arena.Store(big);
  for (int i = 0; i < 1000; ++i) arena.Store("some more text");
  EXPECT_EQ(first, "first");
  EXPECT_EQ(second.size(), big.size());
}

}  // namespace
}  // namespace es
