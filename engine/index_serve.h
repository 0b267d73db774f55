// The index service apart from its platform: the service's state, its answers, its status line and
// its cache file (IndexService), and the client's switches, on top of the few things each platform
// gives (index_service_posix.cpp, index_service_win32.cpp): the channel, the start of a detached
// service and the writing of a file aside.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <shared_mutex>
#include <string>
#include <string_view>

#include "index_service.h"

namespace es {

// How a request to the service went.
enum class Asked {
  Answered,   // the whole reply came
  NoService,  // no service listens: none runs
  NoAnswer,   // one listens but did not answer in time, or not whole
};

// One request to the service and its whole reply; every wait bounded by `gap_ms`. `reply_size`, when
// given, tells the reply's size from its first bytes (see IndexSearchReplySize).
Asked AskIndexService(std::string_view request, std::string& reply, int gap_ms = kIndexAnswerMs,
                      size_t (*reply_size)(std::string_view) = nullptr);
// Why no service can run for this user here (in words, for a message), or empty when one can.
std::string IndexChannelProblem();
// Starts the program again as `-index-serve <command_line>`, detached, holding nothing of this
// process's; does not wait for it. False when it could not be started.
bool LaunchIndexService(std::string_view command_line);
// Writes `data` to a file beside `path` and moves it over `path` in one step.
bool WriteAside(const std::string& path, std::string_view data);
// Hands memory freed by the service back to the system, where the platform allows.
void ReturnFreedMemory();

// The running service's state, shared by its threads.
struct IndexService {
  using Clock = std::chrono::steady_clock;

  IndexKey key;
  std::shared_mutex table_mutex;
  IndexTable table;
  std::atomic<bool> ready{false}, stop{false};
  std::atomic<size_t> building_entries{0};
  std::atomic<int64_t> last_query_ms{0};
  std::atomic<size_t> unwatched_count{0};  // folders rescanned now and then instead of watched
  std::string unwatched_why = "watch limit reached";  // why, as the status line says it
  std::string cache_file;
  bool changed_since_save = false;
  Clock::time_point last_change = Clock::now();

  static int64_t NowMs();
  std::string StatusLine();
  void Save();
  // Reloads the table from the cache file and verifies it against the folders, or builds it; the
  // service is ready afterwards and the table saved. `hook` sees every folder read.
  void Load(IndexTable::FolderHook hook);
  // After changes were applied (under the lock): sorts and notes the time.
  void Changed();
  // Saves once no change came for 30 s.
  void SaveWhenQuiet();
  // The reply to one request (empty for "stop", which sets `stop`); a search's rows are left in `rows`,
  // to be sent after it (not copied behind it: they can be long).
  std::string Answer(const std::string& request, std::string& rows);
  // Whether no query came for `idle_minutes`.
  bool Idle(int64_t idle_minutes) const;
};

}  // namespace es
