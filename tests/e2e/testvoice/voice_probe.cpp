// A small console program that drives whatever class is registered as "SAPI.SpVoice", the same way
// lumiseek.exe does (CLSIDFromProgID + CoCreateInstance for ISpVoice). The end-to-end harness uses it
// to check the test voice and the Wine/Xvfb/xdotool plumbing without the real program.
//
//   voice_probe speak <flags> <text>   ISpVoice::Speak
//   voice_probe rawspeak <flags> <text> Speak through vtable slot 20, as SAPI's published layout has it
//   voice_probe rate <n>               ISpVoice::SetRate
//   voice_probe status                 ISpVoice::GetStatus; prints "status <running state>"
//   voice_probe wait                   GetStatus until the voice is done (60 s at most); prints
//                                      "waited <ms>"
//   voice_probe sleep <ms>             waits
//   voice_probe clock                  prints "clock <ms since 1970>" (the Linux clock, under Wine)
// A text starting with "@" is read from that file (UTF-8).
//   voice_probe window <title>         shows a window; every key press is spoken as "key <mods><vk>"
//                                      (mods "C-", "S-", "A-"); Esc speaks "bye" with flags 2 and exits
// Commands can be chained: voice_probe rate 3 speak 1 hello status
// Exit code 2 when no voice could be created, 3 on a bad command line.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

ISpVoice* g_voice = nullptr;
// {6C44DF74-72B9-4992-A1EC-EF996E0422D4}; MinGW's libuuid has no IID_ISpVoice.
const IID kISpVoice = {0x6c44df74, 0x72b9, 0x4992, {0xa1, 0xec, 0xef, 0x99, 0x6e, 0x04, 0x22, 0xd4}};

void SpeakKey(WPARAM vk) {
    std::wstring text = L"key ";
    if (GetKeyState(VK_CONTROL) < 0) text += L"C-";
    if (GetKeyState(VK_SHIFT) < 0) text += L"S-";
    if (GetKeyState(VK_MENU) < 0) text += L"A-";
    text += std::to_wstring(static_cast<unsigned>(vk));
    g_voice->Speak(text.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wp == VK_CONTROL || wp == VK_SHIFT || wp == VK_MENU) return 0;
        if (wp == VK_ESCAPE) {
            g_voice->Speak(L"bye", SPF_PURGEBEFORESPEAK, nullptr);
            DestroyWindow(hwnd);
            return 0;
        }
        SpeakKey(wp);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int RunWindow(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = CreateSolidBrush(RGB(0x00, 0x23, 0x7A));
    wc.lpszClassName = L"LumiseekVoiceProbe";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 100, 100, 640, 400, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!hwnd) return 4;
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}

// Speak called through the raw vtable: IUnknown (3) + ISpNotifySource (7) + ISpEventSource (3)
// + SetOutput .. GetVoice (7) puts Speak at slot 20.
HRESULT RawSpeak(ISpVoice* voice, const wchar_t* text, DWORD flags) {
    using SpeakFn = HRESULT(STDMETHODCALLTYPE*)(ISpVoice*, LPCWSTR, DWORD, ULONG*);
    void** vtable = *reinterpret_cast<void***>(voice);
    return reinterpret_cast<SpeakFn>(vtable[20])(voice, text, flags, nullptr);
}

std::wstring ReadText(const wchar_t* path) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return L"";
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD n = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(n), text.data(), static_cast<int>(text.size())));
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"SAPI.SpVoice", &clsid);
    if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, kISpVoice, reinterpret_cast<void**>(&g_voice));
    if (FAILED(hr) || !g_voice) {
        std::printf("no voice 0x%08lx\n", static_cast<unsigned long>(hr));
        return 2;
    }
    int rc = 0;
    for (int i = 1; i < argc && rc == 0; ++i) {
        std::wstring cmd = argv[i];
        if ((cmd == L"speak" || cmd == L"rawspeak") && i + 2 < argc) {
            DWORD flags = static_cast<DWORD>(std::wcstoul(argv[i + 1], nullptr, 10));
            std::wstring text = argv[i + 2][0] == L'@' ? ReadText(argv[i + 2] + 1) : argv[i + 2];
            hr = cmd == L"speak" ? g_voice->Speak(text.c_str(), flags, nullptr) : RawSpeak(g_voice, text.c_str(), flags);
            std::printf("%ls 0x%08lx\n", cmd.c_str(), static_cast<unsigned long>(hr));
            i += 2;
        } else if (cmd == L"rate" && i + 1 < argc) {
            hr = g_voice->SetRate(std::wcstol(argv[++i], nullptr, 10));
            std::printf("rate 0x%08lx\n", static_cast<unsigned long>(hr));
        } else if (cmd == L"status") {
            SPVOICESTATUS status{};
            hr = g_voice->GetStatus(&status, nullptr);
            std::printf("status %lu 0x%08lx\n", static_cast<unsigned long>(status.dwRunningState),
                        static_cast<unsigned long>(hr));
        } else if (cmd == L"wait") {
            ULONGLONG start = GetTickCount64();
            SPVOICESTATUS status{};
            do {
                Sleep(5);
                status = SPVOICESTATUS{};
                g_voice->GetStatus(&status, nullptr);
            } while (status.dwRunningState == SPRS_IS_SPEAKING && GetTickCount64() - start < 60000);
            std::printf("waited %llu\n", static_cast<unsigned long long>(GetTickCount64() - start));
        } else if (cmd == L"sleep" && i + 1 < argc) {
            Sleep(static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10)));
        } else if (cmd == L"clock") {
            FILETIME now;
            GetSystemTimePreciseAsFileTime(&now);
            ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
            std::printf("clock %.3f\n", (ticks - 116444736000000000ULL) / 10000.0);
        } else if (cmd == L"window" && i + 1 < argc) {
            rc = RunWindow(argv[++i]);
        } else {
            std::printf("bad command %ls\n", cmd.c_str());
            rc = 3;
        }
        std::fflush(stdout);
    }
    g_voice->Release();
    CoUninitialize();
    return rc;
}
