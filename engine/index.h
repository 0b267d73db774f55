// The resident index: every entry under the roots in one table, searched with the walk's own filter,
// order and rows, so that an answer from it is the answer a walk gives.
//
// Layout (about 60 bytes an entry plus its name): one arena holds every name as shown and, where it
// differs, its folded form; an entry holds their offsets, its parent, its first child and next
// sibling (a folder's entries are a list, so a folder is re-read by itself), size, time and flags.
// Three orders (name, size, date) hold entry numbers sorted as the walk sorts; entries added or
// changed since are merged in by Sort().
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "options.h"
#include "query.h"
#include "search.h"

namespace es {

// What an index is of: it answers only searches over the same roots, shown the same way.
struct IndexKey {
  std::vector<std::string> roots;  // real folders read
  std::vector<std::string> shown;  // each root as shown; empty: as it is
  bool wine_view = false;
  bool operator==(const IndexKey& other) const = default;
};

class IndexTable {
 public:
  static constexpr uint32_t kNone = 0xFFFFFFFFu;
  // Called with a folder's entry number and real path before the folder is read (to watch it), and
  // with an empty path when the folder leaves the table.
  using FolderHook = std::function<void(uint32_t folder, const std::string& path)>;

  void SetHook(FolderHook hook) { hook_ = std::move(hook); }
  // A count of the entries added, for whoever waits on a build.
  void SetProgress(std::atomic<size_t>* added) { progress_ = added; }
  // The fewest entries a search gives each of its threads to read (a sixteenth of that in rows to
  // write); one thread reads a table smaller than twice that.
  void SetLeastPart(size_t entries) { least_part_ = std::max<size_t>(entries, 16); }

  // Reads every root whole.
  void Build(const IndexKey& key);
  const IndexKey& Key() const { return key_; }

  // Re-reads one folder: entries gone leave (with all below them), new ones are added (new folders
  // read whole), the rest get their size and time again; the folder's own time too. With `recursive`,
  // every subfolder the same way. A folder that cannot be read any more loses its entries.
  void Rescan(uint32_t folder, bool recursive);
  // Re-reads size and time of the entry `name` of `folder`; a name not in the table rescans the folder.
  void Refresh(uint32_t folder, std::string_view name);
  // After a reload: every folder whose time is not the stored one is rescanned, recursively down.
  // Returns the number of folders rescanned.
  size_t Verify();
  // Re-reads size and time of every file (after a reload, for files changed in place), by several
  // threads.
  void RefreshAll();
  // Merges entries added or changed since the last call into the sorted orders.
  void Sort();

  // The search: rows appended to `out` as the walk writes them (after the header).
  SearchReport Search(const Query& query, const Options& options, std::string& out) const;

  size_t Entries() const { return live_; }  // live entries, roots not counted
  size_t RootCount() const { return roots_.size(); }
  uint32_t RootEntry(size_t i) const { return roots_[i]; }
  bool IsLiveFolder(uint32_t i) const;
  std::string RealPath(uint32_t i) const;
  // The live entry at the real path `path`, or kNone.
  uint32_t Find(std::string_view path) const;

  // The table as bytes (a checksum at the end), and back; false (and an empty table) for anything
  // that is not a whole, consistent table.
  std::string Serialize() const;
  bool Deserialize(std::string_view data);

 private:
  struct Entry {
    int64_t size = 0;
    int64_t modified = 0;
    uint32_t name = 0, lower = 0;  // arena offsets
    uint32_t parent = kNone, first_child = kNone, next_sibling = kNone;
    uint16_t name_length = 0, lower_length = 0;
    uint8_t flags = 0;
  };
  enum Flag : uint8_t { kFolder = 1, kFolderLink = 2, kRoot = 4, kDead = 8, kDirty = 16, kUnreadable = 32 };
  enum Order { kByName, kBySize, kByDate, kOrders };

  // An entry's tag: its top bit set for a folder, the rest a hash of its folded extension.
  static constexpr uint16_t kFolderTag = 0x8000;
  static uint16_t ExtensionTag(std::string_view extension);
  uint16_t TagOf(const Entry& e) const;
  std::string_view Name(const Entry& e) const { return {arena_.data() + e.name, e.name_length}; }
  std::string_view Lower(const Entry& e) const { return {arena_.data() + e.lower, e.lower_length}; }
  char Separator() const { return key_.wine_view ? '\\' : kSeparator; }
  uint32_t Add(uint32_t parent, std::string_view name, std::string_view open_name, EntryKind kind);
  void SetDetails(uint32_t i, const EntryDetails& details);
  void ReadFolder(uint32_t folder, FolderReader& reader, bool whole);
  void Remove(uint32_t i);
  std::string OpenPath(uint32_t i) const;
  std::string_view OpenName(uint32_t i) const;
  void AppendShownPath(uint32_t i, std::string& out) const;
  // Adds `name` to the shown folder path `path`, a separator between them unless it ends in one.
  void AppendName(std::string& path, std::string_view name) const {
    if (path.empty() || path.back() != Separator()) path += Separator();
    path += name;
  }
  bool SortsBeforeEntry(Order order, uint32_t a, uint32_t b) const;
  class Scan;
  // The entries a search takes, the table read by several threads in parts, each part's rows written
  // in table order when asked.
  struct Marks {
    struct Part {
      size_t begin = 0;           // its first entry
      size_t count = 0;           // entries taken
      std::string rows;           // their rows in turn
      std::vector<size_t> ends;   // where each row ends in `rows`
    };
    std::vector<uint8_t> taken;        // for each entry: 1 when the search takes it
    std::unique_ptr<uint32_t[]> row;  // for each entry taken, when rows are written: its row in its part
    std::vector<Part> parts;
    size_t count = 0;
    std::string_view RowOf(uint32_t i) const;  // the row of a taken entry
    size_t TextSize() const {
      size_t n = 0;
      for (const Part& part : parts) n += part.rows.size();
      return n;
    }
  };
  Marks Marked(const Query& query, const Options& options, bool write_rows) const;
  // The rows of `found` in turn, long lists built by several threads in pieces.
  void AppendRows(const std::vector<uint32_t>& found, const Options& options, std::string& out) const;
  // The rows `marks` wrote, in the order `sorted` gives, picked by several threads in pieces.
  void AppendWrittenRows(const std::vector<uint32_t>& sorted, const Marks& marks, std::string& out) const;
  bool StatFolder(uint32_t i, EntryDetails& details) const;

  IndexKey key_;
  std::string arena_;
  std::vector<Entry> entries_;
  // For each entry, its tag (folder or not, a hash of its folded extension): a search for extensions,
  // or for folders, rules most entries out by these two bytes alone.
  std::vector<uint16_t> tags_;
  std::vector<uint32_t> roots_;
  std::unordered_map<uint32_t, std::string> open_names_;  // entries opened by other bytes than shown
  std::vector<uint32_t> orders_[kOrders];
  std::vector<uint32_t> dirty_;
  size_t removed_since_sort_ = 0;
  size_t live_ = 0;
  FolderHook hook_;
  std::atomic<size_t>* progress_ = nullptr;
  size_t least_part_ = 1 << 16;
};

}  // namespace es
