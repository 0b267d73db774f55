// Under Wine, the search goes to the native es beside this program when there is one: Wine's file
// functions cost about a hundred times what the Linux calls do. Wine's kernel32 exports the
// translation between Windows and Linux paths. A Windows program gets no handle for a Linux
// process, and a pipe of Wine's reaches a Linux program as nothing at all; a loopback socket does,
// both ways: the native es reads its command line from it, writes its exit code back, and ends when
// it reaches its end, which is when this program ends, however it is ended. Winsock is loaded only
// for a search handed over.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <type_traits>

#include "base/text.h"
#include "base/wide_win32.h"
#include "base/wine_paths_win32.h"
#include "handoff.h"
#include "run.h"
#include "search.h"
#include "walk.h"

namespace es {

namespace {

using lumiseek::W;
using lumiseek::WinePaths;

// A Linux program file: it starts with the ELF signature.
bool IsLinuxProgram(const std::string& path) {
  std::FILE* f = OpenFile(path, false);
  if (!f) return false;
  char head[4] = {};
  bool elf = std::fread(head, 1, 4, f) == 4 && head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
  std::fclose(f);
  return elf;
}

std::wstring FullPath(const std::string& path) {
  std::wstring wide = W(path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return wide;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return full;
}

// The few Winsock functions the hand-off needs, loaded on first use.
struct Winsock {
  decltype(&WSAStartup) startup = nullptr;
  decltype(&WSASocketW) socket = nullptr;
  decltype(&bind) bind_to = nullptr;
  decltype(&listen) listen_on = nullptr;
  decltype(&getsockname) name_of = nullptr;
  decltype(&connect) connect_to = nullptr;
  decltype(&accept) accept_from = nullptr;
  decltype(&send) send_to = nullptr;
  decltype(&recv) receive = nullptr;
  decltype(&closesocket) close = nullptr;

  bool Load() {
    HMODULE dll = LoadLibraryW(L"ws2_32.dll");
    if (!dll) return false;
    auto get = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
      return fn != nullptr;
    };
    WSADATA data;
    return get(startup, "WSAStartup") && get(socket, "WSASocketW") && get(bind_to, "bind") &&
           get(listen_on, "listen") && get(name_of, "getsockname") && get(connect_to, "connect") &&
           get(accept_from, "accept") && get(send_to, "send") && get(receive, "recv") &&
           get(close, "closesocket") && startup(MAKEWORD(2, 2), &data) == 0;
  }

  // Two connected loopback sockets, `ours` not inherited, `theirs` inheritable; false when there
  // are none (no network stack at all).
  bool Pair(SOCKET& ours, SOCKET& theirs) {
    ours = theirs = INVALID_SOCKET;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, 0);
    if (listener == INVALID_SOCKET) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.S_un.S_un_b = {127, 0, 0, 1};
    int length = sizeof address;
    auto* at = reinterpret_cast<sockaddr*>(&address);
    if (bind_to(listener, at, sizeof address) == 0 && listen_on(listener, 1) == 0 &&
        name_of(listener, at, &length) == 0) {
      theirs = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, 0);
      if (theirs != INVALID_SOCKET && connect_to(theirs, at, sizeof address) == 0) {
        ours = accept_from(listener, nullptr, nullptr);
      }
    }
    close(listener);
    if (ours == INVALID_SOCKET ||
        !SetHandleInformation(reinterpret_cast<HANDLE>(ours), HANDLE_FLAG_INHERIT, 0) ||
        !SetHandleInformation(reinterpret_cast<HANDLE>(theirs), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
      if (ours != INVALID_SOCKET) close(ours);
      if (theirs != INVALID_SOCKET) close(theirs);
      return false;
    }
    return true;
  }
};

// Sends the request and waits for the answer; nothing when the native es ends without one (it
// could not run, crashed or was ended).
std::optional<HandOffAnswer> Exchange(Winsock& ws, SOCKET socket, const std::string& request) {
  for (size_t sent = 0; sent < request.size();) {
    int n = ws.send_to(socket, request.data() + sent, static_cast<int>(std::min<size_t>(request.size() - sent, 1 << 16)), 0);
    if (n <= 0) return std::nullopt;
    sent += static_cast<size_t>(n);
  }
  std::string reply;
  char buffer[1024];
  for (;;) {
    if (std::optional<HandOffAnswer> answer = ReadHandOffReply(reply)) return answer;
    int n = ws.receive(socket, buffer, sizeof buffer, 0);
    if (n <= 0 || reply.size() > 2 * kMaxHandOffPrinted + 64) return std::nullopt;
    reply.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace

bool HandOffToNativeEs(const Options& options, const std::vector<std::string>& roots, const std::string& export_file,
                       int& exit_code) {
  if (options.help || options.wine_view) return false;
  WinePaths wine;
  if (!wine.Present()) return false;
  std::string native = JoinPath(ProgramFolder(), "es");
  if (!IsLinuxProgram(native)) return false;
  std::optional<std::string> native_linux = wine.ToLinux(W(native));
  if (!native_linux) return false;

  std::vector<std::string> linux_roots;
  for (const std::string& root : roots) {
    std::optional<std::string> linux_root = wine.ToLinux(W(root));
    if (!linux_root) return false;
    linux_roots.push_back(*linux_root);
  }
  std::string linux_export;
  if (options.export_csv) {
    std::optional<std::string> path = wine.ToLinux(FullPath(export_file));
    if (!path) return false;
    linux_export = *path;
  }
  std::optional<std::vector<std::string>> args = NativeEsArguments(options, linux_roots, roots, linux_export);
  if (!args) return false;

  static Winsock ws;
  static const bool loaded = ws.Load();
  SOCKET ours, theirs;
  if (!loaded || !ws.Pair(ours, theirs)) return false;

  std::wstring line = W(lumiseek::QuoteWindowsArgument(*native_linux) + " " + kHandOffSwitch);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = reinterpret_cast<HANDLE>(theirs);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  std::fflush(stdout);
  bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
  ws.close(theirs);  // the native es holds the only other end: its end is this socket's end
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  std::optional<HandOffAnswer> answer;
  if (started) answer = Exchange(ws, ours, HandOffRequest(*args));
  if (!answer) {
    ws.close(ours);
    if (options.export_csv) RemoveFile(export_file);
    return false;
  }
  // The socket stays open until this process ends, after the export was moved into place: the native
  // es then removes what is left under the temporary name, which is nothing unless this process was
  // ended before the move.
  std::fwrite(answer->printed.data(), 1, answer->printed.size(), stdout);
  std::fflush(stdout);
  std::fwrite(answer->errors.data(), 1, answer->errors.size(), stderr);
  exit_code = answer->exit_code;
  return true;
}

}  // namespace es
