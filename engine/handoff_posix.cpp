// The native es's side of a search handed over by es.exe under Wine (see kHandOffSwitch). Standard
// input is a socket of es.exe's: Wine gives it to a Linux program as a non-blocking descriptor, and
// it reaches its end within milliseconds when es.exe ends for any reason (TerminateProcess, a job,
// a kill from Linux), which a pipe of Wine's does not do.
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <thread>

#include "handoff.h"
#include "options.h"
#include "run.h"
#include "send_posix.h"

namespace es {

namespace {

constexpr int kInput = 0;
constexpr size_t kMaxRequest = 16 << 20;

std::mutex finishing;     // the end of the search and the end of the caller exclude each other
std::string export_file;  // the caller's temporary file, removed when the caller is gone
struct stat made{};       // what was under that name when this search made it
int replied = -1;         // the exit code, once the caller was sent it

// Reads what has arrived, waiting for it: the byte count, 0 at the end, -1 on an error.
ssize_t ReadSome(char* buffer, size_t size) {
  for (;;) {
    ssize_t n = read(kInput, buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
    pollfd wait{kInput, POLLIN, 0};
    if (poll(&wait, 1, -1) < 0 && errno != EINTR) return -1;
  }
}

// Ends the process, `finishing` held, removing the export this search made if it is still under its
// name: the caller moves a finished export into place before it ends, so what is left was never
// taken (the caller failed, or was ended before the reply or between the reply and the move).
[[noreturn]] void End(int code) {
  struct stat now{};
  if (!export_file.empty() && stat(export_file.c_str(), &now) == 0 && now.st_dev == made.st_dev &&
      now.st_ino == made.st_ino) {
    unlink(export_file.c_str());
  }
  _exit(code);
}

// Ends the process when the caller is gone.
void WatchCaller() {
  char buffer[256];
  while (ReadSome(buffer, sizeof buffer) > 0) {
  }
  std::lock_guard<std::mutex> lock(finishing);
  End(replied >= 0 ? replied : 1);
}

// Sends standard output `fd` (1 or 2) to a file in memory from now on; -1 when there is none.
int CaptureOutput(int fd) {
  int memory = memfd_create("es-printed", MFD_CLOEXEC);
  if (memory < 0) return -1;
  if (dup2(memory, fd) < 0) {
    close(memory);
    return -1;
  }
  return memory;
}

// What was sent to `memory` since CaptureOutput, up to what a reply carries.
std::string Captured(int memory) {
  std::string text;
  char buffer[1024];
  ssize_t n;
  while (memory >= 0 && text.size() < kMaxHandOffPrinted &&
         (n = pread(memory, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0) {
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

}  // namespace

void ServeHandOff() {
  std::string request;
  char buffer[1 << 16];
  size_t end;
  while ((end = request.find('\0')) == std::string::npos) {
    if (request.size() > kMaxRequest) _exit(kExitMissingValue);
    ssize_t n = ReadSome(buffer, sizeof buffer);
    if (n <= 0) _exit(1);  // the caller is gone before it said what to search
    request.append(buffer, static_cast<size_t>(n));
  }
  request.resize(end);
  ParseResult parsed = ParseCommandLine(request, false);
  if (parsed.exit_code == kExitOk && parsed.options.export_csv) {
    // Made before the caller is watched, and only opened by the search: once the watch removed it,
    // nothing makes it again and leaves it behind (a FIFO without a reader is not waited for here).
    export_file = parsed.options.export_file;
    int fd = open(export_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0) close(fd);
    if (stat(export_file.c_str(), &made) != 0) export_file.clear();
  }
  std::thread(WatchCaller).detach();
  // An index switch prints a line or two, which go back in the reply.
  bool index_command = parsed.exit_code == kExitOk && parsed.options.index != IndexCommand::None;
  int printed = index_command ? CaptureOutput(1) : -1;
  int errors = index_command ? CaptureOutput(2) : -1;

  int code = RunEs(request, false, true, true);
  std::fflush(stdout);
  std::fflush(stderr);
  {
    std::lock_guard<std::mutex> lock(finishing);
    if (!SendAll(kInput, HandOffReply(code, Captured(printed), Captured(errors)), -1)) End(code);
    replied = code;
  }
  // The watch ends the process once the caller is gone.
  for (;;) pause();
}

}  // namespace es
