// A Windows program for bench/wine_search_bench.py: runs a program N times the way Lumiseek runs
// es.exe (CreateProcessW with the path as application name, without a console, waited for) and
// prints the time of each run in milliseconds, from the call to the end of the wait.
//   es_run_timer.exe N PROGRAM ARGUMENTS
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: es_run_timer N PROGRAM ARGUMENTS\n", stderr);
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    const std::wstring program = argv[2];
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < runs; ++i) {
        std::wstring line = L"\"" + program + L"\" " + argv[3];
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION info{};
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                            &startup, &info)) {
            std::fprintf(stderr, "could not start the program: error %lu\n", GetLastError());
            return 1;
        }
        WaitForSingleObject(info.hProcess, INFINITE);
        QueryPerformanceCounter(&end);
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        if (code != 0) {
            std::fprintf(stderr, "the program ended with exit code %lu\n", code);
            return 1;
        }
        std::printf("%.1f\n", 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    return 0;
}
