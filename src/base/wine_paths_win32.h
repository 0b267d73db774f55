// Wine's translation between Windows and Linux paths, exported by its kernel32 only: outside
// Wine the functions are missing and Present() is false. Used by the programs that hand work to
// Linux programs under Wine (the engine's hand-off to the native es, the espeak-ng voice).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lumiseek {

class WinePaths {
public:
    WinePaths() {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!kernel) return;
        unix_name_ = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
        dos_name_ = reinterpret_cast<DosNameFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
    }
    bool Present() const { return unix_name_ && dos_name_; }

    // The Linux path of a Windows one (its last part need not exist); nothing outside Wine.
    std::optional<std::string> ToLinux(const std::wstring& path) const {
        if (!unix_name_) return std::nullopt;
        char* name = unix_name_(path.c_str());
        if (!name) return std::nullopt;
        std::string out = name;
        HeapFree(GetProcessHeap(), 0, name);
        return out;
    }
    std::optional<std::wstring> ToWindows(const std::string& path) const {
        if (!dos_name_) return std::nullopt;
        wchar_t* name = dos_name_(path.c_str());
        if (!name) return std::nullopt;
        std::wstring out = name;
        HeapFree(GetProcessHeap(), 0, name);
        return out;
    }

private:
    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    using DosNameFn = wchar_t*(CDECL*)(const char*);
    UnixNameFn unix_name_ = nullptr;
    DosNameFn dos_name_ = nullptr;
};

inline bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace lumiseek
