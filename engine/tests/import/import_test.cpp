// Rows written by the engine's CSV writer read back through Lumiseek's own results import
// into the same names, folders, sizes and dates.
#include <gtest/gtest.h>

#include "base/app.h"
#include "fake_port.h"
#include "output.h"
#include "search/results.h"

namespace es {
namespace {

TEST(EngineToImport, RowsReadBackUnchanged) {
  Options options;
  options.size = options.date_modified = true;
  std::string file = CsvHeader(options);
  AppendCsvRow(file, options, "Z:\\home\\Ann\\Budget 2023.xlsx", false, 1200, {2023, 5, 17, 10, 22});
  AppendCsvRow(file, options, "Z:\\home\\Ann\\Music", true, 4096, {2024, 1, 2, 3, 4});
  AppendCsvRow(file, options, "C:\\Daten\\Ärger 100% & co^.txt", false, 5000000000LL, {1999, 12, 31, 23, 59});

  lumiseek::test::FakePort port;
  lumiseek::App app{port};
  port.files["results.txt"] = file;
  ASSERT_EQ(lumiseek::ImportResults(app), 3);

  struct Expected {
    const char* name;
    const char* folder;
    const char* size;
    const char* date;
    int is_folder;
  } expected[] = {
      {"budget 2023.xlsx", "z:\\home\\ann\\", "1200", "05/17/2023 10:22", 0},
      {"music", "z:\\home\\ann\\", "", "01/02/2024 03:04", 1},
      {"\xC3\xA4rger 100% & co^.txt", "c:\\daten\\", "5000000000", "12/31/1999 23:59", 0},
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const lumiseek::ResultRow& row = app.Results[i];
    EXPECT_EQ(row.Name, expected[i].name);
    EXPECT_EQ(row.Folder, expected[i].folder);
    EXPECT_EQ(row.SizeText, expected[i].size);
    EXPECT_EQ(row.DateText, expected[i].date);
    EXPECT_EQ(row.IsFolder, expected[i].is_folder);
  }
  EXPECT_EQ(app.Results[2].Size, 5000000000LL);
}

}  // namespace
}  // namespace es
