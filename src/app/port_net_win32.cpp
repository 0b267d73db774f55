#include "app/port_win32.h"

#include <winhttp.h>

#include <atomic>
#include <cwchar>
#include <memory>
#include <vector>

#include "base/wide_win32.h"

// From wininet.h, which cannot be included together with winhttp.h.
extern "C" __declspec(dllimport) BOOL WINAPI DeleteUrlCacheEntryW(LPCWSTR url);

namespace lumiseek {

namespace {

// Each connection step and each read ends after this long without an answer, so that a worker
// the window stopped waiting for still ends by itself.
constexpr DWORD kNetworkTimeoutMs = 30000;
// How often the watcher is asked while the download runs.
constexpr DWORD kWatchEveryMs = 1000;

// One download, shared by the window's thread and the worker that fetches it. The window's thread
// may stop waiting (Esc, a stall) while the worker is inside a read: the worker then finishes on its
// own, holding its reference, and deletes the partial file.
struct DownloadJob {
    std::wstring url;
    std::wstring path;
    uint64_t maxBytes = 0;
    std::atomic<uint64_t> received{0};
    std::atomic<uint64_t> total{0};
    std::atomic<bool> stop{false};
    std::atomic<DownloadEnd> end{DownloadEnd::Failed};
};

// Closes a WinHTTP handle when it goes out of scope.
struct NetHandle {
    HINTERNET h = nullptr;
    explicit NetHandle(HINTERNET handle) : h(handle) {}
    ~NetHandle() {
        if (h != nullptr) WinHttpCloseHandle(h);
    }
    NetHandle(const NetHandle&) = delete;
    NetHandle& operator=(const NetHandle&) = delete;
};

// The proxy the user set for the Internet options, if any; otherwise WinHTTP's own setting.
void UseUserProxy(HINTERNET session) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return;
    if (config.lpszProxy != nullptr) {
        WINHTTP_PROXY_INFO proxy{WINHTTP_ACCESS_TYPE_NAMED_PROXY, config.lpszProxy, config.lpszProxyBypass};
        WinHttpSetOption(session, WINHTTP_OPTION_PROXY, &proxy, sizeof(proxy));
    }
    for (LPWSTR text : {config.lpszAutoConfigUrl, config.lpszProxy, config.lpszProxyBypass})
        if (text != nullptr) GlobalFree(text);
}

// The Content-Length the server announced; 0 when none.
uint64_t AnnouncedSize(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return 0;
    uint64_t value = 0;
    for (const wchar_t* c = text; *c >= L'0' && *c <= L'9'; ++c) {
        if (value > UINT64_MAX / 10 - 9) return UINT64_MAX;
        value = value * 10 + static_cast<uint64_t>(*c - L'0');
    }
    return value;
}

// The body of a 200 OK answer into the job's file, at most maxBytes of it.
DownloadEnd Receive(DownloadJob& job, HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
        status != 200)
        return DownloadEnd::Failed;
    const uint64_t total = AnnouncedSize(request);
    job.total = total;
    if (total > job.maxBytes) return DownloadEnd::TooLarge;
    HANDLE file = CreateFileW(job.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return DownloadEnd::Failed;
    std::vector<char> buffer(1 << 16);
    DownloadEnd end = DownloadEnd::Finished;
    while (true) {
        if (job.stop) {
            end = DownloadEnd::Cancelled;
            break;
        }
        DWORD got = 0;
        if (!WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
            end = DownloadEnd::Failed;
            break;
        }
        if (got == 0) break;
        const uint64_t received = job.received + got;
        if (received > job.maxBytes) {
            end = DownloadEnd::TooLarge;
            break;
        }
        DWORD written = 0;
        if (!WriteFile(file, buffer.data(), got, &written, nullptr) || written != got) {
            end = DownloadEnd::Failed;
            break;
        }
        job.received = received;
    }
    // A connection that closed early is a broken file, not a short one.
    if (end == DownloadEnd::Finished && total != 0 && job.received != total) end = DownloadEnd::Failed;
    CloseHandle(file);
    if (end != DownloadEnd::Finished) DeleteFileW(job.path.c_str());
    return end;
}

DownloadEnd Fetch(DownloadJob& job) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(job.url.c_str(), 0, 0, &parts) || parts.lpszHostName == nullptr) return DownloadEnd::Failed;
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object = parts.lpszUrlPath != nullptr ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : L"/";
    if (parts.lpszExtraInfo != nullptr) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    NetHandle session(WinHttpOpen(L"Lumiseek", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0));
    if (session.h == nullptr) return DownloadEnd::Failed;
    UseUserProxy(session.h);
    const int t = static_cast<int>(kNetworkTimeoutMs);
    WinHttpSetTimeouts(session.h, t, t, t, t);
    NetHandle connection(WinHttpConnect(session.h, host.c_str(), parts.nPort, 0));
    if (connection.h == nullptr) return DownloadEnd::Failed;
    const DWORD flags = WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    NetHandle request(WinHttpOpenRequest(connection.h, L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (request.h == nullptr) return DownloadEnd::Failed;
    if (!WinHttpSendRequest(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.h, nullptr))
        return job.stop ? DownloadEnd::Cancelled : DownloadEnd::Failed;
    return Receive(job, request.h);
}

DWORD WINAPI DownloadThread(void* parameter) {
    std::unique_ptr<std::shared_ptr<DownloadJob>> hold(static_cast<std::shared_ptr<DownloadJob>*>(parameter));
    DownloadJob& job = **hold;
    job.end = Fetch(job);
    return 0;
}

std::wstring FullPath(const std::wstring& name) {
    DWORD n = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0) return name;
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(name.c_str(), n, full.data(), nullptr));
    return full;
}

}  // namespace

DownloadEnd Win32Port::Download(const std::string& address, const std::string& path, uint64_t maxBytes,
                                 const DownloadWatch& watch) {
    auto job = std::make_shared<DownloadJob>();
    job->url = W(address);
    job->path = FullPath(W(path));
    job->maxBytes = maxBytes;
    // An older copy of this address in the Internet cache (Internet Explorer's, or an earlier
    // version's download) goes; this download keeps none.
    DeleteUrlCacheEntryW(job->url.c_str());
    auto* hold = new std::shared_ptr<DownloadJob>(job);
    HANDLE thread = CreateThread(nullptr, 0, DownloadThread, hold, 0, nullptr);
    if (thread == nullptr) {
        delete hold;
        return DownloadEnd::Failed;
    }
    const ULONGLONG start = GetTickCount64();
    ULONGLONG lastByte = start;
    uint64_t seen = 0;
    DownloadEnd end = DownloadEnd::Failed;
    while (true) {
        WaitEnd waited = WaitAnswering(hwnd, thread, kWatchEveryMs);
        if (waited == WaitEnd::Signalled) {
            end = job->end;
            break;
        }
        if (waited == WaitEnd::Cancelled) {
            job->stop = true;
            end = DownloadEnd::Cancelled;
            break;
        }
        const ULONGLONG now = GetTickCount64();
        const uint64_t received = job->received;
        if (received != seen) seen = received, lastByte = now;
        DownloadProgress progress{received, job->total, static_cast<int64_t>(now - start),
                                  static_cast<int64_t>(now - lastByte)};
        if (!watch(progress)) {
            job->stop = true;
            end = DownloadEnd::Stalled;
            break;
        }
    }
    // A worker still inside a read is not waited for: it deletes its file itself when the read ends.
    CloseHandle(thread);
    if (end != DownloadEnd::Finished) DeleteFileW(job->path.c_str());
    DeleteUrlCacheEntryW(job->url.c_str());
    return end;
}

std::optional<ProgramVersion> Win32Port::VersionOf(const std::string& path) {
    const std::wstring name = W(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(name.c_str(), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD)
        return std::nullopt;
    ProgramVersion version;
    version.number = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                      HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    struct Language {
        WORD language, codePage;
    }* languages = nullptr;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&languages), &length) &&
        languages != nullptr && length >= sizeof(Language)) {
        wchar_t key[64];
        swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\OriginalFilename", languages[0].language,
                 languages[0].codePage);
        wchar_t* text = nullptr;
        if (VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&text), &length) && text != nullptr)
            version.originalName = N(std::wstring(text, wcsnlen(text, length)));
    }
    return version;
}

bool Win32Port::VerifySignature(const std::string& publicKey, const std::string& data,
                                const std::string& signature) {
    return VerifyEcdsaP256(publicKey, data, signature);
}

}  // namespace lumiseek
