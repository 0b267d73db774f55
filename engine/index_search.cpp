// The index's search: which entries a search takes, read from the table by several threads when it is
// large, and their rows in the order the walk writes them.
#include <algorithm>
#include <memory>

#include "index.h"
#include "output.h"
#include "pieces.h"

namespace es {

namespace {

// How many entries ahead of its turn a search asks for one that lies far from the one before.
constexpr size_t kAhead = 16;

inline void Ask(const void* memory) {
#if defined(__GNUC__)
  __builtin_prefetch(memory);
#endif
}

}  // namespace

// What one thread needs to tell whether a search takes an entry: its own filter (which keeps scratch
// text) and its own memory of the folders it entered.
class IndexTable::Scan {
 public:
  Scan(const IndexTable& table, const Query& query, const Options& options)
      : table_(table),
        filter_(query, options.type, table.Separator()),
        state_(filter_.HasExclusions() ? table.entries_.size() : 0, 0) {
    // Only folders, or only files of some extensions, can pass (and no folder has an extension that
    // counts): the tags that allow them.
    const std::vector<std::string>& extensions = filter_.OnlyExtensions();
    const bool folders_only = !filter_.TakesType(false);
    if (extensions.empty() && !folders_only) return;
    allowed_tags_.resize((1 << 16) / 64);
    if (extensions.empty()) {
      std::fill(allowed_tags_.begin() + kFolderTag / 64, allowed_tags_.end(), ~uint64_t{0});
      return;
    }
    if (folders_only) return;  // folders wanted, files of some extensions too: none passes
    for (const std::string& extension : extensions) {
      uint16_t tag = ExtensionTag(extension);
      allowed_tags_[tag / 64] |= uint64_t{1} << (tag % 64);
    }
  }

  // True when no folder from the root down to `f` is excluded.
  bool Entered(uint32_t f) {
    if (state_.empty()) return true;
    chain_.clear();
    uint32_t x = f;
    while (x != kNone && state_[x] == 0) {
      chain_.push_back(x);
      x = table_.entries_[x].parent;
    }
    bool ok = x == kNone || state_[x] == 1;
    for (size_t k = chain_.size(); k-- > 0;) {
      ok = ok && !filter_.Excluded(LowerDir(chain_[k]));
      state_[chain_[k]] = ok ? 1 : 2;
    }
    return state_[f] == 1;
  }

  // Writes entry i's row. The shown paths of its folder and the folders above are kept, so that the
  // next row reads only the folders below the deepest one the two share.
  void AppendRowOf(uint32_t i, const Options& options, std::string& out) {
    const Entry& e = table_.entries_[i];
    if (kept_.empty() || kept_.back().first != e.parent) KeepFolder(e.parent);
    row_path_.resize(kept_.back().second);
    table_.AppendName(row_path_, table_.Name(e));
    AppendRow(out, options, row_path_, (e.flags & (kFolder | kFolderLink)) != 0, e.size, e.modified);
  }

  // Makes the kept folders those from the root down to `f`, row_path_ the shown path of `f`.
  void KeepFolder(uint32_t f) {
    climb_.clear();
    size_t keep = 0;
    for (uint32_t x = f;; x = table_.entries_[x].parent) {
      auto at = std::find_if(kept_.rbegin(), kept_.rend(), [x](const auto& k) { return k.first == x; });
      if (at != kept_.rend()) {
        keep = static_cast<size_t>(kept_.rend() - at);
        break;
      }
      climb_.push_back(x);
      if (table_.entries_[x].flags & kRoot) break;
    }
    kept_.resize(keep);
    row_path_.resize(keep == 0 ? 0 : kept_.back().second);
    for (size_t k = climb_.size(); k-- > 0;) {
      const uint32_t x = climb_[k];
      if (table_.entries_[x].flags & kRoot) {
        table_.AppendShownPath(x, row_path_);
      } else {
        table_.AppendName(row_path_, table_.Name(table_.entries_[x]));
      }
      kept_.emplace_back(x, row_path_.size());
    }
  }

  // Whether only folders, or only entries of some extensions, can be taken.
  bool Gated() const { return !allowed_tags_.empty(); }
  // False when the entry's tag rules it out.
  bool MayTake(size_t i) const {
    uint16_t tag = table_.tags_[i];
    return allowed_tags_.empty() || ((allowed_tags_[tag / 64] >> (tag % 64)) & 1) != 0;
  }

  bool Takes(uint32_t i) {
    if (!MayTake(i)) return false;
    const Entry& e = table_.entries_[i];
    const bool is_folder = (e.flags & (kFolder | kFolderLink)) != 0;
    if ((e.flags & (kDead | kRoot)) || !filter_.TakesType(is_folder) || !Entered(e.parent)) return false;
    std::string_view name = table_.Name(e);
    static const std::string kNoPath;
    const std::string& dir = filter_.NeedsPath(name) ? LowerDir(e.parent) : kNoPath;
    return filter_.Takes(name, table_.Lower(e), is_folder, dir);
  }

 private:
  // The folded path of folder `f`, the separator at its end; the last one is kept.
  const std::string& LowerDir(uint32_t f) {
    if (f != folder_of_path_) {
      std::string shown;
      table_.AppendShownPath(f, shown);
      if (shown.empty() || shown.back() != table_.Separator()) shown += table_.Separator();
      FoldCase(shown, folder_path_);
      folder_of_path_ = f;
    }
    return folder_path_;
  }

  const IndexTable& table_;
  EntryFilter filter_;
  std::vector<uint8_t> state_;  // for each folder: 0 not yet known, 1 entered, 2 excluded
  std::vector<uint64_t> allowed_tags_;  // when only folders or some extensions can pass: their tags, a bit each
  std::string folder_path_;
  uint32_t folder_of_path_ = kNone;
  std::vector<uint32_t> chain_;
  std::string row_path_;
  std::vector<std::pair<uint32_t, size_t>> kept_;  // folders from a root down, each path's length
  std::vector<uint32_t> climb_;
};

IndexTable::Marks IndexTable::Marked(const Query& query, const Options& options, bool write_rows) const {
  Marks marks;
  marks.taken.assign(entries_.size(), 0);
  if (write_rows) marks.row.reset(new uint32_t[entries_.size()]);  // written for the entries taken
  const size_t threads = ThreadsFor(entries_.size(), least_part_);
  marks.parts.resize(PiecesFor(threads));
  std::vector<std::unique_ptr<Scan>> scans(threads);  // one a thread, kept from piece to piece
  std::vector<std::vector<uint32_t>> passes(threads);
  InPieces(entries_.size(), marks.parts.size(), threads, [&](size_t thread, size_t piece, size_t begin, size_t end) {
    if (!scans[thread]) scans[thread] = std::make_unique<Scan>(*this, query, options);
    Scan& scan = *scans[thread];
    Marks::Part& mine = marks.parts[piece];
    mine.begin = begin;
    auto take = [&](uint32_t i) {
      if (!scan.Takes(i)) return;
      marks.taken[i] = 1;
      if (write_rows) {
        marks.row[i] = static_cast<uint32_t>(mine.count);
        scan.AppendRowOf(i, options, mine.rows);
        mine.ends.push_back(mine.rows.size());
      }
      ++mine.count;
    };
    if (!scan.Gated()) {
      for (size_t i = begin; i < end; ++i) take(static_cast<uint32_t>(i));
      return;
    }
    // A search for extensions or folders: the entries whose tags pass lie far apart, where the
    // processor does not look ahead by itself. They are found first, then read in turn, each asked
    // for early, its name and folder's entry nearer, its folder's name nearer still (each step
    // reading what the one before brought).
    std::vector<uint32_t>& passed = passes[thread];
    passed.clear();
    for (size_t i = begin; i < end; ++i) {
      if (scan.MayTake(i)) passed.push_back(static_cast<uint32_t>(i));
    }
    const size_t n = passed.size();
    for (size_t k = 0; k < n; ++k) {
      if (k + kAhead < n) Ask(&entries_[passed[k + kAhead]]);
      if (k + kAhead / 2 < n) {
        const Entry& e = entries_[passed[k + kAhead / 2]];
        Ask(&arena_[e.lower]);
        if (e.parent != kNone) Ask(&entries_[e.parent]);
      }
      if (k + kAhead / 4 < n && entries_[passed[k + kAhead / 4]].parent != kNone) {
        Ask(&arena_[entries_[entries_[passed[k + kAhead / 4]].parent].name]);
      }
      take(passed[k]);
    }
  });
  for (const Marks::Part& part : marks.parts) marks.count += part.count;
  return marks;
}

std::string_view IndexTable::Marks::RowOf(uint32_t i) const {
  auto after = std::upper_bound(parts.begin(), parts.end(), i, [](uint32_t i, const Part& p) { return i < p.begin; });
  const Part& part = *(after - 1);
  size_t k = row[i];
  size_t begin = k == 0 ? 0 : part.ends[k - 1];
  return std::string_view(part.rows).substr(begin, part.ends[k] - begin);
}

void IndexTable::AppendRows(const std::vector<uint32_t>& found, const Options& options, std::string& out) const {
  const size_t threads = ThreadsFor(found.size(), least_part_ / 16);
  std::vector<std::string> texts(PiecesFor(threads));
  std::vector<std::string> paths(threads);
  InPieces(found.size(), texts.size(), threads, [&](size_t thread, size_t piece, size_t begin, size_t end) {
    for (size_t k = begin; k < end; ++k) {
      const Entry& e = entries_[found[k]];
      std::string& path = paths[thread];
      path.clear();
      AppendShownPath(found[k], path);
      AppendRow(texts[piece], options, path, (e.flags & (kFolder | kFolderLink)) != 0, e.size, e.modified);
    }
  });
  for (const std::string& text : texts) out += text;
}

void IndexTable::AppendWrittenRows(const std::vector<uint32_t>& sorted, const Marks& marks, std::string& out) const {
  const size_t threads = ThreadsFor(sorted.size(), least_part_);
  std::vector<std::string> texts(PiecesFor(threads));
  std::vector<std::vector<uint32_t>> picks(threads);
  const size_t row_size = marks.TextSize() / std::max<size_t>(marks.count, 1) + 1;
  InPieces(sorted.size(), texts.size(), threads, [&](size_t thread, size_t piece, size_t begin, size_t end) {
    std::vector<uint32_t>& picked = picks[thread];
    picked.clear();
    for (size_t s = begin; s < end; ++s) {
      if (marks.taken[sorted[s]]) picked.push_back(sorted[s]);
    }
    std::string& text = texts[piece];
    text.reserve(picked.size() * row_size);
    for (size_t k = 0; k < picked.size(); ++k) {
      if (k + kAhead < picked.size()) Ask(&marks.row[picked[k + kAhead]]);
      text += marks.RowOf(picked[k]);
    }
  });
  for (const std::string& text : texts) out += text;
}

SearchReport IndexTable::Search(const Query& query, const Options& options, std::string& out) const {
  SearchReport report;
  Scan scan(*this, query, options);
  for (size_t r = 0; r < roots_.size(); ++r) {
    if ((entries_[roots_[r]].flags & kUnreadable) && scan.Entered(roots_[r])) {
      report.unreadable_roots.push_back(key_.shown[r].empty() ? key_.roots[r] : key_.shown[r]);
    }
  }

  const int64_t limit = options.max_results;
  std::vector<uint32_t> found;
  int order = options.sort == SortKind::Name           ? kByName
              : options.sort == SortKind::Size         ? kBySize
              : options.sort == SortKind::DateModified ? kByDate
                                                       : -1;
  bool ordered = order >= 0 && dirty_.empty() && removed_since_sort_ == 0;
  if (limit < 0 && (options.sort == SortKind::None || ordered)) {
    // Every match wanted: the whole table is read by several threads in its own order (sequential
    // memory), each writing the rows of its part as it goes, folder by folder; a sorted order then
    // picks them in turn, which costs less than sorting them by their paths.
    Marks marks = Marked(query, options, true);
    out.reserve(out.size() + marks.TextSize());
    report.rows = static_cast<int64_t>(marks.count);
    if (options.sort == SortKind::None) {
      for (const Marks::Part& part : marks.parts) out += part.rows;
      return report;
    }
    AppendWrittenRows(orders_[order], marks, out);
    return report;
  }
  auto wanted_more = [limit](size_t found) { return static_cast<int64_t>(found) < limit; };
  if (options.sort == SortKind::None) {
    for (uint32_t i = 0; i < entries_.size() && wanted_more(found.size()); ++i) {
      if (scan.Takes(i)) found.push_back(i);
    }
  } else if (ordered) {
    // The sorted order is read while matches come often. When they are rare, the whole table is read
    // as above to mark the matches, and the sorted order then gives them in turn.
    const std::vector<uint32_t>& sorted = orders_[order];
    const uint32_t budget = std::min<uint32_t>(1 << 16, static_cast<uint32_t>(sorted.size() / 4));
    uint32_t k = 0;
    for (; k < sorted.size() && k < budget && wanted_more(found.size()); ++k) {
      if (scan.Takes(sorted[k])) found.push_back(sorted[k]);
    }
    if (k < sorted.size() && wanted_more(found.size())) {
      Marks marks = Marked(query, options, false);
      size_t wanted = std::min<size_t>(marks.count, static_cast<size_t>(limit));
      found.clear();
      found.reserve(wanted);
      for (size_t s = 0; s < sorted.size() && found.size() < wanted; ++s) {
        if (marks.taken[sorted[s]]) found.push_back(sorted[s]);
      }
    }
  } else {
    // Any other order: the matches are sorted as the walk sorts its own.
    std::vector<Match> matches;
    Arena arena;
    std::string path;
    for (uint32_t i = 0; i < entries_.size(); ++i) {
      if (!scan.Takes(i)) continue;
      const Entry& e = entries_[i];
      path.clear();
      AppendShownPath(i, path);
      std::string_view stored = arena.Store(path);
      matches.push_back({stored, static_cast<uint32_t>(path.size() - e.name_length),
                         (e.flags & (kFolder | kFolderLink)) != 0, e.size, e.modified});
    }
    SortMatches(matches, options.sort, limit);
    for (const Match& m : matches) AppendRow(out, options, m.path, m.is_folder, m.size, m.modified);
    report.rows = static_cast<int64_t>(matches.size());
    return report;
  }
  AppendRows(found, options, out);
  report.rows = static_cast<int64_t>(found.size());
  return report;
}

}  // namespace es
