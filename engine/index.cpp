#include "index.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "base/text.h"
#include "output.h"
#include "pieces.h"

namespace es {

namespace {

SortKind KindOf(int order) {
  static const SortKind kKinds[] = {SortKind::Name, SortKind::Size, SortKind::DateModified};
  return kKinds[order];
}

}  // namespace

uint16_t IndexTable::ExtensionTag(std::string_view extension) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : extension) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  return static_cast<uint16_t>((hash ^ (hash >> 16)) & ~kFolderTag);
}

uint16_t IndexTable::TagOf(const Entry& e) const {
  return ExtensionTag(Extension(Lower(e))) | ((e.flags & (kFolder | kFolderLink)) ? kFolderTag : 0);
}

uint32_t IndexTable::Add(uint32_t parent, std::string_view name, std::string_view open_name, EntryKind kind) {
  Entry e;
  e.parent = parent;
  e.name = static_cast<uint32_t>(arena_.size());
  e.name_length = static_cast<uint16_t>(std::min<size_t>(name.size(), 0xFFFF));
  arena_.append(name.substr(0, e.name_length));
  std::string lower;
  FoldCase(Name(e), lower);
  if (lower == Name(e)) {
    e.lower = e.name;
    e.lower_length = e.name_length;
  } else {
    e.lower = static_cast<uint32_t>(arena_.size());
    e.lower_length = static_cast<uint16_t>(std::min<size_t>(lower.size(), 0xFFFF));
    arena_.append(lower, 0, e.lower_length);
  }
  if (kind == EntryKind::Folder) e.flags |= kFolder;
  if (kind == EntryKind::FolderLink) e.flags |= kFolderLink;
  uint32_t i = static_cast<uint32_t>(entries_.size());
  if (parent != kNone) {
    e.next_sibling = entries_[parent].first_child;
    entries_[parent].first_child = i;
    e.flags |= kDirty;
    dirty_.push_back(i);
    ++live_;
    if (progress_) progress_->fetch_add(1, std::memory_order_relaxed);
  }
  entries_.push_back(e);
  tags_.push_back(TagOf(e));
  if (open_name != name) open_names_[i] = std::string(open_name);
  return i;
}

void IndexTable::SetDetails(uint32_t i, const EntryDetails& details) {
  Entry& e = entries_[i];
  if (e.size == details.size && e.modified == details.modified) return;
  e.size = details.size;
  e.modified = details.modified;
  if (!(e.flags & (kDirty | kRoot))) {
    e.flags |= kDirty;
    dirty_.push_back(i);
  }
}

std::string IndexTable::OpenPath(uint32_t i) const {
  const Entry& e = entries_[i];
  if (e.flags & kRoot) return std::string(Name(e));
  return JoinPath(OpenPath(e.parent), OpenName(i));
}

std::string IndexTable::RealPath(uint32_t i) const { return OpenPath(i); }

std::string_view IndexTable::OpenName(uint32_t i) const {
  auto open = open_names_.find(i);
  return open != open_names_.end() ? std::string_view(open->second) : Name(entries_[i]);
}

uint32_t IndexTable::Find(std::string_view path) const {
  for (size_t r = 0; r < roots_.size(); ++r) {
    std::string_view root = key_.roots[r];
    if (path.substr(0, root.size()) != root) continue;
    std::string_view rest = path.substr(root.size());
    if (!rest.empty() && rest[0] != kSeparator && root.back() != kSeparator) continue;
    uint32_t at = roots_[r];
    while (at != kNone && !rest.empty()) {
      while (!rest.empty() && rest[0] == kSeparator) rest.remove_prefix(1);
      if (rest.empty()) break;
      std::string_view part = rest.substr(0, rest.find(kSeparator));
      rest.remove_prefix(part.size());
      uint32_t found = kNone;
      for (uint32_t c = entries_[at].first_child; c != kNone; c = entries_[c].next_sibling) {
        if (!(entries_[c].flags & kDead) && OpenName(c) == part) {
          found = c;
          break;
        }
      }
      at = found;
    }
    if (at != kNone) return at;
  }
  return kNone;
}

void IndexTable::AppendShownPath(uint32_t i, std::string& out) const {
  const Entry& e = entries_[i];
  if (e.flags & kRoot) {
    size_t r = std::find(roots_.begin(), roots_.end(), i) - roots_.begin();
    bool shown = r < key_.shown.size() && !key_.shown[r].empty();
    out += shown ? key_.shown[r] : key_.roots[r];
    return;
  }
  AppendShownPath(e.parent, out);
  AppendName(out, Name(e));
}

bool IndexTable::IsLiveFolder(uint32_t i) const {
  return i < entries_.size() && (entries_[i].flags & (kFolder | kRoot)) && !(entries_[i].flags & kDead);
}

bool IndexTable::StatFolder(uint32_t i, EntryDetails& details) const {
  return PathDetails(OpenPath(i), key_.wine_view, details);
}

// Reads `folder` and, with `whole`, every folder found in it, adding every entry.
void IndexTable::ReadFolder(uint32_t folder, FolderReader& reader, bool whole) {
  std::vector<uint32_t> stack{folder};
  while (!stack.empty()) {
    uint32_t f = stack.back();
    stack.pop_back();
    std::string path = OpenPath(f);
    if (hook_) hook_(f, path);
    if (!reader.Open(path)) {
      if (entries_[f].flags & kRoot) entries_[f].flags |= kUnreadable;
      continue;
    }
    entries_[f].flags &= static_cast<uint8_t>(~kUnreadable);
    FolderEntry entry;
    EntryDetails details;
    while (reader.Next(entry)) {
      if (!reader.Details(details)) continue;  // gone since it was listed
      uint32_t i = Add(f, entry.name, entry.open_name, entry.kind);
      SetDetails(i, details);
      if (whole && entry.kind == EntryKind::Folder) stack.push_back(i);
    }
    reader.Close();
  }
}

void IndexTable::Build(const IndexKey& key) {
  FolderHook hook = std::move(hook_);
  std::atomic<size_t>* progress = progress_;
  *this = IndexTable();
  hook_ = std::move(hook);
  progress_ = progress;
  key_ = key;
  key_.shown.resize(key_.roots.size());
  FolderReader reader;
  reader.ShowAsWine(key_.wine_view);
  for (const std::string& root : key_.roots) {
    uint32_t r = Add(kNone, root, root, EntryKind::Folder);
    entries_[r].flags |= kRoot;
    roots_.push_back(r);
    ReadFolder(r, reader, true);
  }
  Sort();
  arena_.shrink_to_fit();
  entries_.shrink_to_fit();
}

void IndexTable::Remove(uint32_t i) {
  std::vector<uint32_t> stack{i};
  while (!stack.empty()) {
    uint32_t x = stack.back();
    stack.pop_back();
    Entry& e = entries_[x];
    if (e.flags & kDead) continue;
    e.flags |= kDead;
    --live_;
    ++removed_since_sort_;
    if (e.flags & kFolder && hook_) hook_(x, std::string());
    for (uint32_t c = e.first_child; c != kNone; c = entries_[c].next_sibling) stack.push_back(c);
    open_names_.erase(x);
  }
}

void IndexTable::Rescan(uint32_t folder, bool recursive) {
  std::vector<uint32_t> stack{folder};
  FolderReader reader;
  reader.ShowAsWine(key_.wine_view);
  while (!stack.empty()) {
    uint32_t f = stack.back();
    stack.pop_back();
    if (!IsLiveFolder(f)) continue;
    Entry& fe = entries_[f];
    EntryDetails own;
    std::string path = OpenPath(f);
    bool root = fe.flags & kRoot;
    if (!root) {
      if (!PathDetails(path, key_.wine_view, own)) {
        Remove(f);  // gone: its own folder's rescan unlinks it
        continue;
      }
      SetDetails(f, own);
    }
    if (hook_) hook_(f, path);
    std::unordered_map<std::string, uint32_t> known;  // names copied: adding moves the arena
    for (uint32_t c = entries_[f].first_child; c != kNone; c = entries_[c].next_sibling) {
      if (!(entries_[c].flags & kDead)) known.emplace(Name(entries_[c]), c);
    }
    std::unordered_set<uint32_t> seen;
    std::vector<uint32_t> new_folders;
    if (reader.Open(path)) {
      entries_[f].flags &= static_cast<uint8_t>(~kUnreadable);
      FolderEntry entry;
      EntryDetails details;
      while (reader.Next(entry)) {
        if (!reader.Details(details)) continue;
        auto it = known.find(std::string(entry.name));
        uint8_t kind_flags = entry.kind == EntryKind::Folder       ? kFolder
                             : entry.kind == EntryKind::FolderLink ? kFolderLink
                                                                   : 0;
        if (it != known.end() && (entries_[it->second].flags & (kFolder | kFolderLink)) == kind_flags) {
          uint32_t c = it->second;
          seen.insert(c);
          SetDetails(c, details);
          if (recursive && kind_flags == kFolder) stack.push_back(c);
          continue;
        }
        uint32_t c = Add(f, entry.name, entry.open_name, entry.kind);
        seen.insert(c);
        SetDetails(c, details);
        if (entry.kind == EntryKind::Folder) new_folders.push_back(c);
      }
      reader.Close();
    } else if (root) {
      entries_[f].flags |= kUnreadable;
    }
    // Entries not listed any more leave; the list keeps the living.
    uint32_t* link = &entries_[f].first_child;
    while (*link != kNone) {
      uint32_t c = *link;
      if (!seen.count(c)) Remove(c);
      if (entries_[c].flags & kDead) {
        *link = entries_[c].next_sibling;
      } else {
        link = &entries_[c].next_sibling;
      }
    }
    for (uint32_t n : new_folders) ReadFolder(n, reader, true);
  }
}

void IndexTable::Refresh(uint32_t folder, std::string_view name) {
  if (!IsLiveFolder(folder)) return;
  for (uint32_t c = entries_[folder].first_child; c != kNone; c = entries_[c].next_sibling) {
    if ((entries_[c].flags & kDead) || OpenName(c) != name) continue;
    EntryDetails details;
    if (!PathDetails(OpenPath(c), key_.wine_view, details)) break;
    SetDetails(c, details);
    return;
  }
  Rescan(folder, false);
}

size_t IndexTable::Verify() {
  size_t rescanned = 0;
  // The times as stored: a folder's rescan stores its subfolders' new times before they are compared.
  std::vector<int64_t> stored(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) stored[i] = entries_[i].modified;
  std::vector<uint32_t> stack(roots_.rbegin(), roots_.rend());
  while (!stack.empty()) {
    uint32_t f = stack.back();
    stack.pop_back();
    if (!IsLiveFolder(f)) continue;
    EntryDetails now;
    bool root = entries_[f].flags & kRoot;
    if (f >= stored.size()) {
      // Read whole by its parent's rescan.
    } else if (root || !StatFolder(f, now) || now.modified != stored[f]) {
      Rescan(f, false);
      ++rescanned;
    } else if (hook_) {
      hook_(f, OpenPath(f));
    }
    if (!IsLiveFolder(f)) continue;
    for (uint32_t c = entries_[f].first_child; c != kNone; c = entries_[c].next_sibling) {
      if (IsLiveFolder(c) && (entries_[c].flags & kFolder)) stack.push_back(c);
    }
  }
  return rescanned;
}

void IndexTable::RefreshAll() {
  // Waiting for the disk's answers is most of it: each part of the table is read by several threads,
  // then what changed is stored.
  constexpr size_t kPart = size_t{1} << 16;
  std::vector<EntryDetails> now(std::min(kPart, entries_.size()));
  std::vector<uint8_t> got(now.size());
  for (size_t from = 0; from < entries_.size(); from += kPart) {
    const size_t count = std::min(kPart, entries_.size() - from);
    const size_t threads = ThreadsFor(count, 1024);
    InPieces(count, PiecesFor(threads), threads, [&](size_t, size_t, size_t begin, size_t end) {
      for (size_t k = begin; k < end; ++k) {
        const uint32_t i = static_cast<uint32_t>(from + k);
        got[k] = !(entries_[i].flags & (kDead | kRoot | kFolder)) && PathDetails(OpenPath(i), key_.wine_view, now[k]);
      }
    });
    for (size_t k = 0; k < count; ++k) {
      if (got[k]) SetDetails(static_cast<uint32_t>(from + k), now[k]);
    }
  }
}

bool IndexTable::SortsBeforeEntry(Order order, uint32_t a, uint32_t b) const {
  const Entry& ea = entries_[a];
  const Entry& eb = entries_[b];
  SortKind kind = KindOf(order);
  Match ma{Name(ea), 0, (ea.flags & (kFolder | kFolderLink)) != 0, ea.size, ea.modified};
  Match mb{Name(eb), 0, (eb.flags & (kFolder | kFolderLink)) != 0, eb.size, eb.modified};
  bool keys_differ = (kind == SortKind::Size && ea.size != eb.size) ||
                     (kind == SortKind::DateModified && ea.modified != eb.modified);
  // Decided before the paths are looked at: the names alone give the walk's answer.
  if (keys_differ || CompareNoCase(ma.path, mb.path) != 0) return SortsBefore(kind, ma, mb);
  std::string pa, pb;
  AppendShownPath(a, pa);
  AppendShownPath(b, pb);
  ma.name_offset = static_cast<uint32_t>(pa.size() - ma.path.size());
  mb.name_offset = static_cast<uint32_t>(pb.size() - mb.path.size());
  ma.path = pa;
  mb.path = pb;
  return SortsBefore(kind, ma, mb);
}

void IndexTable::Sort() {
  if (dirty_.empty() && removed_since_sort_ == 0) return;
  std::vector<uint32_t> added;
  for (uint32_t i : dirty_) {
    if (!(entries_[i].flags & (kDead | kRoot))) added.push_back(i);
  }
  for (int o = 0; o < kOrders; ++o) {
    auto before = [this, o](uint32_t a, uint32_t b) { return SortsBeforeEntry(static_cast<Order>(o), a, b); };
    std::vector<uint32_t> kept;
    kept.reserve(live_);
    for (uint32_t i : orders_[o]) {
      if (!(entries_[i].flags & (kDead | kDirty))) kept.push_back(i);
    }
    std::sort(added.begin(), added.end(), before);
    std::vector<uint32_t> merged(kept.size() + added.size());
    std::merge(kept.begin(), kept.end(), added.begin(), added.end(), merged.begin(), before);
    orders_[o] = std::move(merged);
  }
  for (uint32_t i : dirty_) entries_[i].flags &= static_cast<uint8_t>(~kDirty);
  dirty_.clear();
  dirty_.shrink_to_fit();
  removed_since_sort_ = 0;
}

}  // namespace es
