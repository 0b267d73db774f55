#include "app/port_win32.h"

#include <urlmon.h>
#include <wininet.h>

#include "base/wide_win32.h"

namespace lumiseek {

bool Win32Port::Download(const std::string& address, const std::string& path) {
    std::wstring url = W(address);
    std::wstring name = W(path);
    DeleteUrlCacheEntryW(url.c_str());
    DWORD n = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0) return false;
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(name.c_str(), n, full.data(), nullptr));
    return URLDownloadToFileW(nullptr, url.c_str(), full.c_str(), 0, nullptr) == S_OK;
}

bool Win32Port::VerifySignature(const std::string& publicKey, const std::string& data,
                                const std::string& signature) {
    return VerifyEcdsaP256(publicKey, data, signature);
}

}  // namespace lumiseek
