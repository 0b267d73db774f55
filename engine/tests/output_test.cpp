#include <gtest/gtest.h>

#include "output.h"

namespace es {
namespace {

TEST(Csv, HeaderAndRowsAsLumiseekReadsThem) {
  Options o;
  o.size = o.date_modified = true;
  std::string out = CsvHeader(o);
  AppendCsvRow(out, o, "C:\\Data\\a, b & c%^.txt", false, 5000000000LL, {2023, 5, 17, 9, 2});
  AppendCsvRow(out, o, "C:\\Data\\Ordner \xC3\xA4", true, 4096, {1999, 12, 31, 23, 59});  // a folder: no size
  AppendCsvRow(out, o, "/d/say \"hi\"", false, 0, {2024, 1, 2, 0, 0});
  EXPECT_EQ(out,
            "Size,Date Modified,Filename\r\n"
            "5000000000,05/17/2023 09:02,\"C:\\Data\\a, b & c%^.txt\"\r\n"
            ",12/31/1999 23:59,\"C:\\Data\\Ordner \xC3\xA4\"\r\n"
            "0,01/02/2024 00:00,\"/d/say \"\"hi\"\"\"\r\n");
}

Match M(std::string_view path, int64_t modified, int64_t size = 0) {
  return Match{path, static_cast<uint32_t>(path.rfind('/') + 1), false, size, modified};
}

std::vector<std::string_view> Sorted(std::vector<Match> v, SortKind sort, int64_t limit) {
  SortMatches(v, sort, limit);
  std::vector<std::string_view> out;
  for (const Match& m : v) out.push_back(m.path);
  return out;
}

TEST(Sorting, NameWithoutCaseDateNewestSizeLargestFirst) {
  using Paths = std::vector<std::string_view>;
  EXPECT_EQ(Sorted({M("/z/b", 1), M("/a/C", 2), M("/b/a", 3), M("/a/a", 4), M("/a/B", 5)}, SortKind::Name, -1),
            (Paths{"/a/a", "/b/a", "/a/B", "/z/b", "/a/C"}));
  EXPECT_EQ(Sorted({M("/a/old", 10), M("/a/new", 30), M("/a/mid", 20), M("/b/mid", 20)}, SortKind::DateModified, 3),
            (Paths{"/a/new", "/a/mid", "/b/mid"}));
  EXPECT_TRUE(Sorted({M("/a/x", 1), M("/a/y", 2)}, SortKind::DateModified, 0).empty());
  EXPECT_EQ(Sorted({M("/a/small", 0, 1), M("/a/big", 0, 100)}, SortKind::Size, 10), (Paths{"/a/big", "/a/small"}));
  EXPECT_EQ(Sorted({M("/b/x", 0), M("/A/y", 0), M("/a/z", 0)}, SortKind::Path, -1), (Paths{"/A/y", "/a/z", "/b/x"}));
}

}  // namespace
}  // namespace es
