// Under Wine, the search goes to the native es beside this program when there is one: Wine's file
// functions cost about a hundred times what the Linux calls do. Wine's kernel32 exports the
// translation between Windows and Linux paths; a Windows program gets no handle for a Linux
// process, so /bin/sh records the process id and the exit code in files that are polled (the
// exit code counts once its line has ended: no extra program to move the file into place).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "base/wide_win32.h"
#include "base/wine_paths_win32.h"
#include "handoff.h"
#include "run.h"
#include "search.h"
#include "walk.h"

namespace es {

namespace {

using lumiseek::PathExists;
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

// Waits for the shell's exit code; nothing when the shell is gone without leaving one.
std::optional<int> WaitForExitCode(const WinePaths& wine, const std::string& status) {
  std::optional<std::wstring> code_file = wine.ToWindows(status);
  std::optional<std::wstring> pid_file = wine.ToWindows(status + ".pid");
  if (!code_file || !pid_file) return std::nullopt;
  const auto exit_code = [&]() -> std::optional<int> {
    std::string text;
    if (!PathExists(*code_file) || !ReadWholeFile(lumiseek::N(*code_file), text)) return std::nullopt;
    return ReadExitCode(text);
  };
  std::optional<std::wstring> process;
  for (unsigned ticks = 1;; ++ticks) {
    if (std::optional<int> code = exit_code()) return code;
    // Now and then: is the shell still there? (It may have been ended from outside.)
    if (ticks % 256 == 0) {
      std::string text;
      if (!process && ReadWholeFile(lumiseek::N(*pid_file), text) && ReadExitCode(text)) {
        process = wine.ToWindows("/proc/" + std::to_string(*ReadExitCode(text)));
      }
      if (process && !PathExists(*process)) return exit_code();
    }
    Sleep(1);
  }
}

}  // namespace

bool HandOffToNativeEs(const Options& options, const std::vector<std::string>& roots, int& exit_code) {
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
    std::optional<std::string> path = wine.ToLinux(FullPath(options.export_file));
    if (!path) return false;
    linux_export = *path;
  }
  std::optional<std::vector<std::string>> args = NativeEsArguments(options, linux_roots, roots, linux_export);
  if (!args) return false;

  wchar_t temp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return false;
  std::string status_windows = lumiseek::N(std::wstring(temp, n)) + "lumiseek-es-" +
                               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + ".status";
  std::optional<std::string> status = wine.ToLinux(W(status_windows));
  if (!status) return false;

  std::wstring line = W(ShellCommandLine(*status, *native_linux, *args));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  std::fflush(stdout);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) return false;
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);

  std::optional<int> code = WaitForExitCode(wine, *status);
  for (const char* suffix : {"", ".pid"}) DeleteFileW(W(status_windows + suffix).c_str());
  if (!code) return false;
  exit_code = *code;
  return true;
}

}  // namespace es
