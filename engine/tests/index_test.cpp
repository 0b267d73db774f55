// The index against the walk: the same bytes for every search form over a generated tree, before and
// after a random series of creates, deletes, renames and moves; the cache file's bytes read back, and
// refused when damaged.
#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "index.h"
#include "index_service.h"
#include "options.h"
#include "output.h"
#include "search.h"

namespace es {
namespace {

namespace fs = std::filesystem;

const char* const kWords[] = {"Report", "budget", "photo", "notes", "MUSIC", "draft", "Ärger", "résumé", "a b", "x&y"};
const char* const kExts[] = {"txt", "PDF", "mp3", "jpg", "", "tar.gz", "Md"};

class IndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/es_index_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string RandomName(bool folder) {
    std::string name = kWords[rng_() % 10];
    if (rng_() % 2) name += std::string(rng_() % 3 ? " " : "_") + kWords[rng_() % 10];
    if (rng_() % 3) name += std::to_string(rng_() % 20);
    if (rng_() % 6 >= (folder ? 4u : 1u)) name += std::string(".") + kExts[rng_() % 7];  // folders too: "x.txt"
    return name;
  }

  void MakeFile(const fs::path& path) {
    std::ofstream(path) << std::string(rng_() % 4 * 100, 'x');
    // Times drawn from a few values, so that the date order needs its ties broken.
    time_t t = 1600000000 + static_cast<time_t>(rng_() % 5) * 86400;
    struct timeval times[2] = {{t, 0}, {t, 0}};
    utimes(path.c_str(), times);
  }

  std::vector<fs::path> Folders() {
    std::vector<fs::path> folders{root_};
    for (auto& e : fs::recursive_directory_iterator(root_)) {
      if (e.is_directory() && !e.is_symlink()) folders.push_back(e.path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
  }

  void Grow(int folders, int files) {
    for (int i = 0; i < folders; ++i) {
      auto all = Folders();
      fs::create_directory(all[rng_() % all.size()] / RandomName(true));
    }
    auto all = Folders();
    for (int i = 0; i < files; ++i) MakeFile(all[rng_() % all.size()] / RandomName(false));
  }

  // One random change; returns the folders whose listing it changed.
  std::vector<fs::path> Change() {
    auto all = Folders();
    fs::path folder = all[rng_() % all.size()];
    std::vector<fs::path> entries;
    for (auto& e : fs::directory_iterator(folder)) entries.push_back(e.path());
    std::sort(entries.begin(), entries.end());
    int what = static_cast<int>(rng_() % 5);
    if (entries.empty() || what == 0) {
      fs::path made = folder / RandomName(rng_() % 3 == 0);
      if (rng_() % 3 == 0) {
        fs::create_directories(made / "inner");
        MakeFile(made / "inner" / RandomName(false));
      } else {
        MakeFile(made);
      }
      return {folder};
    }
    fs::path victim = entries[rng_() % entries.size()];
    if (what == 1) {
      fs::remove_all(victim);
      return {folder};
    }
    if (what == 2) {
      MakeFile(victim.string() + "x");  // a new file beside; the victim rewritten too
      if (fs::is_regular_file(victim)) MakeFile(victim);
      return {folder};
    }
    // A rename in place or a move to another folder (not into itself).
    fs::path target = what == 3 ? folder : all[rng_() % all.size()];
    if (target.string().rfind(victim.string(), 0) == 0) target = folder;
    fs::path to = target / (RandomName(fs::is_directory(victim)) + "m");
    if (fs::exists(to)) return {};
    fs::rename(victim, to);
    return {folder, target};
  }

  std::string Walk(const Options& o, const std::string& shown = {}, const std::vector<std::string>& roots = {}) {
    std::FILE* out = std::tmpfile();
    const bool one = roots.empty();
    Query query = ParseQuery(o.search, o.wine_view ? '\\' : '/');
    SearchReport report = Search(query, o, one ? std::vector{root_} : roots, out, 2, one ? std::vector{shown} : roots);
    EXPECT_FALSE(report.write_failed);
    std::string text(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), out), text.size());
    std::fclose(out);
    return text;
  }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) lines.push_back(text.substr(at, end - at));
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  // The first rows that differ, or nothing.
  static std::string Difference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> only_a, only_b;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(only_a));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(only_b));
    if (only_a.empty() && only_b.empty()) return a.size() == b.size() ? "" : "row counts differ";
    return "index only: " + (only_a.empty() ? "-" : only_a[0]) + " walk only: " + (only_b.empty() ? "-" : only_b[0]);
  }

  // Every search form against the walk.
  void CompareAll(const IndexTable& table, const std::string& shown = {}) {
    const std::string r = shown.empty() ? root_ : shown;
    const char sep = shown.empty() ? '/' : '\\';
    const std::vector<std::string> texts = {
        "", "report", "REPORT budget", "report|photo", "!report", "\"a b\"", "*.txt", "re?ort*", "*",
        "ext:txt;pdf;md", "ext:gz !draft", "ärger", "RÉSUMÉ", "x&y", "!" + r + sep + "report", "notes" + std::string(1, sep),
        "!\"" + r + sep + "a b\" photo", "!" + r + sep + "music" + sep + " " + "!" + r + sep + "draft" + sep + " .",
        r + sep + "*" + sep + "*.mp3", "m|n !o", "ext:txt|report", "!ext:txt;md"};
    const std::vector<std::string> switches = {"", "/ad", "/a-d", "-sort name", "-sort path", "-sort size -size",
                                               "-sort dm -dm -n 7", "-size -dm /a-d -sort dm -n 100",
                                               "-sort name -n 3 /ad", "-n 5", "-n 0", "-sort size -n 0"};
    for (const std::string& sw : switches) {
      for (const std::string& text : texts) {
        std::string line = sw + (shown.empty() ? "" : " -wine-root " + root_ + " \"" + shown + "\"") + " -export-csv x " + text;
        ParseResult parsed = ParseCommandLine(line, false);
        ASSERT_EQ(parsed.exit_code, kExitOk) << line;
        Options& o = parsed.options;
        std::string walked = Walk(o, shown), indexed;
        SearchReport report = table.Search(ParseQuery(o.search, sep), o, indexed);
        EXPECT_TRUE(report.unreadable_roots.empty());
        if (o.sort != SortKind::None) {
          ASSERT_EQ(Difference(Lines(indexed), Lines(walked)), "") << line;
          ASSERT_TRUE(indexed == walked) << line << "\nindex:\n" << indexed.substr(0, 600) << "\nwalk:\n" << walked.substr(0, 600);
        } else if (o.max_results < 0) {
          ASSERT_EQ(Difference(Lines(indexed), Lines(walked)), "") << line;
        } else {  // an unsorted limit: as many rows, each one the whole search finds
          Options all = o;
          all.max_results = -1;
          std::vector<std::string> every = Lines(Walk(all, shown)), some = Lines(indexed);
          ASSERT_EQ(some.size(), Lines(walked).size()) << line;
          ASSERT_TRUE(std::includes(every.begin(), every.end(), some.begin(), some.end())) << line;
        }
      }
    }
  }

  std::string root_;
  std::mt19937 rng_{25};
};

TEST_F(IndexTest, AnswersAsTheWalkBeforeAndAfterChangesAndFromItsOwnBytes) {
  Grow(25, 400);
  IndexTable table;
  table.SetLeastPart(64);  // read and written in parts, as a large table is
  std::atomic<size_t> added{0};  // what "building N entries" counts while the build runs
  table.SetProgress(&added);
  table.Build({{root_}, {}, false});
  EXPECT_EQ(table.Entries(), static_cast<size_t>(std::distance(fs::recursive_directory_iterator(root_), {})));
  EXPECT_EQ(added.load(), table.Entries());
  CompareAll(table);

  // Changes followed folder by folder, as change notifications report them.
  for (int round = 0; round < 6; ++round) {
    for (int k = 0; k < 8; ++k) {
      for (const fs::path& folder : Change()) {
        uint32_t f = table.Find(folder.string());
        ASSERT_NE(f, IndexTable::kNone) << folder;
        table.Rescan(f, false);
      }
    }
    table.Sort();
    CompareAll(table);
  }
  // Changes nobody reported, found by a rescan of the root.
  for (int k = 0; k < 30; ++k) Change();
  table.Rescan(table.RootEntry(0), true);
  table.Sort();
  SCOPED_TRACE("rescan");
  CompareAll(table);

  // The bytes of the cache file: read back whole they answer the same; cut, flipped or grown, refused.
  std::string bytes = table.Serialize();
  IndexTable loaded;
  ASSERT_TRUE(loaded.Deserialize(bytes));
  SCOPED_TRACE("loaded");
  EXPECT_EQ(loaded.Entries(), table.Entries());
  CompareAll(loaded);
  for (size_t cut : {size_t{0}, size_t{7}, bytes.size() / 2, bytes.size() - 1}) {
    EXPECT_FALSE(loaded.Deserialize(bytes.substr(0, cut))) << cut;
    EXPECT_EQ(loaded.Entries(), 0u);
  }
  for (size_t at : {size_t{3}, size_t{40}, bytes.size() / 3, bytes.size() - 3}) {
    std::string bad = bytes;
    bad[at] ^= 0x10;
    EXPECT_FALSE(loaded.Deserialize(bad)) << at;
  }
  EXPECT_FALSE(loaded.Deserialize(bytes + "x"));

  // After a restart: what changed while nobody watched is found by the folders' times.
  ASSERT_TRUE(loaded.Deserialize(bytes));
  sleep(1);  // folder times in whole seconds on some file systems
  for (int k = 0; k < 20; ++k) Change();
  EXPECT_GT(loaded.Verify(), 1u);
  loaded.RefreshAll();
  loaded.Sort();
  SCOPED_TRACE("verified");
  CompareAll(loaded);

  // A file rewritten in place leaves its folder's time alone: only reading every file finds it.
  bytes = loaded.Serialize();
  auto file = std::find_if(fs::recursive_directory_iterator(root_), {}, [this](auto& e) {
    return e.is_regular_file() && e.path().parent_path() != root_;
  });
  ASSERT_NE(file, fs::recursive_directory_iterator());
  std::ofstream(file->path()) << std::string(1234, 'y');
  ASSERT_TRUE(loaded.Deserialize(bytes));
  EXPECT_EQ(loaded.Verify(), 1u);  // the root alone, always
  loaded.RefreshAll();
  loaded.Sort();
  ParseResult by_size = ParseCommandLine("-sort size -size -export-csv x", false);
  std::string indexed;
  loaded.Search(ParseQuery("", '/'), by_size.options, indexed);
  EXPECT_EQ(indexed, Walk(by_size.options));
}

TEST_F(IndexTest, WineViewShowsWindowsPathsAsTheWalkDoes) {
  Grow(8, 80);
  // A link shows its target's time: a target changed later is not seen through the link.
  fs::create_directory_symlink(Folders()[1], fs::path(root_) / "dirlink");
  MakeFile(fs::path(root_) / "bad\xff name.txt");
  fs::create_directory(fs::path(root_) / "bad\xfe dir");
  MakeFile(fs::path(root_) / "bad\xfe dir" / "Report.txt");
  fs::create_symlink(root_ + "/nowhere", root_ + "/broken.txt");
  IndexTable table;
  table.Build({{root_}, {"Z:\\t r"}, true});
  CompareAll(table, "Z:\\t r");
  uint32_t bad = table.Find(root_ + "/bad\xfe dir");
  ASSERT_NE(bad, IndexTable::kNone);
  MakeFile(fs::path(root_) / "bad\xfe dir" / "more report.pdf");
  table.Rescan(bad, false);
  table.Sort();
  CompareAll(table, "Z:\\t r");
}

TEST_F(IndexTest, ARootNamedLikeAFileIsNeverARow) {
  const std::string one = root_ + "/one", two = root_ + "/two.md";  // two lies past 300 entries of one
  fs::create_directories(one);
  fs::create_directories(two);
  for (int i = 0; i < 400; ++i) MakeFile(fs::path(i % 4 ? one : two) / (std::to_string(i) + (i % 2 ? ".md" : ".c")));
  IndexTable table;
  table.Build({{one, two}, {}, false});
  for (const char* line : {"-sort name ext:md", "ext:md;x"}) {
    ParseResult parsed = ParseCommandLine(line, false);
    std::string indexed;
    EXPECT_EQ(table.Search(ParseQuery(parsed.options.search, '/'), parsed.options, indexed).rows, 200);
    EXPECT_EQ(Lines(indexed), Lines(Walk(parsed.options, {}, {one, two}))) << line;
  }
}

TEST(IndexProtocol, RequestsAndRepliesComeBackWholeOrNotAtAll) {
  IndexKey key{{"/home/u", "/tmp/b c"}, {"Z:\\home\\u", ""}, true}, read;
  std::string request = IndexSearchRequest("-sort dm \"a b\"", true, key), line;
  bool slash = false;
  ASSERT_TRUE(ReadIndexSearchRequest(request, line, slash, read));
  EXPECT_EQ(line, "-sort dm \"a b\"");
  EXPECT_TRUE(slash);
  EXPECT_EQ(read, key);
  EXPECT_FALSE(ReadIndexSearchRequest(request + "x", line, slash, read));

  SearchReport report, back;
  report.rows = 2;
  report.unreadable_roots = {"/gone", "/no entry"};
  std::string rows = "\"/a,b\"\n\"/c\"\n", rows_back;
  std::string reply = IndexSearchReplyHead(report, rows.size()) + rows;
  ASSERT_TRUE(ReadIndexSearchReply(reply, back, rows_back));
  EXPECT_GE(IndexSearchReplySize(reply), reply.size());
  EXPECT_EQ(IndexSearchReplySize(reply.substr(0, 8)), 0u);  // its first line not whole yet
  EXPECT_EQ(back.rows, 2);
  EXPECT_EQ(back.unreadable_roots, report.unreadable_roots);
  EXPECT_EQ(rows_back, rows);
  EXPECT_FALSE(ReadIndexSearchReply(reply + "x", back, rows_back));
  // A connection cut anywhere gives no answer (the search walks): never part of one.
  for (size_t cut = 0; cut < reply.size(); ++cut) {
    EXPECT_FALSE(ReadIndexSearchReply(reply.substr(0, cut), back, rows_back)) << cut;
  }
  for (size_t cut = 0; cut < request.size(); ++cut) {
    EXPECT_FALSE(ReadIndexSearchRequest(request.substr(0, cut), line, slash, read)) << cut;
  }
}

}  // namespace
}  // namespace es
