// start_lumiseek.exe: the restarter. Lumiseek starts it by its full path as it ends after an
// update, with its own process id as the only argument. It waits until that process has ended (at
// most kOldProgramBound, so a program that hangs on its way out cannot keep the new one from
// starting), then starts lumiseek.exe from its own folder. When that cannot be started, or ends
// within kStartBound with a failure code, it puts lumiseek.old back as lumiseek.exe, starts that,
// and says what happened in a line of update.log beside it, which the next start of Lumiseek reports.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "actions/update.h"

namespace {

constexpr DWORD kOldProgramBound = 30000;  // milliseconds
constexpr DWORD kStartBound = 10000;

std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool Start(const std::wstring& program, const std::wstring& folder, PROCESS_INFORMATION& pi) {
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    return CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                          &pi) != FALSE;
}

// True when the program started and did not end with a failure code within kStartBound. `failure`
// tells what went wrong otherwise.
bool StartsAndRuns(const std::wstring& program, const std::wstring& folder, std::string& failure) {
    PROCESS_INFORMATION pi{};
    char text[96];
    if (!Start(program, folder, pi)) {
        snprintf(text, sizeof(text), "could not be started (error %lu)", GetLastError());
        failure = text;
        return false;
    }
    CloseHandle(pi.hThread);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(pi.hProcess, kStartBound) == WAIT_OBJECT_0;
    const bool failed = ended && GetExitCodeProcess(pi.hProcess, &code) && code != 0;
    CloseHandle(pi.hProcess);
    snprintf(text, sizeof(text), "ended at once with exit code %lu (0x%lX)", code, code);
    failure = text;
    return !failed;
}

void AppendLine(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    DWORD id = static_cast<DWORD>(std::wcstoul(arguments, nullptr, 10));
    // A process that has ended already cannot be opened: there is nothing to wait for.
    if (HANDLE process = id != 0 ? OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr) {
        WaitForSingleObject(process, kOldProgramBound);
        CloseHandle(process);
    }
    const std::wstring folder = OwnFolder();
    const std::wstring program = folder + L"lumiseek.exe";
    const std::wstring previous = folder + L"lumiseek.old";
    const std::string logName = lumiseek::kUpdateLog;  // plain ASCII
    const std::wstring log = folder + std::wstring(logName.begin(), logName.end());
    std::string failure;
    if (StartsAndRuns(program, folder, failure)) return 0;

    // The new program cannot run: the previous one goes back in its place and is started.
    if (!MoveFileExW(previous.c_str(), program.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        AppendLine(log, "Not restored " + Now() + ": the new lumiseek.exe " + failure +
                            "; lumiseek.old could not be put back (error " + std::to_string(GetLastError()) + ")");
        return 1;
    }
    AppendLine(log, std::string(lumiseek::kRestoredMark) + " " + Now() + ": the new lumiseek.exe " + failure +
                        "; lumiseek.old was put back as lumiseek.exe");
    PROCESS_INFORMATION pi{};
    if (!Start(program, folder, pi)) return 1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
