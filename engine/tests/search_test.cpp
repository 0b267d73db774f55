// Search over a real folder tree on disk: several workers, the limit, the sorted top rows.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "options.h"
#include "run.h"
#include "search.h"

namespace es {
namespace {

namespace fs = std::filesystem;

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/es_search_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  void MakeFile(const std::string& relative, time_t modified, size_t size = 1) {
    fs::path path = fs::path(root_) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << std::string(size, 'x');
    struct timeval times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
  }

  // Runs a search and returns the lines it wrote.
  std::vector<std::string> Run(const std::string& text, Options options, int threads = 3) {
    Query query = ParseQuery(text, '/');
    std::FILE* out = std::tmpfile();
    SearchReport report = Search(query, options, {root_}, out, threads);
    EXPECT_FALSE(report.write_failed);
    EXPECT_TRUE(report.unreadable_roots.empty());
    std::rewind(out);
    std::vector<std::string> lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, out)) {
      std::string line(buffer);
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      lines.push_back(line);
    }
    std::fclose(out);
    EXPECT_EQ(report.rows, static_cast<int64_t>(lines.size()));
    return lines;
  }

  std::string root_;
};

TEST_F(SearchTest, SortedLimitKeepsTheNewestAcrossWorkersAndCompaction) {
  // 6000 matches: more than a worker keeps before it drops the ones that cannot be in the top 5.
  for (int i = 0; i < 6000; ++i) {
    MakeFile("f" + std::to_string(i % 60) + "/match " + std::to_string(i) + ".txt", 1000000 + i * 7 % 6000 * 60);
  }
  MakeFile("f1/other.txt", 2000000000);
  Options options;
  options.sort = SortKind::DateModified;
  options.max_results = 5;
  std::vector<std::string> lines = Run("match", options);
  ASSERT_EQ(lines.size(), 5u);
  // The times are distinct (7 and 6000 share no factor); the five largest come first.
  std::vector<std::pair<int, int>> keyed;
  for (int i = 0; i < 6000; ++i) keyed.push_back({-(i * 7 % 6000), i});
  std::sort(keyed.begin(), keyed.end());
  for (int k = 0; k < 5; ++k) {
    int i = keyed[k].second;
    EXPECT_EQ(lines[k], root_ + "/f" + std::to_string(i % 60) + "/match " + std::to_string(i) + ".txt");
  }
}

TEST_F(SearchTest, LimitWithoutSortStopsAtExactlyN) {
  for (int i = 0; i < 500; ++i) MakeFile("d" + std::to_string(i % 25) + "/x" + std::to_string(i), 1000);
  Options options;
  options.max_results = 7;
  std::vector<std::string> lines = Run("", options);
  EXPECT_EQ(lines.size(), 7u);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), 7u);
  options.max_results = -1;
  EXPECT_EQ(Run("", options).size(), 525u);  // 500 files and 25 folders
}

TEST_F(SearchTest, ManySubfoldersAreAllRead) {
  // More folders wait than are kept open: the rest are opened by path.
  for (int i = 0; i < 600; ++i) MakeFile("many/sub" + std::to_string(i) + "/file", 1000);
  Options options;
  options.type = TypeFilter::FilesOnly;
  EXPECT_EQ(Run("file", options, 2).size(), 600u);
}

TEST_F(SearchTest, ExcludedFoldersArePrunedWhateverTheirCase) {
  MakeFile("Keep/a.txt", 1000);
  MakeFile("Skip/a.txt", 1000);
  MakeFile("Skip/deeper/a.txt", 1000);
  MakeFile("Skipper/a.txt", 1000);
  Options options;
  options.sort = SortKind::Path;
  EXPECT_EQ(Run("a.txt !" + root_ + "/skip/", options),
            (std::vector<std::string>{root_ + "/Keep/a.txt", root_ + "/Skipper/a.txt"}));
  // The excluded folder itself is not under itself.
  options.type = TypeFilter::FoldersOnly;
  EXPECT_EQ(Run("skip !" + root_ + "/skip/", options),
            (std::vector<std::string>{root_ + "/Skip", root_ + "/Skipper"}));
}

TEST_F(SearchTest, QuotedExclusionWithBlanksExcludesThatFolder) {
  MakeFile("Program Files/app/a.txt", 1000);
  MakeFile("Program Files (x86)/a.txt", 1000);
  MakeFile("r&d/a.txt", 1000);
  MakeFile("docs/a.txt", 1000);
  // The search text as the command line hands it over, closing backslash before the quote.
  ParseResult parsed = ParseCommandLine(
      "!\"" + root_ + "/program files/\" !" + root_ + "/r&d/ -sort path a.txt", false);
  ASSERT_EQ(parsed.exit_code, kExitOk) << parsed.error;
  EXPECT_EQ(Run(parsed.options.search, parsed.options),
            (std::vector<std::string>{root_ + "/docs/a.txt", root_ + "/Program Files (x86)/a.txt"}));
}

TEST_F(SearchTest, UnreadableRootFailsTheRunOnlyWhenNoRootCouldBeRead) {
  MakeFile("docs/a.txt", 1000);
  std::string out = root_ + "/out.csv";
  EXPECT_EQ(RunEs("-path /nonexistent/es-root -path " + root_ + "/docs -export-csv " + out + " a.txt", false),
            kExitOk);
  std::ifstream file(out);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "Filename\r\n\"" + root_ + "/docs/a.txt\"\r\n");
  EXPECT_EQ(RunEs("-path /nonexistent/one -path /nonexistent/two -export-csv " + out + " a.txt", false),
            kExitRootUnreadable);
  EXPECT_EQ(RunEs("-path " + root_ + " -export-csv " + root_ + "/missing/out.csv a.txt", false),
            kExitExportFailed);
}

TEST_F(SearchTest, CsvRowsCarrySizesAndFolderRowsNone) {
  MakeFile("docs/report.txt", 86400 * 365, 42);
  Options options;
  options.export_csv = options.size = true;
  options.sort = SortKind::Name;
  EXPECT_EQ(Run("doc|report", options, 1),
            (std::vector<std::string>{",\"" + root_ + "/docs\"", "42,\"" + root_ + "/docs/report.txt\""}));
}

TEST(SearchRoots, UnreadableRootIsReportedAndOthersSearched) {
  Options options;
  Query query = ParseQuery("", '/');
  std::FILE* out = std::tmpfile();
  SearchReport report = Search(query, options, {"/nonexistent/es-root", "/proc/self/fdinfo"}, out, 2);
  std::fclose(out);
  EXPECT_EQ(report.unreadable_roots, std::vector<std::string>{"/nonexistent/es-root"});
  EXPECT_GT(report.rows, 0);
}

TEST(Paths, JoinAndNormalize) {
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(JoinPath("/x", "a"), "/x/a");
  EXPECT_EQ(NormalizeRoot("/home/ann//"), "/home/ann");
  EXPECT_EQ(NormalizeRoot("/"), "/");
}

}  // namespace
}  // namespace es
