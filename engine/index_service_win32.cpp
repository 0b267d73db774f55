// The index service of es.exe, for when no native es beside it keeps one (the hand-off takes the
// index switches and searches first): a named pipe per user whose only access entry is that user,
// remote clients refused and each side's user checked; ReadDirectoryChangesW on each root, subtree
// and all, answered by completion routines; the table saved under %LOCALAPPDATA%\Lumiseek.
#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "base/wide_win32.h"
#include "index_changes_win32.h"
#include "index_serve.h"
#include "walk.h"

namespace es {

namespace {

using lumiseek::N;
using lumiseek::W;
using Clock = std::chrono::steady_clock;
constexpr size_t kMaxRequest = 16 << 20;
constexpr int kPeerMs = 2000;  // the service's bound on a client's request and on sending the reply

struct OwnedHandle {
  HANDLE h = nullptr;
  explicit OwnedHandle(HANDLE handle = nullptr) : h(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~OwnedHandle() {
    if (h) CloseHandle(h);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
};

// The user of a process's token, copied into `sid` (a buffer of SECURITY_MAX_SID_SIZE).
bool TokenUserOf(HANDLE process, std::vector<BYTE>& sid) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  OwnedHandle owned(token);
  std::vector<BYTE> buffer(256);
  DWORD length = 0;
  if (!GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &length)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.resize(length);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), length, &length)) return false;
  }
  PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  sid.assign(static_cast<BYTE*>(user), static_cast<BYTE*>(user) + GetLengthSid(user));
  return true;
}

// This user's SID as text ("S-1-5-21-..."): it names the pipe and the lock; empty when unknown.
std::wstring UserSid() {
  std::vector<BYTE> sid;
  LPWSTR text = nullptr;
  if (!TokenUserOf(GetCurrentProcess(), sid) || !ConvertSidToStringSidW(sid.data(), &text)) return {};
  std::wstring out = text;
  LocalFree(text);
  return out;
}

// Whether the process `pid` runs as this user.
bool ProcessIsUser(ULONG pid) {
  OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  std::vector<BYTE> ours, theirs;
  return process.h && TokenUserOf(GetCurrentProcess(), ours) && TokenUserOf(process.h, theirs) && ours == theirs;
}

std::wstring PipeName() {
  std::wstring sid = UserSid();
  return sid.empty() ? std::wstring() : L"\\\\.\\pipe\\lumiseek-index-" + sid;
}

std::string CacheFolder() {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return {};
  std::wstring folder = std::wstring(buffer, n) + L"\\Lumiseek";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
  return N(folder);
}

int64_t MsLeft(Clock::time_point end) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
}

// One overlapped read or write of the pipe, waited for at most `ms` (then cancelled); the bytes moved,
// or -1 on an error, a broken pipe or the time out.
int64_t Transfer(HANDLE pipe, bool write, char* data, DWORD size, int64_t ms) {
  OVERLAPPED o{};
  OwnedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event.h || ms <= 0) return -1;
  o.hEvent = event.h;
  BOOL done = write ? WriteFile(pipe, data, size, nullptr, &o) : ReadFile(pipe, data, size, nullptr, &o);
  if (!done && GetLastError() != ERROR_IO_PENDING) return -1;
  DWORD moved = 0;
  if (WaitForSingleObject(event.h, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) {
    CancelIo(pipe);
    GetOverlappedResult(pipe, &o, &moved, TRUE);
    return -1;
  }
  return GetOverlappedResult(pipe, &o, &moved, FALSE) ? static_cast<int64_t>(moved) : -1;
}

// A message: its length in decimal and a line end, then its bytes, all sent within `ms`.
bool SendMessage(HANDLE pipe, std::string_view data, int64_t ms) {
  std::string framed = std::to_string(data.size()) + "\n";
  framed.append(data);
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (size_t at = 0; at < framed.size();) {
    DWORD part = static_cast<DWORD>(std::min<size_t>(framed.size() - at, 1 << 16));
    int64_t n = Transfer(pipe, true, framed.data() + at, part, MsLeft(end));
    if (n <= 0) return false;
    at += static_cast<size_t>(n);
  }
  return true;
}

// Reads one message whole: each part must come within `gap_ms` of the last (and of the start).
bool ReceiveMessage(HANDLE pipe, std::string& out, int gap_ms, size_t max_bytes) {
  std::string got;
  std::vector<char> buffer(1 << 16);
  size_t length = SIZE_MAX, head = 0;
  while (length == SIZE_MAX || got.size() < head + length) {
    int64_t n = Transfer(pipe, false, buffer.data(), static_cast<DWORD>(buffer.size()), gap_ms);
    if (n <= 0) return false;
    got.append(buffer.data(), static_cast<size_t>(n));
    if (length == SIZE_MAX) {
      size_t line = got.find('\n');
      if (line == std::string::npos) {
        if (got.size() > 24) return false;
        continue;
      }
      length = 0;
      for (size_t i = 0; i < line; ++i) {
        if (got[i] < '0' || got[i] > '9' || length > max_bytes) return false;
        length = length * 10 + static_cast<size_t>(got[i] - '0');
      }
      if (line == 0 || length > max_bytes) return false;
      head = line + 1;
    }
  }
  if (got.size() != head + length) return false;
  out = got.substr(head);
  return true;
}

}  // namespace

Asked AskIndexService(std::string_view request, std::string& reply, int gap_ms, size_t (*)(std::string_view)) {
  std::wstring name = PipeName();
  if (name.empty()) return Asked::NoService;
  auto end = Clock::now() + std::chrono::milliseconds(gap_ms);
  HANDLE pipe;
  for (;;) {
    pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return Asked::NoService;
    int64_t left = MsLeft(end);
    if (error != ERROR_PIPE_BUSY || left <= 0) return Asked::NoAnswer;
    // Another client is being answered: wait for the pipe, a bounded time.
    if (!WaitNamedPipeW(name.c_str(), static_cast<DWORD>(std::min<int64_t>(left, 200)))) Sleep(10);
  }
  OwnedHandle owned(pipe);
  ULONG server = 0;
  if (!GetNamedPipeServerProcessId(pipe, &server) || !ProcessIsUser(server)) return Asked::NoAnswer;
  if (!SendMessage(pipe, request, gap_ms) || !ReceiveMessage(pipe, reply, gap_ms, size_t{1} << 34)) {
    return Asked::NoAnswer;
  }
  return Asked::Answered;
}

std::string IndexChannelProblem() {
  return PipeName().empty() ? "the user of this process is not known, so no index service can be kept for it"
                            : std::string();
}

void ReturnFreedMemory() {}

bool WriteAside(const std::string& path, std::string_view data) {
  std::string temporary = path + "." + std::to_string(ProcessId()) + ".tmp";
  std::wstring wide = W(temporary);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !data.empty()) {
    DWORD written = 0;
    DWORD part = static_cast<DWORD>(std::min<size_t>(data.size(), 1 << 20));
    ok = WriteFile(file, data.data(), part, &written, nullptr) && written > 0;
    data.remove_prefix(written);
  }
  ok = FlushFileBuffers(file) && ok;
  ok = CloseHandle(file) && ok;
  if (ok && MoveIntoPlace(temporary, path)) return true;
  DeleteFileW(wide.c_str());
  return false;
}

bool LaunchIndexService(std::string_view command_line) {
  std::wstring program(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (n == 0) return false;
    if (n < program.size()) {
      program.resize(n);
      break;
    }
    program.resize(program.size() * 2);
  }
  std::wstring line = L"\"" + program + L"\" -index-serve " + W(std::string(command_line));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // No handle inherited (a caller reading this program's output to its end would wait for the
  // service too), no console, and out of the caller's job, which may end every process in it.
  DWORD flags = DETACHED_PROCESS | CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP;
  bool started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                                flags | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr, &startup, &info);
  if (!started && GetLastError() == ERROR_ACCESS_DENIED) {  // a job that allows no breakaway
    started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                             &startup, &info);
  }
  if (!started) return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

namespace {

// Waits (at most kPeerMs) for the client to close its end, so that the reply is read before the
// pipe is disconnected, which would drop what is still in it.
void Disconnect(HANDLE pipe) {
  char byte;
  while (Transfer(pipe, false, &byte, 1, kPeerMs) > 0) {
  }
  DisconnectNamedPipe(pipe);
}

// Waits for a client up to `ms`; false when none came (or the pipe failed).
bool AwaitClient(HANDLE pipe, HANDLE event, DWORD ms) {
  OVERLAPPED o{};
  o.hEvent = event;
  ResetEvent(event);
  if (ConnectNamedPipe(pipe, &o)) return true;
  DWORD error = GetLastError();
  if (error == ERROR_PIPE_CONNECTED) return true;
  if (error != ERROR_IO_PENDING) {
    Sleep(ms);
    return false;
  }
  DWORD unused = 0;
  if (WaitForSingleObject(event, ms) != WAIT_OBJECT_0) {
    CancelIo(pipe);
    return GetOverlappedResult(pipe, &o, &unused, TRUE) != 0;  // it may have come meanwhile
  }
  return GetOverlappedResult(pipe, &o, &unused, FALSE) != 0;
}

// The service's pipe: one instance, the first of its name (a pipe of that name made before by
// anyone else is refused), open to this user only, refusing clients on other machines. The last
// service's pipe may linger a moment after it said it stopped.
HANDLE CreateServicePipe(const std::wstring& name, const std::wstring& sid) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring sddl = L"D:P(A;;GA;;;" + sid + L")";
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return INVALID_HANDLE_VALUE;
  }
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (auto end = Clock::now() + std::chrono::seconds(3); pipe == INVALID_HANDLE_VALUE && Clock::now() < end;) {
    pipe = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                            1 << 16, 1 << 16, 0, &security);
    if (pipe == INVALID_HANDLE_VALUE) Sleep(50);
  }
  LocalFree(descriptor);
  return pipe;
}

}  // namespace

int ServeIndex(const IndexKey& key, int64_t idle_minutes) {
  std::wstring sid = UserSid();
  if (sid.empty()) return 1;
  // One service a user: the lock lives as long as the service.
  HANDLE lock = CreateMutexW(nullptr, FALSE, (L"Local\\lumiseek-index-" + sid).c_str());
  if (!lock) return 1;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(lock);
    return 0;
  }
  HANDLE pipe = CreateServicePipe(PipeName(), sid);
  OwnedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (pipe == INVALID_HANDLE_VALUE || !event.h) {
    if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
    CloseHandle(lock);
    return 1;
  }
  IndexService service;
  service.key = key;
  service.key.shown.resize(key.roots.size());
  std::string cache = CacheFolder();
  if (!cache.empty()) service.cache_file = cache + "\\index.bin";
  service.unwatched_why = "roots not watched (gone or refused)";
  service.last_query_ms = IndexService::NowMs();
  std::thread follower([&] { FollowFolderChanges(service); });
  bool stop_asked = false;
  while (!service.stop.load()) {
    if (!AwaitClient(pipe, event.h, 1000)) {
      if (service.Idle(idle_minutes)) service.stop = true;
      continue;
    }
    std::string request;
    ULONG client = 0;
    if (!GetNamedPipeClientProcessId(pipe, &client) || !ProcessIsUser(client) ||
        !ReceiveMessage(pipe, request, kPeerMs, kMaxRequest)) {
      DisconnectNamedPipe(pipe);
      continue;
    }
    std::string rows;
    std::string reply = service.Answer(request, rows);
    reply += rows;  // one message
    if (service.stop.load()) {
      stop_asked = true;  // answered once the table is saved
      break;
    }
    SendMessage(pipe, reply, kPeerMs);
    Disconnect(pipe);
  }
  follower.join();
  service.Save();
  CloseHandle(lock);  // a new service may start as soon as this one says it stopped
  if (stop_asked) {
    SendMessage(pipe, "stopped\n", kPeerMs);
    Disconnect(pipe);
  }
  CloseHandle(pipe);
  return 0;
}

}  // namespace es
