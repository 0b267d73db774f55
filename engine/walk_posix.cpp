// Folder reading on Linux: getdents64 on a folder descriptor, fstatat only when asked.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/text.h"
#include "walk.h"

namespace es {

namespace {

struct LinuxDirent64 {
  ino64_t d_ino;
  off64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[];
};

constexpr size_t kBufferSize = 1 << 16;
constexpr int64_t kStepsPerSecond = 10000000;

// Opens a folder whose path is too long for one call, a piece at a time.
int OpenLongPath(const std::string& path) {
  int dir = path.size() > 0 && path[0] == '/' ? open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                              : AT_FDCWD;
  if (dir == -1) return -1;
  size_t start = 0;
  while (start < path.size()) {
    while (start < path.size() && path[start] == '/') ++start;
    if (start >= path.size()) break;
    size_t end = start;
    // Take whole components while the piece stays well below PATH_MAX.
    while (end < path.size()) {
      size_t next = path.find('/', end + 1);
      if (next == std::string::npos) next = path.size();
      if (next - start >= PATH_MAX / 2 && end > start) break;
      end = next;
    }
    std::string piece = path.substr(start, end - start);
    int next_dir = openat(dir, piece.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir != AT_FDCWD) close(dir);
    if (next_dir == -1) return -1;
    dir = next_dir;
    start = end;
  }
  return dir == AT_FDCWD ? open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : dir;
}

}  // namespace

struct FolderReader::Impl {
  int fd = -1;
  long length = 0;
  long position = 0;
  const char* name = nullptr;
  bool have_stat = false;
  bool wine_view = false;
  std::string fixed_name;  // the name with faulty UTF-8 replaced
  struct stat st {};
  alignas(LinuxDirent64) char buffer[kBufferSize];
};

FolderReader::FolderReader() : impl_(std::make_unique<Impl>()) {}
FolderReader::~FolderReader() { Close(); }

void FolderReader::ShowAsWine(bool on) { impl_->wine_view = on; }

bool FolderReader::Open(const std::string& path) {
  Close();
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd == -1 && errno == ENAMETOOLONG) fd = OpenLongPath(path);
  if (fd == -1) return false;
  impl_->fd = fd;
  impl_->length = impl_->position = 0;
  return true;
}

int64_t FolderReader::OpenChild(std::string_view name) {
  // The name ends where the entry's name ends in the read buffer; NUL-terminated there.
  const Impl& r = *impl_;
  if (r.fd == -1 || name.data() != r.name) return -1;
  return openat(r.fd, r.name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

void FolderReader::Adopt(int64_t handle) {
  Close();
  impl_->fd = static_cast<int>(handle);
  impl_->length = impl_->position = 0;
}

void FolderReader::Release(int64_t handle) {
  if (handle >= 0) close(static_cast<int>(handle));
}

bool FolderReader::Next(FolderEntry& entry) {
  Impl& r = *impl_;
  for (;;) {
    if (r.position >= r.length) {
      r.length = syscall(SYS_getdents64, r.fd, r.buffer, kBufferSize);
      r.position = 0;
      if (r.length <= 0) return false;
    }
    auto* d = reinterpret_cast<LinuxDirent64*>(r.buffer + r.position);
    r.position += d->d_reclen;
    const char* name = d->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    r.name = name;
    r.have_stat = false;
    entry.name = entry.open_name = std::string_view(name, std::strlen(name));
    switch (d->d_type) {
      case DT_DIR:
        entry.kind = EntryKind::Folder;
        break;
      case DT_UNKNOWN:
        if (fstatat(r.fd, name, &r.st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        r.have_stat = true;
        entry.kind = S_ISDIR(r.st.st_mode) ? EntryKind::Folder : EntryKind::File;
        break;
      default:  // files, and links, which are listed but never followed
        entry.kind = EntryKind::File;
        break;
    }
    if (r.wine_view) {
      if (d->d_type == DT_LNK || (d->d_type == DT_UNKNOWN && S_ISLNK(r.st.st_mode))) {
        if (fstatat(r.fd, name, &r.st, 0) != 0) continue;
        r.have_stat = true;
        entry.kind = S_ISDIR(r.st.st_mode) ? EntryKind::FolderLink : EntryKind::File;
      }
      if (!lumiseek::IsValidUtf8(entry.name)) {
        r.fixed_name = lumiseek::Utf16ToUtf8(lumiseek::Utf8ToUtf16(entry.name));
        entry.name = r.fixed_name;
      }
    }
    return true;
  }
}

bool FolderReader::Details(EntryDetails& details) {
  Impl& r = *impl_;
  if (!r.have_stat) {
    if (fstatat(r.fd, r.name, &r.st, r.wine_view ? 0 : AT_SYMLINK_NOFOLLOW) != 0) return false;
    r.have_stat = true;
  }
  // A folder has no size, as on Windows (the export leaves it empty; the size order puts it last).
  details.size = S_ISDIR(r.st.st_mode) ? 0 : static_cast<int64_t>(r.st.st_size);
  // In 100 ns steps, as on Windows: entries changed within the same second still sort alike.
  details.modified = static_cast<int64_t>(r.st.st_mtim.tv_sec) * kStepsPerSecond + r.st.st_mtim.tv_nsec / 100;
  return true;
}

bool PathDetails(const std::string& path, bool follow_links, EntryDetails& details) {
  struct stat st {};
  if ((follow_links ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return false;
  details.size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
  details.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * kStepsPerSecond + st.st_mtim.tv_nsec / 100;
  return true;
}

void FolderReader::Close() {
  if (impl_ && impl_->fd != -1) {
    close(impl_->fd);
    impl_->fd = -1;
  }
}

CivilTime LocalTime(int64_t modified) {
  int64_t seconds = modified / kStepsPerSecond;
  if (modified % kStepsPerSecond < 0) --seconds;
  time_t t = static_cast<time_t>(seconds);
  struct tm local {};
  localtime_r(&t, &local);
  return CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::string ProgramFolder() {
  std::string path(PATH_MAX, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return ".";
  path.resize(static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::vector<std::string> DefaultRoots() { return {"/"}; }

std::string AbsolutePath(const std::string& base, const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return base + "/" + path;
}

std::FILE* OpenFile(const std::string& path, bool write, bool create) {
  if (!write || create) return std::fopen(path.c_str(), write ? "wb" : "rb");
  int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  std::FILE* f = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (!f && fd >= 0) close(fd);
  return f;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) { return rename(from.c_str(), to.c_str()) == 0; }

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

}  // namespace es
