// The test voice: a COM in-process server that stands in for the Windows speech voice in the
// end-to-end tests. It is registered in the test Wine prefix as the class behind "SAPI.SpVoice"
// and implements ISpVoice's Speak, GetStatus and SetRate; every other method answers E_NOTIMPL,
// which is also how Wine's own voice answers, so the program must cope with that anyway.
//
// Every Speak and SetRate call appends one UTF-8 line to the voice log:
//     <flags>\t<text>      e.g. "3\tSpeech is Enabled"
//     rate\t<n>            e.g. "rate\t-3"
// A carriage return or line feed inside a spoken text is written as U+240D / U+240A, so one call
// stays one line. The log is the Windows path in the environment variable LUMISEEK_VOICE_LOG, or
// "voice.log" beside this DLL when the variable is not set.
//
// GetStatus reports SPRS_IS_SPEAKING (2) while a file "speaking.flag" exists in the log's folder and
// SPRS_DONE (1) otherwise, so a test decides whether the voice is busy.
#include "sp_voice_com_win32.h"

#include <atomic>
#include <cstdio>
#include <new>
#include <string>

namespace {

HMODULE g_module = nullptr;
CRITICAL_SECTION g_log_lock;

std::wstring LogPath() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"LUMISEEK_VOICE_LOG", buf, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) return std::wstring(buf, n);
    n = GetModuleFileNameW(g_module, buf, MAX_PATH * 2);
    std::wstring path(buf, n);
    size_t slash = path.find_last_of(L"\\/");
    path = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    return path + L"voice.log";
}

std::wstring FlagPath() {
    std::wstring log = LogPath();
    size_t slash = log.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : log.substr(0, slash + 1)) + L"speaking.flag";
}

std::string Utf8(const wchar_t* text) {
    if (!text || !*text) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

void AppendLine(const std::string& line) {
    EnterCriticalSection(&g_log_lock);
    HANDLE h = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        std::string data = line + "\n";
        DWORD written = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(h);
    }
    LeaveCriticalSection(&g_log_lock);
}

class TestVoice final : public sp_voice::VoiceBase {
public:
    static TestVoice* Create() { return new (std::nothrow) TestVoice(); }

    HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG* stream) override {
        std::string line = std::to_string(flags) + "\t";
        for (char c : Utf8(text)) {
            if (c == '\r') line += "\xE2\x90\x8D";       // U+240D
            else if (c == '\n') line += "\xE2\x90\x8A";  // U+240A
            else line += c;
        }
        AppendLine(line);
        if (stream) *stream = static_cast<ULONG>(++streams_);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS* status, LPWSTR* bookmark) override {
        if (status) {
            ZeroMemory(status, sizeof(*status));
            status->ulCurrentStream = static_cast<ULONG>(streams_);
            status->ulLastStreamQueued = static_cast<ULONG>(streams_);
            bool speaking = GetFileAttributesW(FlagPath().c_str()) != INVALID_FILE_ATTRIBUTES;
            status->dwRunningState = speaking ? SPRS_IS_SPEAKING : SPRS_DONE;
        }
        if (bookmark) *bookmark = nullptr;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetRate(LONG rate) override {
        AppendLine("rate\t" + std::to_string(rate));
        return S_OK;
    }

private:
    std::atomic<long> streams_{0};
};

}  // namespace

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        InitializeCriticalSection(&g_log_lock);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_log_lock);
    }
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    return sp_voice::GetClassObject<TestVoice>(clsid, riid, out);
}

HRESULT WINAPI DllCanUnloadNow() { return sp_voice::CanUnloadNow(); }

}  // extern "C"
