// The index service as the es program runs it: started, asked, kept current, refused to another user,
// stopped, killed or stalled (searches walk then), restarted from its cache file, good or damaged.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "index_service.h"
#include "run.h"
#include "walk.h"

namespace es {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The pid of a ready service's status line, "ready <entries> entries pid <pid>\n"; 0 for any other text.
int ReadyPid(const std::string& status) {
  int entries = -1, pid = 0, end = 0;
  if (std::sscanf(status.c_str(), "ready %d entries pid %d%n", &entries, &pid, &end) != 2) return 0;
  return entries >= 0 && status.substr(static_cast<size_t>(end)) == "\n" ? pid : 0;
}

class IndexServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/es_service_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    base_ = pattern;
    root_ = base_ + "/tree";
    for (const char* folder : {"Docs/old", "Music", "a b"}) fs::create_directories(root_ + "/" + folder);
    for (int i = 0; i < 60; ++i)
      std::ofstream(root_ + "/" + (i % 3 == 0 ? "Docs/" : i % 3 == 1 ? "Music/" : "a b/") + "report " +
                    std::to_string(i) + (i % 2 ? ".txt" : ".PDF"))
          << std::string(i, 'x');
    fs::create_directories(base_ + "/run");
    chmod((base_ + "/run").c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", (base_ + "/run").c_str(), 1);
    setenv("XDG_CACHE_HOME", (base_ + "/cache").c_str(), 1);
    unsetenv("ES_NO_INDEX");
    if (const char* home = std::getenv("HOME")) home_ = home;
  }
  void TearDown() override {
    Es("-index-stop");
    Signal(SIGKILL);
    fs::remove_all(base_);
    setenv("HOME", home_.c_str(), 1);
  }

  // Runs the program; its exit code, and what it printed (on either output) in `out`.
  int Es(const std::string& args, std::string* out = nullptr, const std::string& before = "") {
    std::string file = base_ + "/stdout";
    int status = std::system((before + ES_PROGRAM + " " + args + " >'" + file + "' 2>&1").c_str());
    if (out) ReadWholeFile(file, *out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Only ever the service's own process: kill(-1) would reach every process of the user.
  void Signal(int sig) {
    if (pid_ > 0) kill(pid_, sig);
  }

  // Starts the service and waits (boundedly) until it is ready; remembers its process.
  void StartReady() {
    std::string status;
    // Its outputs read to their end, as a caller with pipes does: the service must not hold them.
    ASSERT_EQ(std::system(("timeout 10 sh -c \"" + std::string(ES_PROGRAM) + " -index-start -path '" + root_ +
                           "' 2>&1 | cat >/dev/null\"").c_str()), 0);
    for (auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
      if (Es("-index-status", &status) == 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = ReadyPid(status);
    ASSERT_GT(pid_, 0) << status;
  }

  // A search through RunEs (the client in this process) and the same walked, both as exports.
  // While `answers_`, the service must be the one answering.
  std::string Search(const std::string& args, bool walk = false) {
    std::string out = base_ + "/results.txt", text, line = args + " -path \"" + root_ + "\" -export-csv " + out;
    if (!walk && answers_) {
      std::string rows;
      SearchReport report;
      EXPECT_TRUE(SearchThroughIndex(line, false, {{root_}, {""}, false}, rows, report)) << args;
    }
    EXPECT_EQ(RunEs((walk ? "-no-index " : "") + line, false), kExitOk);
    EXPECT_TRUE(ReadWholeFile(out, text));
    return text;
  }
  void ExpectAsWalked(const std::string& args) { EXPECT_EQ(Search(args), Search(args, true)) << args; }

  // Waits up to a second for `text` to be found (or not), and says whether it came so.
  bool SeenWithin1s(const std::string& args, const std::string& text, bool found = true) {
    for (auto end = Clock::now() + std::chrono::seconds(1); Clock::now() < end;) {
      if ((Search(args).find(text) != std::string::npos) == found) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  std::string base_, root_, home_;
  pid_t pid_ = -1;
  bool answers_ = true;
};

TEST_F(IndexServiceTest, AnswersAsTheWalkAndFollowsChangesWithinASecond) {
  fs::create_directories(base_ + "/run/lumiseek");  // left open to others: closed before it is used
  chmod((base_ + "/run/lumiseek").c_str(), 0755);
  fs::create_directories(root_ + "/long");  // a reply of many parts
  for (int i = 0; i < 400; ++i) std::ofstream(root_ + "/long/" + std::string(200, 'n') + std::to_string(i));
  ASSERT_NO_FATAL_FAILURE(StartReady());
  std::string status;
  EXPECT_EQ(Es("-index-start -path '" + root_ + "'", &status), 0);  // a second start: the same service
  EXPECT_EQ(status.compare(0, 6, "ready "), 0);
  EXPECT_EQ(Es("-index-start -path /tmp", &status), 1);  // other folders: refused while this one runs
  const std::string running = "es: an index service for other folders is running (", first = "); stop it first\n";
  ASSERT_GT(status.size(), running.size() + first.size());
  EXPECT_EQ(status.substr(0, running.size()) + status.substr(status.size() - first.size()), running + first);
  EXPECT_EQ(ReadyPid(status.substr(running.size(), status.size() - running.size() - first.size()) + "\n"), pid_);
  for (const char* args : {"-size -dm -sort dm -n 5 report", "/ad -sort name", "-sort size -size ext:pdf",
                           "-sort name n", "-sort path !\"" "/docs/\" report", "-sort name -n 3 *.txt|\"a b\""})
    ExpectAsWalked(args);

  // Each change is seen by the next search within a second: a file made, renamed, removed; a folder
  // made with a file in it, renamed (its file under the new name), removed.
  std::ofstream(root_ + "/Music/new song.mp3") << "x";
  EXPECT_TRUE(SeenWithin1s("song", "new song.mp3"));
  fs::rename(root_ + "/Music/new song.mp3", root_ + "/Music/old tune.mp3");
  EXPECT_TRUE(SeenWithin1s("tune", "old tune.mp3"));
  EXPECT_TRUE(SeenWithin1s("song", "new song", false));
  fs::remove(root_ + "/Music/old tune.mp3");
  EXPECT_TRUE(SeenWithin1s("tune", "old tune", false));
  fs::create_directories(root_ + "/Docs/fresh");
  std::ofstream(root_ + "/Docs/fresh/inside.txt") << "x";
  EXPECT_TRUE(SeenWithin1s("inside", "fresh/inside.txt"));
  fs::rename(root_ + "/Docs/fresh", root_ + "/a b/moved");
  EXPECT_TRUE(SeenWithin1s("inside", "a b/moved/inside.txt"));
  std::ofstream(root_ + "/a b/moved/later.txt") << "x";  // inside the folder under its new name
  EXPECT_TRUE(SeenWithin1s("later", "moved/later.txt"));
  fs::remove_all(root_ + "/a b/moved");
  EXPECT_TRUE(SeenWithin1s("inside|later", "moved", false));
  std::ofstream(root_ + "/Docs/report 0.PDF") << std::string(5000, 'y');  // a size changed in place
  EXPECT_TRUE(SeenWithin1s("-size \"report 0.PDF\"", "5000,"));
  ExpectAsWalked("-size -dm -sort dm report|docs");

  // The socket is in a folder only this user can enter: another user is not answered.
  struct stat st {};
  ASSERT_EQ(stat((base_ + "/run/lumiseek").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  if (geteuid() == 0) {
    pid_t child = fork();
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(9);
      std::string rows;
      SearchReport report;
      IndexKey key{{root_}, {""}, false};
      _exit(SearchThroughIndex("report", false, key, rows, report) ? 1 : 0);
    }
    int code = -1;
    waitpid(child, &code, 0);
    EXPECT_EQ(WEXITSTATUS(code), 0) << "another user's search was answered";
  }
}

TEST_F(IndexServiceTest, ASearchThatFindsNoServiceStartsOneUnlessTheIndexIsOff) {
  std::string search = "-size -sort name report -path '" + root_ + "'", walked, out;
  EXPECT_EQ(Es("-index-stop", &out), 0);
  EXPECT_EQ(out, "not running\n");
  // No folder of the user's own to keep a service in: refused in words.
  EXPECT_EQ(Es("-index-start", &out, "env -u XDG_RUNTIME_DIR -u XDG_CACHE_HOME HOME=nowhere "), 1);
  EXPECT_EQ(out, "es: no private folder for the index service (XDG_RUNTIME_DIR, XDG_CACHE_HOME or HOME)\n");
  fs::create_directories(base_ + "/run/lumiseek/index.sock/taken");  // a service that cannot listen
  EXPECT_EQ(Es("-index-start -path '" + root_ + "'", &out), 1);
  EXPECT_EQ(out, "es: the index service did not start\n");
  fs::remove_all(base_ + "/run/lumiseek/index.sock");
  ASSERT_EQ(Es("-no-index " + search, &walked), 0);
  setenv("ES_NO_INDEX", "1", 1);
  EXPECT_EQ(Es(search, &out), 0);
  unsetenv("ES_NO_INDEX");
  EXPECT_EQ(out, walked);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Es("-index-status", &out), 2) << "a search with the index off started a service";

  // None running: the search walks and prints its rows only; the service it started answers the next.
  EXPECT_EQ(Es(search, &out), 0);
  EXPECT_EQ(out, walked);
  for (auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end && Es("-index-status", &out) != 0;)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(out.compare(0, 6, "ready "), 0) << out;
  pid_ = std::atoi(out.substr(out.find(" pid ") + 5).c_str());
  ExpectAsWalked("-size -sort name report");
  // Its command line, which anyone may list, names its folder but not what was searched.
  std::string shown;
  ASSERT_TRUE(ReadWholeFile("/proc/" + std::to_string(pid_) + "/cmdline", shown));
  EXPECT_NE(shown.find(root_), std::string::npos) << shown;
  EXPECT_EQ(shown.find("report"), std::string::npos) << shown;
}

TEST_F(IndexServiceTest, StalledOrKilledServiceMeansAWalkAndARestartReadsTheCache) {
  unsetenv("XDG_CACHE_HOME");  // the cache then goes under the home folder
  setenv("HOME", base_.c_str(), 1);
  ASSERT_NO_FATAL_FAILURE(StartReady());
  std::string before = Search("-size -sort name report");
  // Stalled: the search waits a bounded time, then walks.
  Signal(SIGSTOP);
  answers_ = false;
  std::ofstream(root_ + "/Music/while stalled report.txt") << "x";
  auto start = Clock::now();
  std::string stalled = Search("-size -sort name report");
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kIndexAnswerMs + 1500));
  EXPECT_EQ(stalled, Search("-size -sort name report", true));
  EXPECT_NE(stalled.find("while stalled"), std::string::npos);
  // Killed: the search walks at once.
  Signal(SIGKILL);
  // The signal lands a moment later: until then the process still holds its lock.
  for (auto end = Clock::now() + std::chrono::seconds(5); Clock::now() < end && kill(pid_, 0) == 0;)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  pid_ = -1;
  start = Clock::now();
  EXPECT_EQ(Search("-size -sort name report"), stalled);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kIndexAnswerMs));
  std::string status;
  EXPECT_EQ(Es("-index-status", &status), 2);
  EXPECT_EQ(status, "not running\n");

  // Stopped (saved), changed while away, started again: read from the cache, then brought up to date.
  ASSERT_NO_FATAL_FAILURE(StartReady());
  answers_ = true;
  ASSERT_EQ(Es("-index-stop"), 0);
  std::string cache = base_ + "/.cache/lumiseek/index.bin", bytes;
  ASSERT_TRUE(ReadWholeFile(cache, bytes));
  struct stat made {};  // the missing ~/.cache made on the way, for the user alone
  ASSERT_EQ(stat((base_ + "/.cache").c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0700u);
  fs::remove(root_ + "/Music/while stalled report.txt");
  fs::rename(root_ + "/Docs/old", root_ + "/Docs/older report");
  ASSERT_NO_FATAL_FAILURE(StartReady());
  ExpectAsWalked("-size -dm -sort name report");
  // A damaged or cut cache file is not used: the service builds anew and answers right.
  for (std::string damaged : {bytes.substr(0, bytes.size() / 2), std::string(bytes.size(), 'z')}) {
    ASSERT_EQ(Es("-index-stop"), 0);
    std::ofstream(cache, std::ios::binary | std::ios::trunc) << damaged;
    std::ofstream(root_ + "/Music/after damage " + std::to_string(damaged.size()) + " report.txt") << "x";
    ASSERT_NO_FATAL_FAILURE(StartReady());
    ExpectAsWalked("-size -dm -sort dm report");
  }
}

}  // namespace
}  // namespace es
