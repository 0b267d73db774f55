// Search over a real folder tree on disk (several workers, the limit, the sorted top rows) and the
// CSV rows it writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "options.h"
#include "output.h"
#include "run.h"
#include "search.h"
#include "walk.h"

namespace es {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/es_search_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  void MakeFile(const std::string& relative, time_t modified = 1000, size_t size = 1) {
    fs::path path = fs::path(root_) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << std::string(size, 'x');
    struct timeval times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
  }

  // Runs a search and returns the lines it wrote.
  Lines Run(const std::string& text, Options options, int threads = 3) {
    std::FILE* out = std::tmpfile();
    SearchReport report = Search(ParseQuery(text, '/'), options, {root_}, out, threads);
    EXPECT_TRUE(!report.write_failed && report.unreadable_roots.empty());
    std::rewind(out);
    Lines lines;
    for (char line[4096]; std::fgets(line, sizeof line, out);) lines.emplace_back(line, std::strcspn(line, "\r\n"));
    std::fclose(out);
    EXPECT_EQ(report.rows, static_cast<int64_t>(lines.size()));
    return lines;
  }

  std::string root_;
};

TEST_F(SearchTest, LimitKeepsTheNewestOrStopsAtExactlyN) {
  // 4100 matches: more than one worker keeps before it drops those that cannot be in the top 3; 300
  // folders: more than are kept open. Distinct times (7 and 4100 share no factor), newest for i * 7 % 4100 = 0, 1, 2.
  for (int i = 0; i < 4100; ++i) MakeFile("f" + std::to_string(i % 300) + "/m" + std::to_string(i), 1000000 - i * 7 % 4100);
  MakeFile("f1/other.txt", 2000000000);
  const auto open_files = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
  const auto opened_before = open_files();
  Options options;
  options.sort = SortKind::DateModified;
  options.max_results = 3;
  for (int threads : {1, 3})
    EXPECT_EQ(Run("m", options, threads), (Lines{root_ + "/f0/m0", root_ + "/f243/m2343", root_ + "/f286/m586"}));
  options.sort = SortKind::None;
  Lines lines = Run("", options);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), 3u);
  options.max_results = -1;
  EXPECT_EQ(Run("", options).size(), 4401u);  // every file and folder, each once
  EXPECT_EQ(open_files(), opened_before);  // every folder opened is closed again
}

TEST_F(SearchTest, ExclusionsPruneFoldersWhateverTheirCase) {
  for (const char* file : {"Keep/a.txt", "Skip/a.txt", "Skip/deeper/a.txt", "Skipper/a.txt", "Program Files/app/a.txt",
                           "Program Files (x86)/a.txt", "r&d/a.txt", ".k/a.txt", "..k/a.txt"})
    MakeFile(file);
  // The search text as the command line hands it over: a quoted exclusion holding a blank.
  ParseResult parsed = ParseCommandLine(
      "!\"" + root_ + "/program files/\" !" + root_ + "/r&d/ !" + root_ + "/skip/ -sort path a.txt", false);
  ASSERT_EQ(parsed.exit_code, kExitOk) << parsed.error;
  EXPECT_EQ(Run(parsed.options.search, parsed.options),
            (Lines{root_ + "/..k/a.txt", root_ + "/.k/a.txt", root_ + "/Keep/a.txt", root_ + "/Program Files (x86)/a.txt",
                   root_ + "/Skipper/a.txt"}));
}

TEST_F(SearchTest, RunWritesTheExportAndExitsByWhatCouldBeRead) {
  MakeFile("docs/report.txt", 86400 * 365, 42);
  std::string out = root_ + "/out.csv", docs = root_ + "/docs", text;
  EXPECT_EQ(RunEs("-path /nonexistent/es-root -path " + root_ + " -size -sort name -export-csv " + out + " doc|report", false),
            kExitOk);
  EXPECT_TRUE(ReadWholeFile(out, text));
  EXPECT_EQ(text, "Size,Filename\r\n,\"" + docs + "\"\r\n42,\"" + docs + "/report.txt\"\r\n");
  EXPECT_EQ(RunEs("-path /nonexistent/one -path /nonexistent/two -export-csv " + out + " a", false),
            kExitRootUnreadable);
  EXPECT_EQ(RunEs("-path " + root_ + " -export-csv " + root_ + "/missing/out.csv a", false), kExitExportFailed);
  // The export is moved into place only after a search that ended well: the failed one left the
  // previous file as it was, and no temporary file stays behind either way.
  std::string kept;
  EXPECT_TRUE(ReadWholeFile(out, kept));
  EXPECT_EQ(kept, text);
  Lines names;
  for (const auto& entry : fs::directory_iterator(root_)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Lines{"docs", "out.csv"}));
}

TEST_F(SearchTest, WineRootShowsWindowsPathsAndListsEntriesAsWineDoes) {
  MakeFile("Sub Dir/a.txt", 1000, 3);
  MakeFile("Sub Dir/b.txt", 1000, 4);
  MakeFile("skip/a.txt");
  MakeFile("bad\xff.txt");
  MakeFile("bad\xfe dir/in.txt", 1000, 5);  // entered by its own bytes
  MakeFile("skip\\b.txt");  // a Linux name with a backslash: shown inside the excluded folder
  fs::create_directory_symlink(root_ + "/Sub Dir", root_ + "/dirlink");
  fs::create_symlink(root_ + "/Sub Dir/b.txt", root_ + "/filelink.txt");
  fs::create_symlink(root_ + "/nowhere", root_ + "/broken.txt");
  std::string out = root_ + "/out.csv", text;
  EXPECT_EQ(RunEs("-wine-root \"" + root_ + "\" \"Z:\\t r\" -size -sort path -export-csv " + out +
                  " !\"z:\\t r\\skip\\\" .txt|dirlink", false), kExitOk);
  EXPECT_TRUE(ReadWholeFile(out, text));
  // A link shows its target's size and kind; a link to a folder is not entered; a broken link and
  // the excluded folder (and a name that shows as a path in it) are left out; a faulty byte of a
  // name shows as U+FFFD.
  EXPECT_EQ(text, "Size,Filename\r\n5,\"Z:\\t r\\bad\xEF\xBF\xBD dir\\in.txt\"\r\n1,\"Z:\\t r\\bad\xEF\xBF\xBD.txt\"\r\n,\"Z:\\t r\\dirlink\"\r\n"
                  "4,\"Z:\\t r\\filelink.txt\"\r\n3,\"Z:\\t r\\Sub Dir\\a.txt\"\r\n4,\"Z:\\t r\\Sub Dir\\b.txt\"\r\n");
}

TEST_F(SearchTest, AFolderPastTheLengthOfOnePathIsSearchedAsAnyOther) {
  std::string deep = root_;
  int fd = open(root_.c_str(), O_RDONLY | O_DIRECTORY);
  while (deep.size() < 5000) {  // made a folder at a time: the whole path is too long for one call
    std::string name(200, 'd');
    ASSERT_EQ(mkdirat(fd, name.c_str(), 0700), 0);
    int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
    deep += "/" + name;
  }
  close(openat(fd, "deep needle.txt", O_CREAT | O_WRONLY, 0600));
  close(fd);
  std::FILE* out = std::tmpfile();
  SearchReport report = Search(ParseQuery("needle", '/'), Options{}, {deep}, out, 2);
  std::fclose(out);
  EXPECT_TRUE(report.unreadable_roots.empty());
  EXPECT_EQ(report.rows, 1);
  EntryDetails gone;  // a name removed since its folder was read has no details
  EXPECT_FALSE(PathDetails(root_ + "/gone.txt", false, gone));
  EXPECT_EQ(std::system(("rm -rf '" + root_ + "'").c_str()), 0);  // the tree is too deep for remove_all
}

TEST(Csv, HeaderAndRowsAsLumiseekReadsThem) {
  Options o;
  o.size = o.date_modified = true;
  std::string out = CsvHeader(o);
  AppendCsvRow(out, o, "C:\\Data\\a, b & c%^.txt", false, 5000000000LL, {2023, 5, 17, 9, 2});
  AppendCsvRow(out, o, "C:\\Data\\Ordner \xC3\xA4", true, 4096, {1999, 12, 31, 23, 59});  // a folder: no size
  AppendCsvRow(out, o, "/d/say \"hi\"", false, 0, {2024, 1, 2, 0, 0});
  AppendCsvRow(out, o, "/d/two\r\nlines", false, 1, {2024, 1, 2, 0, 0});  // a Linux name: quoted whole
  EXPECT_EQ(out,
            "Size,Date Modified,Filename\r\n"
            "5000000000,05/17/2023 09:02,\"C:\\Data\\a, b & c%^.txt\"\r\n"
            ",12/31/1999 23:59,\"C:\\Data\\Ordner \xC3\xA4\"\r\n"
            "0,01/02/2024 00:00,\"/d/say \"\"hi\"\"\"\r\n"
            "1,01/02/2024 00:00,\"/d/two\r\nlines\"\r\n");
}

}  // namespace
}  // namespace es
