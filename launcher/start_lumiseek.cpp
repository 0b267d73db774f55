// start_lumiseek.exe: the restarter. Lumiseek starts it as it ends after an update, with its own
// process id as the only argument. It waits until that process has ended (at most kWaitBound, so a
// program that hangs on its way out cannot keep the new one from starting), then starts
// lumiseek.exe from its own folder, and exits.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kWaitBound = 30000;  // milliseconds

std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    DWORD id = static_cast<DWORD>(std::wcstoul(arguments, nullptr, 10));
    // A process that has ended already cannot be opened: there is nothing to wait for.
    if (HANDLE process = id != 0 ? OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr) {
        WaitForSingleObject(process, kWaitBound);
        CloseHandle(process);
    }
    std::wstring folder = OwnFolder();
    std::wstring program = folder + L"lumiseek.exe";
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        return 1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
