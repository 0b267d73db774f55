#include "search.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "output.h"
#include "walk.h"

namespace es {

namespace {

constexpr size_t kFlushBytes = 1 << 16;
// Folders waiting with an open handle, at most; the rest wait as paths.
constexpr int kMaxOpenHandles = 256;

struct PendingFolder {
  std::string path;   // opened by this path
  std::string shown;  // matched and reported as this one
  bool root = false;
  int64_t handle = -1;  // from FolderReader::OpenChild, or -1: open by path
};

struct Shared {
  const Query& query;
  const Options& options;
  std::FILE* out;
  bool details;  // size or time are needed for the output or the order
  bool sorting;
  char separator;  // of the paths shown

  std::mutex mutex;
  std::condition_variable wake;
  std::vector<PendingFolder> pending;  // a stack: depth first, few folders waiting
  int busy = 0;
  std::atomic<bool> stop{false};
  std::atomic<int64_t> emitted{0};
  std::atomic<int> open_handles{0};

  std::mutex out_mutex;
  bool write_failed = false;
  std::vector<std::string> unreadable_roots;

  Shared(const Query& q, const Options& o, std::FILE* f) : query(q), options(o), out(f) {
    details = o.size || o.date_modified || o.sort == SortKind::Size ||
              o.sort == SortKind::DateModified;
    sorting = o.sort != SortKind::None;
    separator = o.wine_view ? '\\' : kSeparator;
  }

  // Waits for a folder to read; false when the walk is over.
  bool Take(PendingFolder& folder) {
    std::unique_lock<std::mutex> lock(mutex);
    wake.wait(lock, [&] { return stop.load() || !pending.empty() || busy == 0; });
    if (stop.load() || pending.empty()) {
      wake.notify_all();
      return false;
    }
    folder = std::move(pending.back());
    pending.pop_back();
    ++busy;
    return true;
  }

  // Hands in the subfolders found; takes the next folder at once when there is one.
  bool FinishAndTake(std::vector<PendingFolder>& found, PendingFolder& next) {
    std::unique_lock<std::mutex> lock(mutex);
    for (auto& f : found) pending.push_back(std::move(f));
    found.clear();
    if (!stop.load() && !pending.empty()) {
      next = std::move(pending.back());
      pending.pop_back();
      if (!pending.empty()) wake.notify_one();
      return true;
    }
    --busy;
    if (busy == 0) wake.notify_all();
    return false;
  }

  void Write(std::string& text) {
    if (text.empty()) return;
    std::lock_guard<std::mutex> lock(out_mutex);
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) write_failed = true;
    text.clear();
  }
};

struct Worker {
  Shared& shared;
  EntryFilter filter;
  FolderReader reader;
  std::string prefix;      // folder path with its separator
  std::string lower_dir;   // the same, folded
  std::string lower_name;
  std::string scratch;
  std::string buffer;      // rows waiting to be written
  std::vector<PendingFolder> found;
  std::vector<Match> matches;
  Arena arena;
  int64_t rows = 0;

  explicit Worker(Shared& s) : shared(s), filter(s.query, s.options.type, s.separator) {
    reader.ShowAsWine(s.options.wine_view);
  }

  void Run() {
    PendingFolder folder;
    if (!shared.Take(folder)) return;
    do {
      Read(folder);
    } while (shared.FinishAndTake(found, folder) || shared.Take(folder));
  }

  void Read(const PendingFolder& folder) {
    const char separator = shared.separator;
    prefix = folder.shown;
    if (prefix.empty() || prefix.back() != separator) prefix += separator;
    if (filter.FoldsFolders()) {
      FoldCase(prefix, lower_dir);
      if (folder.root && filter.Excluded(lower_dir)) return;
    }
    if (folder.handle >= 0) {
      shared.open_handles.fetch_sub(1, std::memory_order_relaxed);
      reader.Adopt(folder.handle);
    } else if (!reader.Open(folder.path)) {
      if (folder.root) {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.unreadable_roots.push_back(folder.shown);
      }
      return;
    }
    FolderEntry entry;
    while (reader.Next(entry)) {
      if (shared.stop.load(std::memory_order_relaxed)) break;
      bool is_folder = entry.kind != EntryKind::File;
      std::string_view folded;
      if (entry.kind == EntryKind::Folder) {
        bool keep = true;
        if (filter.HasExclusions()) {
          FoldCase(entry.name, lower_name);
          folded = lower_name;
          scratch.assign(lower_dir).append(lower_name) += separator;
          keep = !filter.Excluded(scratch);
        }
        if (keep) {
          int64_t handle = -1;
          if (shared.open_handles.load(std::memory_order_relaxed) < kMaxOpenHandles) {
            handle = reader.OpenChild(entry.open_name);
            if (handle >= 0) shared.open_handles.fetch_add(1, std::memory_order_relaxed);
          }
          found.push_back({JoinPath(folder.path, entry.open_name), JoinPath(folder.shown, entry.name, separator), false,
                           handle});
        }
      }
      if (!filter.Takes(entry.name, folded, is_folder, lower_dir)) continue;
      Emit(entry, is_folder);
    }
    reader.Close();
  }

  void Emit(const FolderEntry& entry, bool is_folder) {
    EntryDetails details;
    if (shared.details && !reader.Details(details)) return;
    const Options& options = shared.options;
    scratch.assign(prefix).append(entry.name);
    if (shared.sorting) {
      Match match;
      match.path = arena.Store(scratch);
      match.name_offset = static_cast<uint32_t>(prefix.size());
      match.is_folder = is_folder;
      match.size = details.size;
      match.modified = details.modified;
      matches.push_back(match);
      if (options.max_results >= 0 &&
          matches.size() >= std::max<size_t>(4096, 2 * static_cast<size_t>(options.max_results))) {
        Compact();
      }
      return;
    }
    if (options.max_results >= 0 &&
        shared.emitted.fetch_add(1, std::memory_order_relaxed) >= options.max_results) {
      Stop();
      return;
    }
    ++rows;
    AppendRow(buffer, options, scratch, is_folder, details.size, details.modified);
    if (buffer.size() >= kFlushBytes) shared.Write(buffer);
  }

  // Keeps only the matches that can still be among the first max_results.
  void Compact() {
    SortMatches(matches, shared.options.sort, shared.options.max_results);
    Arena kept;
    for (Match& m : matches) m.path = kept.Store(m.path);
    arena = std::move(kept);
  }

  void Stop() {
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.stop.store(true);
    shared.wake.notify_all();
  }
};

}  // namespace

EntryFilter::EntryFilter(const Query& query, TypeFilter type, char separator)
    : query_(&query), entry_query_(EntryQuery(query, separator)), type_(type), separator_(separator) {
  fold_dir_ = query.needs_path || !query.excluded_paths.empty();
  one_query_ = entry_query_.groups.size() == query.groups.size();
  for (const auto& group : query.groups) {
    auto wants_extension = [](const Term& term) { return term.kind == TermKind::Extension && !term.negated; };
    if (!std::all_of(group.begin(), group.end(), wants_extension)) continue;
    for (const Term& term : group) {
      extensions_.insert(extensions_.end(), term.extensions.begin(), term.extensions.end());
    }
    SortExtensionList(extensions_);
    break;
  }
}

bool EntryFilter::Excluded(std::string_view lower_folder) const {
  for (const std::string& text : query_->excluded_paths) {
    if (lower_folder.find(text) != std::string_view::npos) return true;
  }
  return false;
}

bool EntryFilter::Takes(std::string_view name, std::string_view lower_name, bool is_folder,
                        std::string_view lower_dir) {
  if (!TakesType(is_folder)) return false;
  const Query& query = QueryFor(name);
  Candidate candidate;
  candidate.is_folder = is_folder;
  if (query.needs_name || query.needs_path) {
    if (lower_name.empty()) {
      FoldCase(name, lower_name_);
      lower_name = lower_name_;
    }
    candidate.lower_name = lower_name;
  }
  if (query.needs_path) {
    lower_path_.assign(lower_dir).append(lower_name);
    candidate.lower_path = lower_path_;
  }
  return Matches(query, candidate);
}

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  if (path.empty() || path.back() != separator) path += separator;
  path.append(name);
  return path;
}

std::string NormalizeRoot(std::string root) {
  while (root.size() > 1 && root.back() == kSeparator) {
#ifdef _WIN32
    if (root.size() == 3 && root[1] == ':') break;  // "C:\"
#endif
    root.pop_back();
  }
  return root;
}

int SearchThreads() {
  int threads = static_cast<int>(std::thread::hardware_concurrency());
  if (threads < 1) threads = 1;
  if (threads > 8) threads = 8;
  return threads;
}

SearchReport Search(const Query& query, const Options& options, const std::vector<std::string>& roots,
                    std::FILE* out, int threads, const std::vector<std::string>& shown_roots) {
  Shared shared(query, options, out);
  // Roots in reverse so that the stack hands them out in the order given.
  for (size_t i = roots.size(); i-- > 0;) {
    bool shown = i < shown_roots.size() && !shown_roots[i].empty();
    shared.pending.push_back({roots[i], shown ? shown_roots[i] : roots[i], true});
  }

  std::vector<std::unique_ptr<Worker>> workers;
  threads = std::max(1, threads);
  for (int i = 0; i < threads; ++i) workers.push_back(std::make_unique<Worker>(shared));
  std::vector<std::thread> running;
  for (int i = 1; i < threads; ++i) running.emplace_back([&, i] { workers[i]->Run(); });
  workers[0]->Run();
  for (auto& t : running) t.join();
  for (PendingFolder& f : shared.pending) FolderReader::Release(f.handle);  // left by a stop

  SearchReport report;
  if (shared.sorting) {
    std::vector<Match> all;
    for (auto& w : workers) all.insert(all.end(), w->matches.begin(), w->matches.end());
    SortMatches(all, options.sort, options.max_results);
    std::string buffer;
    for (const Match& m : all) {
      AppendRow(buffer, options, m.path, m.is_folder, m.size, m.modified);
      if (buffer.size() >= kFlushBytes) shared.Write(buffer);
    }
    shared.Write(buffer);
    report.rows = static_cast<int64_t>(all.size());
  } else {
    for (auto& w : workers) {
      shared.Write(w->buffer);
      report.rows += w->rows;
    }
  }
  report.unreadable_roots = std::move(shared.unreadable_roots);
  report.write_failed = shared.write_failed;
  return report;
}

}  // namespace es
