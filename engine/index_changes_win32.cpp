// Each root is watched whole by ReadDirectoryChangesW with a completion routine, re-issued from the
// routine at once (the style that lost no names under Wine). Changed names are relative paths with
// '\': a name whose folder the table holds re-reads that folder (or the entry, for a write); a name
// under a folder the table does not hold by that name (renamed, or new) re-reads the nearest folder it
// holds, whole, since later names inside a renamed folder may still carry its old name. An overflow
// or an error re-reads the root whole; a root that cannot be watched is re-read now and then.
#include <windows.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "base/wide_win32.h"
#include "index_changes_win32.h"
#include "walk.h"

namespace es {

namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
constexpr DWORD kOverflow = 0;  // a change's action when the root is to be re-read whole

struct Change {
  size_t root = 0;
  DWORD action = kOverflow;
  std::string name;  // relative to the root, UTF-8, '\' between parts
};

struct Follower;

struct RootWatch {
  Follower* owner = nullptr;
  size_t root = 0;
  HANDLE folder = nullptr;
  OVERLAPPED overlapped{};
  std::vector<DWORD> buffer = std::vector<DWORD>(1 << 14);  // 64 KiB, DWORD aligned
  bool pending = false;  // a request is out
};

struct Follower {
  IndexService& service;
  std::vector<std::unique_ptr<RootWatch>> watches;
  std::vector<Change> changes;  // filled by the completion routines, on this thread only
  bool stopping = false;

  static void CALLBACK Completed(DWORD error, DWORD bytes, OVERLAPPED* overlapped) {
    auto* watch = static_cast<RootWatch*>(overlapped->hEvent);
    Follower& self = *watch->owner;
    watch->pending = false;
    if (self.stopping) return;
    if (error != ERROR_SUCCESS || bytes == 0) {
      self.changes.push_back({watch->root, kOverflow, {}});  // names were dropped (or never came)
    } else {
      const auto* at = reinterpret_cast<const BYTE*>(watch->buffer.data());
      for (;;) {
        const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
        std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
        self.changes.push_back({watch->root, info->Action, lumiseek::N(name)});
        if (info->NextEntryOffset == 0) break;
        at += info->NextEntryOffset;
      }
    }
    if (!self.Issue(*watch)) self.changes.push_back({watch->root, kOverflow, {}});
  }

  bool Issue(RootWatch& watch) {
    if (!watch.folder) return false;
    watch.overlapped = OVERLAPPED{};
    watch.overlapped.hEvent = &watch;  // free for the caller's use with a completion routine
    watch.pending = ReadDirectoryChangesW(watch.folder, watch.buffer.data(),
                                          static_cast<DWORD>(watch.buffer.size() * sizeof(DWORD)), TRUE, kFilter,
                                          nullptr, &watch.overlapped, &Completed);
    if (!watch.pending) {
      CloseHandle(watch.folder);
      watch.folder = nullptr;
    }
    return watch.pending;
  }

  // Opens the root's folder and asks for its changes; false when it cannot be watched.
  bool Open(RootWatch& watch) {
    HANDLE folder = CreateFileW(lumiseek::W(service.key.roots[watch.root]).c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    watch.folder = folder;
    return Issue(watch);
  }

  size_t Unwatched() const {
    size_t n = 0;
    for (const auto& watch : watches) n += watch->folder == nullptr;
    return n;
  }

  // Applies the changes taken so far to the table (under its lock).
  void Apply(std::vector<Change>& batch) {
    IndexTable& table = service.table;
    std::set<std::pair<uint32_t, bool>> rescanned;
    auto rescan = [&](uint32_t folder, bool whole) {
      if (rescanned.count({folder, true}) || !rescanned.insert({folder, whole}).second) return;
      table.Rescan(folder, whole);
    };
    for (const Change& change : batch) {
      uint32_t root = table.RootEntry(change.root);
      if (change.action == kOverflow) {
        rescan(root, true);
        continue;
      }
      const std::string& base = service.key.roots[change.root];
      size_t cut = change.name.rfind('\\');
      std::string folder_name = cut == std::string::npos ? std::string() : change.name.substr(0, cut);
      std::string leaf = change.name.substr(cut == std::string::npos ? 0 : cut + 1);
      uint32_t folder = folder_name.empty() ? root : table.Find(JoinPath(base, folder_name));
      if (folder == IndexTable::kNone || !table.IsLiveFolder(folder)) {
        // A folder on the way is not held by this name: the nearest one held is read again whole.
        while (folder == IndexTable::kNone || !table.IsLiveFolder(folder)) {
          size_t up = folder_name.rfind('\\');
          folder_name = up == std::string::npos ? std::string() : folder_name.substr(0, up);
          folder = folder_name.empty() ? root : table.Find(JoinPath(base, folder_name));
        }
        rescan(folder, true);
        continue;
      }
      if (rescanned.count({folder, false}) || rescanned.count({folder, true})) continue;
      if (change.action == FILE_ACTION_MODIFIED) {
        table.Refresh(folder, leaf);
      } else {
        // Added, removed or renamed: the folder is read again; a renamed folder comes in whole under
        // its new name.
        rescan(folder, false);
      }
    }
  }

  void Run() {
    for (size_t r = 0; r < service.key.roots.size(); ++r) {
      watches.push_back(std::make_unique<RootWatch>());
      watches.back()->owner = this;
      watches.back()->root = r;
      Open(*watches.back());  // before the build: changes made while it reads are kept for later
    }
    service.Load(nullptr);
    service.unwatched_count = Unwatched();
    auto last_unwatched_scan = Clock::now();
    while (!service.stop.load()) {
      SleepEx(200, TRUE);
      // Changes arriving together are taken together: more are awaited while they come within 50 ms.
      for (int rounds = 0; !changes.empty() && rounds < 20; ++rounds) {
        size_t before = changes.size();
        SleepEx(50, TRUE);
        if (changes.size() == before) break;
      }
      bool scan_unwatched = Unwatched() > 0 &&
                            Clock::now() - last_unwatched_scan > std::chrono::seconds(kRescanUnwatchedSeconds);
      if (scan_unwatched) {
        // Watched again or not, what changed meanwhile is not known: the root is read again whole.
        for (auto& watch : watches) {
          if (watch->folder) continue;
          Open(*watch);
          changes.push_back({watch->root, kOverflow, {}});
        }
        last_unwatched_scan = Clock::now();
      }
      if (!changes.empty()) {
        std::vector<Change> batch;
        batch.swap(changes);
        {
          std::unique_lock<std::shared_mutex> lock(service.table_mutex);
          Apply(batch);
          service.Changed();
        }
        // A root removed keeps a handle that reports nothing more, also not a folder made again in its
        // place: it is let go, and tried again with the roots that could not be watched.
        for (const Change& change : batch) {
          RootWatch& watch = *watches[change.root];
          if (!watch.folder) continue;
          if (GetFileAttributesW(lumiseek::W(service.key.roots[change.root]).c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
          CancelIo(watch.folder);
          CloseHandle(watch.folder);
          watch.folder = nullptr;
        }
        service.unwatched_count = Unwatched();
      }
      service.SaveWhenQuiet();
    }
    stopping = true;
    for (auto& watch : watches) {
      if (watch->folder) CancelIo(watch->folder);
    }
    // The cancelled requests complete (aborted) before their buffers go.
    for (int rounds = 0; rounds < 50; ++rounds) {
      bool out = false;
      for (auto& watch : watches) out = out || (watch->folder && watch->pending);
      if (!out) break;
      SleepEx(20, TRUE);
    }
    for (auto& watch : watches) {
      if (watch->folder) CloseHandle(watch->folder);
      watch->folder = nullptr;
      if (watch->pending) watch.release();  // its buffer may still be written: left to the process's end
    }
  }
};

}  // namespace

void FollowFolderChanges(IndexService& service) {
  Follower follower{service, {}, {}, false};
  follower.Run();
}

}  // namespace es
