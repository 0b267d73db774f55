// The speaking voice for Lumiseek under Wine: a COM in-process server registered as the class
// behind "SAPI.SpVoice" (Wine's own voice speaks nothing) that speaks through the Linux program
// espeak-ng. It implements ISpVoice's Speak, GetStatus, SetRate, GetRate and WaitUntilDone;
// the other methods answer E_NOTIMPL.
//
// Utterances queue and are spoken one after another by a worker thread, one espeak-ng process
// each, started through /bin/sh (see espeak_speech.h): the shell reports the process id and the
// exit code in files, which the worker polls. A purge ends the running espeak-ng with kill and
// drops what waits. Without a sound device espeak-ng ends at once, so speech is then silent but
// never holds the program up.
//
// LUMISEEK_VOICE_WAV, a Linux folder: each utterance n of a voice goes to <folder>/<n>.wav
// instead of the sound device (for tests and measurements).
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/text.h"
#include "base/wide_win32.h"
#include "base/wine_paths_win32.h"
#include "espeak_speech.h"
#include "sp_voice_com_win32.h"

namespace {
using lumiseek::N;
using lumiseek::PathExists;
using lumiseek::W;
using lumiseek::WinePaths;

HMODULE g_module = nullptr;
std::atomic<long> g_voices{0};

std::string ReadSmallFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  char buffer[64];
  DWORD n = 0;
  if (!ReadFile(h, buffer, sizeof buffer, &n, nullptr)) n = 0;
  CloseHandle(h);
  return std::string(buffer, n);
}

bool WriteWholeFile(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size();
  CloseHandle(h);
  return ok;
}

// Starts a Linux command line; Wine gives back no handle to wait on.
bool StartLinux(const std::string& command_line) {
  std::wstring line = W(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  return true;
}

struct Utterance {
  ULONG stream = 0;
  std::string text;  // UTF-8
  int words_per_minute = 175;
};

class EspeakVoice final : public sp_voice::VoiceBase {
public:
  // A voice needs Wine and a folder of its own for the utterances' files; without them there is none.
  static EspeakVoice* Create() {
    WinePaths wine;
    if (!wine.Present()) return nullptr;
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return nullptr;
    std::wstring folder = std::wstring(temp, n) + L"lumiseek-voice-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++g_voices);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
    std::optional<std::string> linux_folder = wine.ToLinux(folder);
    if (!linux_folder) return nullptr;
    return new (std::nothrow) EspeakVoice(wine, folder, *linux_folder);
  }

  ~EspeakVoice() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
      DropWaiting();
      stop_running_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    RemoveDirectoryW(folder_.c_str());
  }

  // Purge: the running utterance is ended and the waiting ones dropped. Async: returns at
  // once; otherwise when this text has been spoken (or purged by a later call).
  HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG* stream) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (flags & SPF_PURGEBEFORESPEAK) {
      DropWaiting();
      if (speaking_) stop_running_ = true;
    }
    ULONG number = 0;
    if (text && *text) {
      number = ++streams_;
      queue_.push_back(Utterance{number, N(text), lumiseek::voice::WordsPerMinute(rate_)});
    }
    changed_.notify_all();
    if (stream) *stream = number;
    if (!(flags & SPF_ASYNC)) changed_.wait(lock, [&] { return finished_ >= number; });
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS* status, LPWSTR* bookmark) override {
    if (status) {
      std::lock_guard<std::mutex> lock(mutex_);
      ZeroMemory(status, sizeof(*status));
      status->ulCurrentStream = current_;
      status->ulLastStreamQueued = streams_;
      status->dwRunningState = (speaking_ || !queue_.empty()) ? SPRS_IS_SPEAKING : SPRS_DONE;
    }
    if (bookmark) *bookmark = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetRate(LONG rate) override {
    std::lock_guard<std::mutex> lock(mutex_);
    rate_ = std::clamp<LONG>(rate, -10, 10);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRate(LONG* rate) override {
    if (!rate) return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *rate = rate_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE WaitUntilDone(ULONG milliseconds) override {
    std::unique_lock<std::mutex> lock(mutex_);
    auto idle = [&] { return !speaking_ && queue_.empty(); };
    if (milliseconds == INFINITE) {
      changed_.wait(lock, idle);
      return S_OK;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), idle) ? S_OK : S_FALSE;
  }

private:
  EspeakVoice(const WinePaths& wine, std::wstring folder, std::string linux_folder)
      : wine_(wine), folder_(std::move(folder)), linux_folder_(std::move(linux_folder)) {
    wchar_t wav[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"LUMISEEK_VOICE_WAV", wav, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) wav_folder_ = N(std::wstring(wav, n));
    worker_ = std::thread([this] { Work(); });
  }

  // Called with the lock held: the waiting utterances count as finished.
  void DropWaiting() {
    if (!queue_.empty()) finished_ = std::max(finished_, queue_.back().stream);
    queue_.clear();
  }

  void Work() {
    for (;;) {
      Utterance next;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return;
        next = std::move(queue_.front());
        queue_.pop_front();
        speaking_ = true;
        stop_running_ = false;
        current_ = next.stream;
      }
      Say(next);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        speaking_ = false;
        finished_ = std::max(finished_, next.stream);
      }
      changed_.notify_all();
    }
  }

  bool StopRequested() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stop_running_;
  }

  // Speaks one utterance and returns when espeak-ng has ended.
  void Say(const Utterance& utterance) {
    std::wstring base = folder_ + L"\\" + std::to_wstring(utterance.stream);
    std::wstring text_file = base + L".txt", pid_file = base + L".pid", code_file = base + L".rc";
    std::string wav;
    if (!wav_folder_.empty()) wav = wav_folder_ + "/" + std::to_string(utterance.stream) + ".wav";
    if (WriteWholeFile(text_file, utterance.text) &&
        StartLinux(lumiseek::voice::SpeechCommandLine(linux_folder_, utterance.stream, utterance.words_per_minute,
                                                      wav))) {
      bool stopped = false;
      std::optional<std::wstring> process;  // espeak-ng's folder under /proc, once known
      for (unsigned tick = 1; !PathExists(code_file); ++tick) {
        if (!process || (stopped == false && StopRequested())) {
          std::string pid = lumiseek::TrimSpaces(ReadSmallFile(pid_file));
          while (!pid.empty() && (pid.back() == '\n' || pid.back() == '\r')) pid.pop_back();
          if (!pid.empty() && pid.find_first_not_of("0123456789") == std::string::npos) {
            if (!process) process = wine_.ToWindows("/proc/" + pid);
            if (!stopped && StopRequested()) {
              stopped = true;
              StartLinux("/bin/kill -TERM " + pid);
            }
          }
        }
        // A shell ended from outside leaves no exit code: stop waiting once espeak-ng is gone.
        if (process && tick % 200 == 0 && !PathExists(*process) && !PathExists(code_file)) break;
        if (tick > 5000 && !process) break;  // the shell never started espeak-ng
        Sleep(2);
      }
    }
    for (const std::wstring& file : {text_file, pid_file, code_file}) DeleteFileW(file.c_str());
  }

  WinePaths wine_;
  std::wstring folder_;
  std::string linux_folder_;
  std::string wav_folder_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Utterance> queue_;
  LONG rate_ = 0;
  ULONG streams_ = 0;   // the last stream number handed out
  ULONG current_ = 0;   // the stream being spoken or spoken last
  ULONG finished_ = 0;  // every stream up to this one is spoken or dropped
  bool speaking_ = false;
  bool stop_running_ = false;
  bool closing_ = false;
  std::thread worker_;
};

}  // namespace

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  return sp_voice::GetClassObject<EspeakVoice>(clsid, riid, out);
}

HRESULT WINAPI DllCanUnloadNow() { return sp_voice::CanUnloadNow(); }

}  // extern "C"
