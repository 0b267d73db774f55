// What the search needs of the operating system: reading one folder at a time, the details
// of an entry, local time, the program's folder and the default roots. walk_posix.cpp and
// walk_win32.cpp implement it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace es {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

enum class EntryKind {
  File,
  Folder,      // a folder to descend into
  FolderLink,  // a folder that is a link or junction: listed, never entered
};

struct FolderEntry {
  std::string_view name;       // UTF-8, as shown; valid until the next call of Next
  std::string_view open_name;  // the name the entry is opened by (see ShowAsWine); valid as long as `name`
  EntryKind kind = EntryKind::File;
};

struct EntryDetails {
  int64_t size = 0;
  int64_t modified = 0;  // platform time stamp: larger is newer; see LocalTime
};

struct CivilTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Reads the entries of one folder; one reader per thread, reused for folder after folder.
class FolderReader {
 public:
  FolderReader();
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  // Lists entries as Wine shows the folder to a Windows program: a link is followed for its kind,
  // size and time (a link to a folder is a FolderLink; a broken link is left out), and a name
  // that is not valid UTF-8 has each faulty byte replaced by U+FFFD (it is still opened by its own
  // bytes, FolderEntry::open_name). Nothing changes on Windows, where a name Wine shows but cannot
  // open (one holding " * < > ? | or a control character) is opened by its short name or, without
  // one, through Wine's \\?\unix\ form of the path.
  void ShowAsWine(bool on);
  // Opens a folder by its full path; false when it cannot be read.
  bool Open(const std::string& path);
  // Opens the subfolder `name` of the open folder, for a later Adopt: cheaper than a full
  // path where the system supports it. -1 when it does not, or the subfolder cannot be opened.
  int64_t OpenChild(std::string_view name);
  // Reads a folder opened by OpenChild (and takes ownership of the handle).
  void Adopt(int64_t handle);
  // Closes a handle from OpenChild that will not be read.
  static void Release(int64_t handle);
  // The next entry other than "." and ".."; false at the end of the folder.
  bool Next(FolderEntry& entry);
  // Size and time of the entry Next returned last; false when it has vanished.
  bool Details(EntryDetails& details);
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Size and time of the entry at `path`, as FolderReader::Details gives them (links followed when
// `follow_links`); false when it cannot be read.
bool PathDetails(const std::string& path, bool follow_links, EntryDetails& details);

// The local date and time of a time stamp from EntryDetails.
CivilTime LocalTime(int64_t modified);

// The folder that holds the running program.
std::string ProgramFolder();

// The folders searched when no es-roots.txt exists: every fixed drive on Windows, "/" elsewhere.
std::vector<std::string> DefaultRoots();

// A path relative to `base` made absolute; absolute paths come back unchanged.
std::string AbsolutePath(const std::string& base, const std::string& path);

// Opens a file in binary mode for reading, or for writing (created or emptied; with `create` false,
// only a file that exists); nullptr on failure.
std::FILE* OpenFile(const std::string& path, bool write, bool create = true);

// Reads a whole file; false when it does not exist or cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Moves `from` over `to` in one step (a reader sees the old file or the new one); false on failure.
bool MoveIntoPlace(const std::string& from, const std::string& to);

// Removes a file; false when there was none or it cannot be removed.
bool RemoveFile(const std::string& path);

// The running program's process id.
unsigned long ProcessId();

}  // namespace es
