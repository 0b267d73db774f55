// A stand-in for the programs Lumiseek starts or the shell starts for it (a file type's viewer, the
// folder browser, Everything, Magnor) in the end-to-end tests: appends its whole command line, as
// GetCommandLineW gives it, as one UTF-8 line to a file beside itself named like it with ".log"
// (viewer.exe -> viewer.log), and ends. A windows program: a console one would get a console
// of its own, which takes the keyboard away from Lumiseek.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring log(32768, L'\0');
    log.resize(GetModuleFileNameW(nullptr, log.data(), static_cast<DWORD>(log.size())));
    size_t dot = log.find_last_of(L'.');
    log = log.substr(0, dot) + L".log";

    std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), n, nullptr, nullptr);
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
