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
  AppendCsvRow(file, options, "C:\\Daten\\Ärger \"100%\" & co^.txt", false, 5000000000LL, {1999, 12, 31, 23, 59});

  lumiseek::test::FakePort port;
  lumiseek::App app{port};
  port.files["results.txt"] = file;
  ASSERT_EQ(lumiseek::ImportResults(app), 3);
  std::vector<std::string> rows;
  for (const lumiseek::ResultRow& r : app.Results)
    rows.push_back(r.Folder + "|" + r.Name + "|" + std::to_string(r.Size) + "|" + r.SortDate + "|" +
                   std::to_string(r.IsFolder));
  EXPECT_EQ(rows, (std::vector<std::string>{"z:\\home\\ann\\|budget 2023.xlsx|1200|2023/05/17 10:22|0",
                                            "z:\\home\\ann\\|music|0|2024/01/02 03:04|1",
                                            "c:\\daten\\|\xC3\xA4rger \"100%\" & co^.txt|5000000000|1999/12/31 23:59|0"}));
}

}  // namespace
}  // namespace es
