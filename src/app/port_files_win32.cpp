#include "app/port_win32.h"

#include <cstdint>

#include "base/wide_win32.h"

namespace lumiseek {

// --- files ---

bool Win32Port::FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(W(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Port::ReadFileBytes(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[1 << 16];
    DWORD got = 0;
    bool ok = true;
    while (true) {
        if (!::ReadFile(file, buffer, sizeof(buffer), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return ok;
}

bool Win32Port::ReadFilePart(const std::string& path, uint64_t offset, size_t count, std::string& bytes) {
    HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.resize(count);
    size_t got = 0;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
    while (ok && got < count) {
        DWORD n = 0;
        DWORD want = count - got > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count - got);
        ok = ::ReadFile(file, bytes.data() + got, want, &n, nullptr) != FALSE;
        if (n == 0) break;
        got += n;
    }
    CloseHandle(file);
    bytes.resize(ok ? got : 0);
    return ok;
}

bool Win32Port::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    std::wstring target = W(path);
    std::wstring temporary = target + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok) ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool Win32Port::RemoveFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != FALSE; }

bool Win32Port::RenameFile(const std::string& from, const std::string& to) {
    return MoveFileW(W(from).c_str(), W(to).c_str()) != FALSE;
}

std::optional<FileStamp> Win32Port::FileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    FileStamp stamp;
    stamp.writeTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    stamp.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return stamp;
}

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}

std::wstring ModuleFolder() {
    std::wstring path = ModulePath();
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::string Win32Port::ProgramFolder() { return N(ModuleFolder()); }

std::string Win32Port::SettingsPath() {
    std::wstring path = ModulePath();
    size_t slash = path.find_last_of(L"\\/");
    size_t dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.resize(dot);
    return N(path + L".ini");
}

std::string Win32Port::AnsiToUtf8(const std::string& bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return N(wide);
}

}  // namespace lumiseek
