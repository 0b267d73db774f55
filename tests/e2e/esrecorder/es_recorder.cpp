// A stand-in for the search engine's command-line client in the end-to-end tests. Copied beside
// lumiseek.exe as es.exe, it records how it was called and answers with a prepared result file:
//   - appends its command line (everything after the program name, as CMD passed it) as one UTF-8 line
//     to es-args.txt in the current folder;
//   - copies es-results.txt from the current folder to the file named after -export-csv (or to
//     results.txt when there is no such argument); without es-results.txt it writes nothing;
//   - exits with the number in es-exitcode.txt when that file exists, else 0.
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

// The raw command line without the program name, which may be quoted.
std::wstring ArgumentsPart(const wchar_t* line) {
    const wchar_t* p = line;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

}  // namespace

int wmain(int, wchar_t**) {
    std::wstring args = ArgumentsPart(GetCommandLineW());
    HANDLE log = CreateFileW(L"es-args.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        std::string line = Utf8(args) + "\n";
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
    if (GetFileAttributesW(L"es-results.txt") != INVALID_FILE_ATTRIBUTES) CopyFileW(L"es-results.txt", target.c_str(), FALSE);

    int code = 0;
    if (FILE* f = _wfopen(L"es-exitcode.txt", L"r")) {
        if (std::fscanf(f, "%d", &code) != 1) code = 0;
        std::fclose(f);
    }
    return code;
}
