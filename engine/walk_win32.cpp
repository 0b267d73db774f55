// Folder reading on Windows: NtQueryDirectoryFile on a folder handle, each folder read to its end
// before any subfolder is opened, subfolders opened relative to their parent's handle. A relative open
// reaches any depth under Wine, which refuses a full path whose Linux form passes 4,096 bytes; paths
// get the \\?\ prefix so that their length does not matter on Windows. Under Wine, folders are listed
// with short names, which open the Linux names Wine shows but refuses.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string_view>
#include <vector>

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
bool RefusedName(std::wstring_view name) {
  for (wchar_t c : name) {
    if (c < 0x20 || wcschr(L"\"*<>?|", c)) return true;
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
    if (RefusedName(std::wstring_view(wide).substr(start, end - start))) {
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

// The folder reading calls of ntdll, which every Windows and Wine has.
using NtOpenFileCall = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, ULONG, ULONG);
using NtQueryDirectoryFileCall = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG, ULONG,
                                                  BOOLEAN, PUNICODE_STRING, BOOLEAN);

struct NtCalls {
  NtOpenFileCall open = nullptr;
  NtQueryDirectoryFileCall query = nullptr;
  NtCalls() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return;
    open = reinterpret_cast<NtOpenFileCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtOpenFile")));
    query = reinterpret_cast<NtQueryDirectoryFileCall>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryDirectoryFile")));
  }
};

const NtCalls& Nt() {
  static const NtCalls calls;
  return calls;
}

constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006L);
constexpr NTSTATUS kNoSuchFile = static_cast<NTSTATUS>(0xC000000FL);
constexpr ULONG kFullDirectoryInformation = 2;  // what FindExInfoBasic lists
constexpr ULONG kBothDirectoryInformation = 3;  // the same with the short name
constexpr ULONG kDirectoryOptions = 0x1 | 0x20 | 0x4000;  // a folder, synchronous, for backup
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr size_t kFetchBytes = 64 * 1024;
// Paths from this many characters may pass Linux's 4,096 bytes (a character takes up to 3).
constexpr size_t kLongPath = 1000;

// An entry of the listing with short names. The listing without them has the same fields up to
// `short_bytes`, where its name begins.
struct ListedEntry {
  ULONG next;
  ULONG index;
  LARGE_INTEGER created, accessed, written, changed, end_of_file, allocated;
  ULONG attributes;
  ULONG name_bytes;
  ULONG ea_size;
  CCHAR short_bytes;
  WCHAR short_name[12];
  WCHAR name[1];
};
static_assert(offsetof(ListedEntry, short_bytes) == 68 && offsetof(ListedEntry, name) == 94);

// Opens the subfolder `name` of the folder `parent`; nullptr when it cannot be opened.
HANDLE OpenRelative(HANDLE parent, std::wstring_view name) {
  if (!Nt().open || name.empty() || name.size() > 32767) return nullptr;
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.data());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK io;
  HANDLE child = nullptr;
  if (Nt().open(&child, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &io, kShareAll, kDirectoryOptions) != 0) {
    return nullptr;
  }
  return child;
}

// Opens a folder by its full path.
HANDLE OpenPath(const std::wstring& path) {
  HANDLE folder = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return folder == INVALID_HANDLE_VALUE ? nullptr : folder;
}

// Opens a folder one name at a time from its drive's root: the way past Wine's refusal of a full path
// whose Linux form passes 4,096 bytes.
HANDLE OpenByParts(const std::wstring& path) {
  std::wstring rest = path.rfind(L"\\\\?\\", 0) == 0 ? path.substr(4) : path;
  if (rest.size() < 3 || rest[1] != L':' || rest[2] != L'\\') return nullptr;
  HANDLE folder = OpenPath(L"\\\\?\\" + rest.substr(0, 3));
  for (size_t start = 3; folder && start < rest.size();) {
    size_t end = rest.find(L'\\', start);
    if (end == std::wstring::npos) end = rest.size();
    HANDLE child = end > start ? OpenRelative(folder, std::wstring_view(rest).substr(start, end - start)) : folder;
    if (child != folder) CloseHandle(folder);
    folder = child;
    start = end + 1;
  }
  return folder;
}

// A handle from OpenChild as a number: the handle's value and whether the folder is named in Wine's
// \\?\unix\ form, which its subfolders inherit.
int64_t ChildNumber(HANDLE folder, bool unix_form) {
  return static_cast<int64_t>(reinterpret_cast<uintptr_t>(folder) << 1) | (unix_form ? 1 : 0);
}
HANDLE ChildHandle(int64_t number) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number) >> 1); }

}  // namespace

struct FolderReader::Impl {
  HANDLE folder = nullptr;
  bool unix_form = false;  // the folder was opened by its \\?\unix\ path: names are taken as they are
  bool both = false;       // the listing has short names
  std::vector<char> listing;  // the whole folder: fetches one after another, each 8-byte aligned
  std::vector<size_t> fetches;  // where each fetch starts in `listing`
  size_t fetch = 0;   // the fetch being handed out
  size_t offset = 0;  // the next entry in `listing`, or npos when the fetch is done
  const ListedEntry* current = nullptr;
  std::string name;
  std::string open_name;

  // Reads the open folder to its end; false when not even the first fetch could be read (an empty
  // folder, such as the root of an empty drive, reads as no entries at all).
  bool ReadAll() {
    listing.clear();
    fetches.clear();
    fetch = 0;
    offset = std::string::npos;
    current = nullptr;
    both = Wine().Present();
    if (!Nt().query) return false;
    for (bool first = true;; first = false) {
      size_t start = listing.size();
      listing.resize(start + kFetchBytes);
      IO_STATUS_BLOCK io{};
      NTSTATUS status = Nt().query(folder, nullptr, nullptr, nullptr, &io, listing.data() + start, kFetchBytes,
                                   both ? kBothDirectoryInformation : kFullDirectoryInformation, FALSE, nullptr,
                                   first ? TRUE : FALSE);
      if (status != 0 || io.Information == 0) {
        listing.resize(start);
        if (!fetches.empty()) offset = fetches[0];
        return !first || status == kNoMoreFiles || status == kNoSuchFile;
      }
      listing.resize(start + ((io.Information + 7) & ~static_cast<size_t>(7)));
      fetches.push_back(start);
    }
  }
};

FolderReader::FolderReader() : impl_(std::make_unique<Impl>()) {}
FolderReader::~FolderReader() { Close(); }

bool FolderReader::Open(const std::string& path) {
  Close();
  Impl& r = *impl_;
  std::wstring long_path = LongPath(path);
  r.unix_form = long_path.rfind(kUnixPrefix, 0) == 0;
  r.folder = OpenPath(long_path);
  if (!r.folder && Wine().Present() && !r.unix_form) {
    if (GetLastError() == ERROR_INVALID_NAME) {
      std::wstring unix_path = UnixForm(path);
      if (!unix_path.empty()) {
        r.unix_form = true;
        r.folder = OpenPath(unix_path);
      }
    } else if (long_path.size() >= kLongPath) {
      r.folder = OpenByParts(long_path);
    }
  }
  if (!r.folder) return false;
  if (!r.ReadAll()) {
    Close();
    return false;
  }
  return true;
}

void FolderReader::ShowAsWine(bool) {}

int64_t FolderReader::OpenChild(std::string_view name) {
  const Impl& r = *impl_;
  if (!r.folder) return -1;
  std::u16string wide = lumiseek::Utf8ToUtf16(name);
  HANDLE child = OpenRelative(r.folder, std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()));
  return child ? ChildNumber(child, r.unix_form) : -1;
}

void FolderReader::Adopt(int64_t handle) {
  Close();
  Impl& r = *impl_;
  r.folder = ChildHandle(handle);
  r.unix_form = (handle & 1) != 0;
  r.ReadAll();
}

void FolderReader::Release(int64_t handle) {
  if (handle >= 0) CloseHandle(ChildHandle(handle));
}

bool FolderReader::Next(FolderEntry& entry) {
  Impl& r = *impl_;
  for (;;) {
    if (r.offset == std::string::npos) {
      if (r.fetch + 1 >= r.fetches.size()) return false;
      r.offset = r.fetches[++r.fetch];
    }
    const auto* e = reinterpret_cast<const ListedEntry*>(r.listing.data() + r.offset);
    r.offset = e->next ? r.offset + e->next : std::string::npos;
    const wchar_t* name = r.both ? e->name : reinterpret_cast<const wchar_t*>(&e->short_bytes);
    size_t length = e->name_bytes / sizeof(wchar_t);
    if (length == 0 || (name[0] == L'.' && (length == 1 || (length == 2 && name[1] == L'.')))) continue;
    r.current = e;
    r.name = Narrow(name, length);
    entry.name = entry.open_name = r.name;
    if (r.both && !r.unix_form && e->short_bytes > 0 && RefusedName(std::wstring_view(name, length))) {
      r.open_name = Narrow(e->short_name, static_cast<size_t>(e->short_bytes) / sizeof(wchar_t));
      entry.open_name = r.open_name;
    }
    DWORD attributes = e->attributes;
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
  const ListedEntry* e = impl_->current;
  if (!e) return false;
  details.size = e->end_of_file.QuadPart;
  details.modified = e->written.QuadPart;
  return true;
}

void FolderReader::Close() {
  if (!impl_) return;
  if (impl_->folder) {
    CloseHandle(impl_->folder);
    impl_->folder = nullptr;
  }
  impl_->current = nullptr;
  impl_->offset = std::string::npos;
  impl_->fetches.clear();
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

std::FILE* OpenFile(const std::string& path, bool write, bool create) {
  if (!write || create) return _wfopen(W(path).c_str(), write ? L"wb" : L"rb");
  int fd = _wopen(W(path).c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY);
  std::FILE* f = fd < 0 ? nullptr : _fdopen(fd, "wb");
  if (!f && fd >= 0) _close(fd);
  return f;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
  return MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != 0; }

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace es
