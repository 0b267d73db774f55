// The index service's platform-free parts (index_serve.h): the answers, status and cache file of a
// running service, and the client's -index-start, -index-status, -index-stop and searches.
#include <cstdio>
#include <mutex>
#include <thread>

#include "index_serve.h"
#include "walk.h"

namespace es {

int64_t IndexService::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

std::string IndexService::StatusLine() {
  if (!ready.load()) return "building " + std::to_string(building_entries.load()) + " entries";
  std::shared_lock<std::shared_mutex> lock(table_mutex);
  std::string line = "ready " + std::to_string(table.Entries()) + " entries pid " + std::to_string(ProcessId());
  if (size_t n = unwatched_count.load()) {
    line += "; " + unwatched_why + ": " + std::to_string(n) + " folders rescanned every " +
            std::to_string(kRescanUnwatchedSeconds) + " s";
  }
  return line;
}

void IndexService::Save() {
  if (!ready.load()) return;
  std::string bytes;
  {
    std::shared_lock<std::shared_mutex> lock(table_mutex);
    bytes = table.Serialize();
  }
  if (!cache_file.empty()) WriteAside(cache_file, bytes);
  bytes = std::string();
  ReturnFreedMemory();  // the copy and the sort's buffers
}

void IndexService::Load(IndexTable::FolderHook hook) {
  IndexTable fresh;
  fresh.SetHook(std::move(hook));
  fresh.SetProgress(&building_entries);
  std::string saved;
  bool reloaded = !cache_file.empty() && ReadWholeFile(cache_file, saved) && fresh.Deserialize(saved) &&
                  fresh.Key() == key;
  saved = std::string();
  if (reloaded) {
    fresh.Verify();
    fresh.RefreshAll();  // files changed in place while the service was away
  } else {
    fresh.Build(key);
  }
  fresh.Sort();
  {
    std::unique_lock<std::shared_mutex> lock(table_mutex);
    table = std::move(fresh);
  }
  ready = true;
  Save();
  last_change = Clock::now();
}

void IndexService::Changed() {
  table.Sort();
  changed_since_save = true;
  last_change = Clock::now();
}

void IndexService::SaveWhenQuiet() {
  if (changed_since_save && Clock::now() - last_change > std::chrono::seconds(30)) {
    Save();
    changed_since_save = false;
  }
}

bool IndexService::Idle(int64_t idle_minutes) const {
  return NowMs() - last_query_ms.load() > idle_minutes * 60 * 1000;
}

std::string IndexService::Answer(const std::string& request, std::string& rows) {
  if (request == std::string("status", 7)) return StatusLine() + "\n";
  if (request == std::string("stop", 5)) {
    stop = true;
    return {};
  }
  std::string line;
  bool slash = false;
  IndexKey asked;
  if (!ReadIndexSearchRequest(request, line, slash, asked)) return "unknown request\n";
  last_query_ms = NowMs();
  if (!ready.load()) return StatusLine() + "\n";
  asked.shown.resize(asked.roots.size());
  if (!(asked == key)) return "other roots\n";
  ParseResult parsed = ParseCommandLine(line, slash);
  if (parsed.exit_code != kExitOk) return "unknown request\n";
  const Options& o = parsed.options;
  Query query = ParseQuery(o.search, o.wine_view ? '\\' : kSeparator);
  SearchReport report;
  {
    std::shared_lock<std::shared_mutex> lock(table_mutex);
    report = table.Search(query, o, rows);
  }
  return IndexSearchReplyHead(report, rows.size());
}

bool SearchThroughIndex(std::string_view command_line, bool slash_switches, const IndexKey& key, std::string& rows,
                        SearchReport& report, bool* none_running) {
  std::string reply;
  Asked asked = AskIndexService(IndexSearchRequest(command_line, slash_switches, key), reply, kIndexAnswerMs,
                                IndexSearchReplySize);
  if (none_running) *none_running = asked == Asked::NoService;
  return asked == Asked::Answered && ReadIndexSearchReply(std::move(reply), report, rows);
}

int IndexServiceStatus() {
  std::string reply;
  if (AskIndexService(std::string("status", 7), reply) != Asked::Answered || reply.empty()) {
    std::puts("not running");
    return 2;
  }
  std::fputs(reply.c_str(), stdout);
  return reply.compare(0, 6, "ready ") == 0 ? 0 : 1;
}

int StopIndexService() {
  std::string reply;
  if (AskIndexService(std::string("stop", 5), reply, 10000) != Asked::Answered) {
    std::puts("not running");
    return 0;
  }
  std::puts("stopped");
  return 0;
}

int StartIndexService(std::string_view command_line, const IndexKey& key) {
  std::string reply;
  if (AskIndexService(IndexSearchRequest("-n 0", false, key), reply) == Asked::Answered && !reply.empty()) {
    // Running already: for these roots (or still building) that is enough; for others it says so.
    if (reply.compare(0, 6, "other ") == 0) {
      std::string status;
      AskIndexService(std::string("status", 7), status);
      std::fprintf(stderr, "es: an index service for other folders is running (%s); stop it first\n",
                   status.substr(0, status.find('\n')).c_str());
      return 1;
    }
    return IndexServiceStatus() == 2 ? 1 : 0;
  }
  std::string problem = IndexChannelProblem();
  if (!problem.empty()) {
    std::fprintf(stderr, "es: %s\n", problem.c_str());
    return 1;
  }
  if (!LaunchIndexService(command_line)) {
    std::fprintf(stderr, "es: cannot start the index service\n");
    return 1;
  }
  // It answers within moments of its start; a service that never does is said so.
  for (auto end = IndexService::Clock::now() + std::chrono::seconds(5); IndexService::Clock::now() < end;) {
    std::string status;
    if (AskIndexService(std::string("status", 7), status) == Asked::Answered && !status.empty()) {
      std::fputs(status.c_str(), stdout);
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::fprintf(stderr, "es: the index service did not start\n");
  return 1;
}

void StartIndexServiceInBackground(std::string_view command_line) {
  if (IndexChannelProblem().empty()) LaunchIndexService(command_line);
}

}  // namespace es
