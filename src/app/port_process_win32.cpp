#include "app/port_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "base/wide_win32.h"

namespace lumiseek {

// --- processes and the shell ---

namespace {
// Starts a process: `application` is the program's path (null: the first word of the command
// line names it), `line` the whole command line.
bool CreateWithShow(const wchar_t* application, std::wstring line, WORD show, DWORD flags, PROCESS_INFORMATION& pi) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    return CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS | flags, nullptr,
                          nullptr, &si, &pi) != FALSE;
}
}  // namespace

std::optional<std::string> Win32Port::FindProgram(const std::string& name) {
    std::wstring wanted = W(name);
    std::wstring beside = ModuleFolder() + wanted;
    DWORD attributes = GetFileAttributesW(beside.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return N(beside);

    // Along PATH only: not the current folder, not the system folders.
    std::optional<std::string> pathVariable = EnvironmentVariable("PATH");
    if (!pathVariable) return std::nullopt;
    std::wstring path = W(*pathVariable);
    std::wstring found(MAX_PATH, L'\0');
    while (true) {
        DWORD n = SearchPathW(path.c_str(), wanted.c_str(), nullptr, static_cast<DWORD>(found.size()), found.data(),
                              nullptr);
        if (n == 0) return std::nullopt;
        if (n < found.size()) {
            found.resize(n);
            return N(found);
        }
        found.resize(n);
    }
}

// es runs in a job of its own, so that cancelling ends it and every process it started. The
// job is made to end them also when Lumiseek itself ends while es still runs. A process es starts
// out of the job on purpose (its index service, which outlives the search) may leave it.
RunResult Win32Port::RunHidden(const std::string& program, const std::string& arguments) {
    std::wstring application = W(program);
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }
    PROCESS_INFORMATION pi{};
    // Without a console: es writes its rows to a file, and a hidden console would be one more
    // process to start for every search (about 20 ms under Wine).
    if (!CreateWithShow(application.c_str(), L"\"" + application + L"\" " + W(arguments), SW_HIDE,
                        DETACHED_PROCESS | CREATE_SUSPENDED, pi)) {
        if (job != nullptr) CloseHandle(job);
        return {false, 0};
    }
    bool inJob = job != nullptr && AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    RunResult result{true, 0};
    if (WaitAnswering(hwnd, pi.hProcess, INFINITE) == WaitEnd::Cancelled) {
        result.cancelled = true;
        if (!inJob || !TerminateJobObject(job, 1)) TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        result.exitCode = code;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (job != nullptr) CloseHandle(job);
    return result;
}

bool Win32Port::StartProgram(const std::string& path) {
    PROCESS_INFORMATION pi{};
    if (!CreateWithShow(nullptr, W(path), SW_SHOWNORMAL, 0, pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

namespace {
// A path of MAX_PATH or more is handed over in its short form, which programs that take no long
// paths (the shell's own folder window among them) can open; empty when it cannot be reached.
std::wstring OpenablePath(const std::wstring& path) {
    bool onDrive = path.size() > 2 && path[1] == L':';
    if (path.size() < MAX_PATH || !onDrive) return path;
    std::wstring longForm = L"\\\\?\\" + path;
    DWORD n = GetShortPathNameW(longForm.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring shortForm(n, L'\0');
    n = GetShortPathNameW(longForm.c_str(), shortForm.data(), n);
    shortForm.resize(n);
    if (shortForm.rfind(L"\\\\?\\", 0) == 0) shortForm.erase(0, 4);
    return shortForm;
}
}  // namespace

bool Win32Port::ShellOpen(const std::string& target) {
    std::wstring path = OpenablePath(W(target));
    if (path.empty()) return false;
    HINSTANCE result = ShellExecuteW(nullptr, L"open", path.c_str(), L"", L"", SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> Win32Port::AssociatedProgram(const std::string& extension) {
    wchar_t name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_FRIENDLYAPPNAME, W(extension).c_str(), nullptr, name,
                          &size) != S_OK)
        return std::nullopt;
    // Wine leaves `size` as it was: the name ends at its terminating zero.
    name[MAX_PATH - 1] = L'\0';
    return N(name);
}

int Win32Port::ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

// An empty variable counts as none.
std::optional<std::string> Win32Port::EnvironmentVariable(const std::string& name) {
    std::wstring key = W(name);
    DWORD n = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (n <= 1) return std::nullopt;
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(key.c_str(), value.data(), n));
    return N(value);
}

std::string Win32Port::ExpandEnvironment(const std::string& text) {
    std::wstring in = W(text);
    DWORD n = ExpandEnvironmentStringsW(in.c_str(), nullptr, 0);
    if (n == 0) return text;
    std::wstring out(n, L'\0');
    n = ExpandEnvironmentStringsW(in.c_str(), out.data(), n);
    out.resize(n > 0 ? n - 1 : 0);
    return N(out);
}

// --- time and errors ---

int64_t Win32Port::Counter() {
    LARGE_INTEGER v{};
    QueryPerformanceCounter(&v);
    return v.QuadPart;
}

int64_t Win32Port::CounterFrequency() {
    LARGE_INTEGER v{};
    QueryPerformanceFrequency(&v);
    return v.QuadPart;
}

bool Win32Port::AskContinueAfterError(const std::string& message) {
    return MessageBoxW(hwnd, W(message).c_str(), L"Lumiseek", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

void Win32Port::ExitProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace lumiseek
