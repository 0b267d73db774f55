// The native es's command line: the same search read back on the other side; the native es run as
// es.exe runs it, over a socket that carries the request and the exit code and whose end ends it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "handoff.h"
#include "run.h"
#include "search.h"
#include "walk.h"

namespace es {
namespace {

namespace fs = std::filesystem;

std::string Join(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) line += (line.empty() ? "" : " ") + arg;
  return line;
}

// What a search is made of, as one text.
std::string Summary(const Options& o) {
  return o.search + "|" + std::to_string(o.size) + std::to_string(o.date_modified) + std::to_string(int(o.type)) +
         std::to_string(int(o.sort)) + "|" + std::to_string(o.max_results) + "|" + o.export_file;
}

TEST(HandOff, NativeEsReadsTheSameSearchWithLinuxRootsShownAsWindowsOnes) {
  for (const char* line : {"!c:\\windows\\ !\"c:\\program files\\\" -size -size-format 2 -dm /a-d -sort dm -n 100 "
                           "-export-csv results.txt budget|\"my notes\"",
                           "/ad -sort name ext:txt;md"}) {
    Options windows = ParseCommandLine(line, true).options;
    auto args = NativeEsArguments(windows, {"/home/ann", "/mnt/my disk"}, {"Z:\\home\\ann", "D:\\"}, "/app dir/r.txt");
    ASSERT_TRUE(args) << line;
    std::string request = HandOffRequest(*args);
    ASSERT_EQ(request, Join(*args) + '\0');
    ParseResult native = ParseCommandLine(request.substr(0, request.size() - 1), false);
    ASSERT_EQ(native.exit_code, kExitOk) << native.error;
    if (windows.export_csv) windows.export_file = "/app dir/r.txt";
    EXPECT_EQ(Summary(native.options), Summary(windows));
    EXPECT_EQ(native.options.paths, (std::vector<std::string>{"/home/ann", "/mnt/my disk"}));
    EXPECT_EQ(native.options.shown_paths, (std::vector<std::string>{"Z:\\home\\ann", "D:\\"}));
    EXPECT_TRUE(native.options.wine_view);
  }
  // A double quote cannot pass es's rules inside a path: no hand-off.
  EXPECT_FALSE(NativeEsArguments(Options{}, {"/home/a\"b"}, {"Z:\\home\\a\"b"}, ""));
}

// The native es beside this test, started as es.exe starts it: standard input one end of a socket
// pair, non-blocking as Wine makes its sockets, the other end returned.
pid_t StartHandOff(int& ours) {
  int pair[2];
  EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  fcntl(pair[1], F_SETFL, O_NONBLOCK);
  std::string program = JoinPath(ProgramFolder(), "es");
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pair[1], 0);
    close(pair[0]);
    close(pair[1]);
    execl(program.c_str(), program.c_str(), kHandOffSwitch, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pair[1]);
  ours = pair[0];
  return pid;
}

// The exit status of `pid` once it ends within five seconds; -1 otherwise (then it is ended).
int Reap(pid_t pid) {
  for (int i = 0; i < 500; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (pid > 0) kill(pid, SIGKILL);  // never kill(-1): that reaches every process of the user
  waitpid(pid, nullptr, 0);
  return -1;
}

TEST(HandOff, NativeEsReadsAnyLengthRepliesItsCodeAndEndsWithItsCaller) {
  fs::path dir = fs::temp_directory_path() / ("handoff test " + std::to_string(getpid()));
  fs::create_directories(dir / "tree" / "sub");
  std::ofstream(dir / "tree" / "sub" / "needle.txt") << "x";
  std::ofstream(dir / "tree" / "other.txt") << "x";
  // A request far beyond a Windows command line (3,000 exclusions, about 110,000 characters): only
  // when the last of them and the term at its end arrive is the one row found.
  std::vector<std::string> args = {"-no-index", "-wine-root", "\"" + (dir / "tree").string() + "\"", "Z:\\t",
                                   "-export-csv", "\"" + (dir / "out.tmp").string() + "\""};
  for (int i = 0; i < 3000; ++i) args.push_back("!\"z:\\t\\excluded folder number " + std::to_string(i) + "\\\"");
  args.push_back("!z:\\t\\other.txt");
  args.push_back(".txt");
  int socket = -1;
  pid_t pid = StartHandOff(socket);
  std::string request = HandOffRequest(args), reply;
  ASSERT_GT(request.size(), 100000u);
  // In two parts with a pause: the native es finds nothing to read between them and must wait.
  ASSERT_EQ(write(socket, request.data(), 1000), 1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(write(socket, request.data() + 1000, request.size() - 1000), static_cast<ssize_t>(request.size() - 1000));
  char buffer[16];
  for (ssize_t n; !ReadHandOffReply(reply) && (n = read(socket, buffer, sizeof buffer)) > 0;) {
    reply.append(buffer, static_cast<size_t>(n));
  }
  EXPECT_EQ(reply, HandOffReply(kExitOk));
  std::string text;
  ASSERT_TRUE(ReadWholeFile((dir / "out.tmp").string(), text));  // written in place: the caller moves it
  EXPECT_EQ(text, "Filename\r\n\"Z:\\t\\sub\\needle.txt\"\r\n");
  // The native es waits for its caller's end, then removes an export the caller did not move.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0);
  close(socket);
  EXPECT_EQ(Reap(pid), kExitOk);
  EXPECT_FALSE(fs::exists(dir / "out.tmp"));
  // Once the caller's file is removed (its caller went away), a search in place does not make it again.
  const std::string gone = "-path \"" + (dir / "tree").string() + "\" -export-csv \"" + (dir / "gone.tmp").string();
  EXPECT_EQ(RunEs("-no-index " + gone + "\" needle", false, true), kExitExportFailed);
  EXPECT_FALSE(fs::exists(dir / "gone.tmp"));

  // The caller goes away while the native es is held up opening its export (a FIFO nobody reads):
  // it ends at once and removes what it was writing.
  fs::path fifo = dir / "held.tmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  pid = StartHandOff(socket);
  request = HandOffRequest(
      {"-no-index", "-path", "\"" + (dir / "tree").string() + "\"", "-export-csv", "\"" + fifo.string() + "\""});
  ASSERT_EQ(write(socket, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  close(socket);
  EXPECT_EQ(Reap(pid), 1);
  EXPECT_FALSE(fs::exists(fifo));
  // The caller goes away before its request is whole: nothing is searched.
  pid = StartHandOff(socket);
  ASSERT_EQ(write(socket, "-path /", 7), 7);
  close(socket);
  EXPECT_EQ(Reap(pid), 1);
  fs::remove_all(dir);
}

TEST(HandOff, IndexSwitchesGoOverAndWhatTheyPrintComesBackWhole) {
  Options windows = ParseCommandLine("-index-start -index-idle 5 -no-index", true).options;
  auto args = NativeEsArguments(windows, {"/home/ann"}, {"Z:\\home\\ann"}, "");
  ASSERT_TRUE(args);
  Options native = ParseCommandLine(Join(*args), false).options;
  EXPECT_TRUE(native.index == IndexCommand::Start && native.index_idle_minutes == 5 && native.no_index);
  EXPECT_EQ(native.paths, std::vector<std::string>{"/home/ann"});

  // A reply is not whole at any length short of its end; its texts are cut at their bound.
  std::string line = HandOffReply(1, "building 5 entries\n", "es: slow\n");
  for (size_t cut = 0; cut < line.size(); ++cut) EXPECT_FALSE(ReadHandOffReply(line.substr(0, cut))) << cut;
  auto answer = ReadHandOffReply(line);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->exit_code, 1);
  EXPECT_EQ(answer->printed + answer->errors, "building 5 entries\nes: slow\n");
  answer = ReadHandOffReply(HandOffReply(10));
  EXPECT_TRUE(answer && answer->exit_code == 10 && answer->printed.empty() && answer->errors.empty());
  for (const char* bad : {"x1\n", "1 5\nabcde", "1  5 0\n", "1 5000 0\n", "1 2 3 4\n"}) EXPECT_FALSE(ReadHandOffReply(bad));
  answer = ReadHandOffReply(HandOffReply(0, std::string(3 * kMaxHandOffPrinted, 'x')));
  EXPECT_TRUE(answer && answer->printed.size() == kMaxHandOffPrinted);
}

}  // namespace
}  // namespace es
