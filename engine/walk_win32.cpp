// Folder reading on Windows: FindFirstFileExW with the basic information level and large
// fetches; paths get the \\?\ prefix so that their length does not matter. Under Wine, folders are
// read with the standard level, whose short names open the Linux names Wine shows but refuses.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <optional>

#include "base/wide_win32.h"
#include "base/wine_paths_win32.h"
#include "walk.h"

namespace es {

namespace {

using lumiseek::W;

// A name straight from the folder reader, converted without a copy of its UTF-16 text.
std::string Narrow(const wchar_t* text, size_t length) {
  return lumiseek::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

const lumiseek::WinePaths& Wine() {
  static const lumiseek::WinePaths wine;
  return wine;
}

constexpr wchar_t kUnixPrefix[] = L"\\\\?\\unix\\";

// A name Wine lists but refuses in a path: it holds a character Windows names cannot hold.
bool RefusedName(const wchar_t* name) {
  for (; *name; ++name) {
    if (*name < 0x20 || wcschr(L"\"*<>?|", *name)) return true;
  }
  return false;
}

// The path in Wine's \\?\unix\ form, which takes any Linux name: the part before the first refused
// name translated by Wine, the rest as it is. Empty when the first part has no Linux path.
std::wstring UnixForm(const std::string& path) {
  std::wstring wide = W(path);
  if (wide.rfind(L"\\\\?\\", 0) == 0) wide.erase(0, 4);
  size_t cut = 0;
  for (size_t start = 0; start <= wide.size();) {
    size_t end = wide.find(L'\\', start);
    if (end == std::wstring::npos) end = wide.size();
    if (RefusedName(wide.substr(start, end - start).c_str())) {
      cut = start;
      break;
    }
    start = end + 1;
  }
  if (cut == 0) return {};
  std::optional<std::string> linux_head = Wine().ToLinux(wide.substr(0, cut - 1));
  if (!linux_head) return {};
  std::wstring unix_path = W(*linux_head);
  for (wchar_t& c : unix_path) {
    if (c == L'/') c = L'\\';
  }
  while (!unix_path.empty() && unix_path[0] == L'\\') unix_path.erase(0, 1);
  return kUnixPrefix + unix_path + L'\\' + wide.substr(cut);
}

// The extended-length form of a full path; other paths come back as they are.
std::wstring LongPath(const std::string& path) {
  std::wstring p = W(path);
  if (p.rfind(L"\\\\?\\", 0) == 0) return p;
  if (p.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + p.substr(2);
  if (p.size() >= 3 && p[1] == L':' && p[2] == L'\\') return L"\\\\?\\" + p;
  return p;
}

}  // namespace

struct FolderReader::Impl {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool pending = false;  // data holds an entry that Next has not handed out yet
  bool unix_form = false;  // the folder was opened by its \\?\unix\ path: names are taken as they are
  std::string name;
  std::string open_name;
};

FolderReader::FolderReader() : impl_(std::make_unique<Impl>()) {}
FolderReader::~FolderReader() { Close(); }

bool FolderReader::Open(const std::string& path) {
  Close();
  std::wstring pattern = LongPath(path);
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  Impl& r = *impl_;
  const FINDEX_INFO_LEVELS level = Wine().Present() ? FindExInfoStandard : FindExInfoBasic;
  r.unix_form = pattern.rfind(kUnixPrefix, 0) == 0;
  r.find = FindFirstFileExW(pattern.c_str(), level, &r.data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (r.find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_NAME && Wine().Present() && !r.unix_form) {
    pattern = UnixForm(path);
    if (!pattern.empty()) {
      r.unix_form = true;
      pattern += L"\\*";
      r.find = FindFirstFileExW(pattern.c_str(), level, &r.data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    }
  }
  if (r.find == INVALID_HANDLE_VALUE) {
    // The root of an empty drive has no entries at all, not even "." and "..".
    r.pending = false;
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  r.pending = true;
  return true;
}

void FolderReader::ShowAsWine(bool) {}

// FindFirstFileExW takes paths only.
int64_t FolderReader::OpenChild(std::string_view) { return -1; }
void FolderReader::Adopt(int64_t) {}
void FolderReader::Release(int64_t) {}

bool FolderReader::Next(FolderEntry& entry) {
  Impl& r = *impl_;
  if (r.find == INVALID_HANDLE_VALUE) return false;
  for (;;) {
    if (!r.pending && !FindNextFileW(r.find, &r.data)) return false;
    r.pending = false;
    const wchar_t* name = r.data.cFileName;
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
    r.name = Narrow(name, wcslen(name));
    entry.name = entry.open_name = r.name;
    if (!r.unix_form && r.data.cAlternateFileName[0] && RefusedName(name)) {
      r.open_name = Narrow(r.data.cAlternateFileName, wcslen(r.data.cAlternateFileName));
      entry.open_name = r.open_name;
    }
    DWORD attributes = r.data.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Junctions and folder links are listed but never entered: no loops.
      entry.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::FolderLink : EntryKind::Folder;
    } else {
      entry.kind = EntryKind::File;
    }
    return true;
  }
}

bool FolderReader::Details(EntryDetails& details) {
  const WIN32_FIND_DATAW& d = impl_->data;
  details.size = static_cast<int64_t>((static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
  details.modified = static_cast<int64_t>((static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) |
                                          d.ftLastWriteTime.dwLowDateTime);
  return true;
}

void FolderReader::Close() {
  if (impl_ && impl_->find != INVALID_HANDLE_VALUE) {
    FindClose(impl_->find);
    impl_->find = INVALID_HANDLE_VALUE;
  }
}

bool PathDetails(const std::string& path, bool, EntryDetails& details) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &d)) return false;
  bool folder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  details.size = folder ? 0 : static_cast<int64_t>((static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
  details.modified = static_cast<int64_t>((static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) |
                                          d.ftLastWriteTime.dwLowDateTime);
  return true;
}

CivilTime LocalTime(int64_t modified) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(modified) & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(modified) >> 32);
  SYSTEMTIME utc{}, local{};
  if (!FileTimeToSystemTime(&ft, &utc)) return CivilTime{1601, 1, 1, 0, 0};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  return CivilTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute};
}

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  if (path.rfind(L"\\\\?\\", 0) == 0) path.erase(0, 4);
  size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return ".";
  return Narrow(path.data(), slash);
}

std::vector<std::string> DefaultRoots() {
  std::vector<std::string> roots;
  wchar_t drives[512];
  DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(drives)), drives);
  if (n == 0 || n >= std::size(drives)) return roots;
  for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) {
    if (GetDriveTypeW(d) == DRIVE_FIXED) roots.push_back(Narrow(d, wcslen(d)));
  }
  return roots;
}

std::string AbsolutePath(const std::string& base, const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path;              // C:\x
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return path;  // \\server\share
  if (!path.empty() && path[0] == '\\') return base.substr(0, 2) + path;   // \x on the program's drive
  return base + "\\" + path;
}

std::FILE* OpenFile(const std::string& path, bool write) { return _wfopen(W(path).c_str(), write ? L"wb" : L"rb"); }

bool MoveIntoPlace(const std::string& from, const std::string& to) {
  return MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != 0; }

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace es
