// A stand-in for the search engine's command-line client in the end-to-end tests. Copied beside
// lumiseek.exe as es.exe, it records how it was called and answers with a prepared result file:
//   - appends its whole command line, exactly as GetCommandLineW gives it (program name included), as
//     one UTF-8 line to es-args.txt in the current folder;
//   - writes the bytes of es-results.txt from the current folder anew to the file named after
//     -export-csv (or to results.txt when there is no such argument), so that the file is as freshly
//     written as the engine writes it; without es-results.txt it writes nothing;
//   - exits with the number in es-exitcode.txt when that file exists, else 0;
//   - with es-stall.txt present, first starts a copy of itself with the one argument --stalled-child
//     (which only sleeps) and then sleeps for good itself: a stalled engine with a process of its own.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Copies a file's bytes into a file written anew (CopyFileW would keep the source's write time).
void WriteCopy(const wchar_t* from, const wchar_t* to) {
    HANDLE in = CreateFileW(from, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return;
    HANDLE out = CreateFileW(to, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        char buffer[1 << 16];
        DWORD got = 0, written = 0;
        while (ReadFile(in, buffer, sizeof(buffer), &got, nullptr) && got > 0) WriteFile(out, buffer, got, &written, nullptr);
        CloseHandle(out);
    }
    CloseHandle(in);
}

}  // namespace

int wmain(int argc0, wchar_t** argv0) {
    if (argc0 == 2 && lstrcmpW(argv0[1], L"--stalled-child") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    std::wstring commandLine = GetCommandLineW();
    HANDLE log = CreateFileW(L"es-args.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        std::string line = Utf8(commandLine) + "\n";
        DWORD written = 0;
        WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(log);
    }

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring target = L"results.txt";
    for (int i = 1; argv && i + 1 < argc; ++i) {
        if (lstrcmpiW(argv[i], L"-export-csv") == 0) target = argv[i + 1];
    }
    if (argv) LocalFree(argv);
    if (GetFileAttributesW(L"es-stall.txt") != INVALID_FILE_ATTRIBUTES) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(self) + L"\" --stalled-child";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        Sleep(INFINITE);
    }
    WriteCopy(L"es-results.txt", target.c_str());

    int code = 0;
    if (FILE* f = _wfopen(L"es-exitcode.txt", L"r")) {
        if (std::fscanf(f, "%d", &code) != 1) code = 0;
        std::fclose(f);
    }
    return code;
}
