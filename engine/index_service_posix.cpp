// The index service on Linux: a Unix socket in a folder only the user can enter (the peer's user
// checked on both sides), inotify with one watch per folder, the table saved to the cache folder.
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "index_serve.h"
#include "send_posix.h"
#include "walk.h"

namespace es {

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kMaxRequest = 16 << 20;
constexpr int kPeerMs = 2000;  // the service's bound on a client's request and on sending the reply
#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;  // older headers; an older kernel refuses it, harmlessly
#endif

// A folder of the user's own, private: created 0700 when missing; a folder anyone else can enter
// or that belongs to another user is not used (empty result).
std::string PrivateFolder(const std::string& path) {
  std::string partial;
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '/') mkdir(path.substr(0, at).c_str(), 0700);
  }
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return {};
  if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return {};
  return path;
}

std::string CacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && cache[0] == '/') return PrivateFolder(std::string(cache) + "/lumiseek");
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return PrivateFolder(std::string(home) + "/.cache/lumiseek");
  return {};
}

std::string SocketPath() {
  const char* run = std::getenv("XDG_RUNTIME_DIR");
  std::string folder;
  struct stat st {};
  if (run && run[0] == '/' && stat(run, &st) == 0) folder = PrivateFolder(std::string(run) + "/lumiseek");
  if (folder.empty()) {
    std::string cache = CacheFolder();
    if (!cache.empty()) folder = PrivateFolder(cache + "/run");
  }
  return folder.empty() ? std::string() : folder + "/index.sock";
}

bool PeerIsUser(int fd) {
  ucred cred{};
  socklen_t length = sizeof cred;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 && cred.uid == geteuid();
}

// Makes `out` `size` bytes long, its new pages made in one call where the system can (Linux 5.14 on),
// not one page fault at a time as the bytes come. A long reply asks for huge pages where the system
// gives them on request: fewer pages to make.
void MakeRoom(std::string& out, size_t size) {
  constexpr uintptr_t kHuge = uintptr_t{2} << 20;
  const bool huge = size >= kHuge;
  out.reserve(huge ? size + kHuge : size);  // room for its last huge page
  const uintptr_t start = reinterpret_cast<uintptr_t>(out.data());
  if (huge) {
    const uintptr_t from = (start + kHuge - 1) & ~(kHuge - 1), to = (start + size + kHuge - 1) & ~(kHuge - 1);
    madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
  }
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t from = (start + page - 1) & ~(page - 1);
  const uintptr_t to = start + size;
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, kPopulateWrite);
  out.resize(size);
}

// Reads to the end of the stream: each part must come within `gap_ms` of the last (and of the start).
// Once `size_of` tells the whole size from the first bytes, `out` is made that large at once, so
// that a long reply is received into one buffer.
bool ReceiveAll(int fd, std::string& out, int gap_ms, size_t max_bytes,
                size_t (*size_of)(std::string_view) = nullptr) {
  size_t filled = out.size();
  bool sized = size_of == nullptr;
  for (;;) {
    if (filled == out.size()) out.resize(std::max<size_t>(2 * filled, 1 << 16));
    ssize_t n = recv(fd, out.data() + filled, out.size() - filled, MSG_DONTWAIT);
    if (n > 0) {
      filled += static_cast<size_t>(n);
      if (filled > max_bytes) break;
      if (!sized) {
        size_t whole = size_of(std::string_view(out.data(), filled));
        sized = whole != 0;
        if (whole > out.size()) MakeRoom(out, whole);
      }
      continue;
    }
    if (n == 0) {
      out.resize(filled);
      return true;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, gap_ms) <= 0) break;
  }
  out.resize(filled);
  return false;
}

}  // namespace

Asked AskIndexService(std::string_view request, std::string& reply, int gap_ms,
                      size_t (*reply_size)(std::string_view)) {
  std::string path = SocketPath();
  if (path.empty() || path.size() >= sizeof(sockaddr_un::sun_path)) return Asked::NoService;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return Asked::NoService;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Asked::NoAnswer;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    // A socket left by a service that ended: nobody listens.
    bool none = errno == ECONNREFUSED || errno == ENOENT;
    close(fd);
    return none ? Asked::NoService : Asked::NoAnswer;
  }
  bool ok = PeerIsUser(fd) && SendAll(fd, request, gap_ms) &&
            shutdown(fd, SHUT_WR) == 0 && ReceiveAll(fd, reply, gap_ms, size_t{1} << 34, reply_size);
  close(fd);
  return ok ? Asked::Answered : Asked::NoAnswer;
}

std::string IndexChannelProblem() {
  return SocketPath().empty() ? "no private folder for the index service (XDG_RUNTIME_DIR, XDG_CACHE_HOME or HOME)"
                              : std::string();
}

void ReturnFreedMemory() { malloc_trim(0); }

bool WriteAside(const std::string& path, std::string_view data) {
  std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  while (ok && !data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) data.remove_prefix(static_cast<size_t>(n));
  }
  ok = fsync(fd) == 0 && ok;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

namespace {

// The service's changes on Linux: one inotify watch a folder, added as the table reads the folder.
struct Follower {
  IndexService& service;
  int inotify = -1;
  std::unordered_map<int, uint32_t> folder_of_watch;
  std::unordered_map<uint32_t, int> watch_of_folder;
  std::unordered_set<uint32_t> unwatched;  // folders beyond the watch limit: rescanned now and then

  void Watch(uint32_t folder, const std::string& path) {
    if (path.empty()) {  // the folder left the table
      auto it = watch_of_folder.find(folder);
      if (it != watch_of_folder.end()) {
        auto back = folder_of_watch.find(it->second);
        if (back != folder_of_watch.end() && back->second == folder) {
          inotify_rm_watch(inotify, it->second);
          folder_of_watch.erase(back);
        }
        watch_of_folder.erase(it);
      }
      unwatched.erase(folder);
      return;
    }
    constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB |
                               IN_CLOSE_WRITE | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK;
    int wd = inotify_add_watch(inotify, path.c_str(), kMask);
    if (wd < 0) {
      if (errno == ENOSPC) unwatched.insert(folder);
      return;
    }
    unwatched.erase(folder);
    folder_of_watch[wd] = folder;
    watch_of_folder[folder] = wd;
  }

  // Builds or reloads the table, then follows the changes until the service stops.
  void Follow() {
    service.Load([this](uint32_t f, const std::string& path) { Watch(f, path); });
    service.unwatched_count = unwatched.size();
    IndexTable& table = service.table;
    auto last_unwatched_scan = Clock::now();
    std::vector<char> buffer(1 << 16);
    while (!service.stop.load()) {
      pollfd p{inotify, POLLIN, 0};
      int got = poll(&p, 1, 200);
      std::unordered_set<uint32_t> rescan;
      std::vector<std::pair<uint32_t, std::string>> refresh;
      bool overflow = false;
      // Changes arriving together are taken together: reads go on while more come within 50 ms.
      for (int rounds = 0; got > 0 && rounds < 20; ++rounds) {
        ssize_t n = read(inotify, buffer.data(), buffer.size());
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
          auto* event = reinterpret_cast<inotify_event*>(buffer.data() + at);
          at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
          if (event->mask & IN_Q_OVERFLOW) overflow = true;
          auto it = folder_of_watch.find(event->wd);
          if (it == folder_of_watch.end()) continue;
          if (event->mask & IN_IGNORED) {
            folder_of_watch.erase(it);
            continue;
          }
          std::string name = event->len ? std::string(event->name) : std::string();
          if (!name.empty() && !(event->mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO))) {
            refresh.emplace_back(it->second, name);
          } else {
            rescan.insert(it->second);
          }
        }
        got = poll(&p, 1, 50);
      }
      bool scan_unwatched = !unwatched.empty() &&
                            Clock::now() - last_unwatched_scan > std::chrono::seconds(kRescanUnwatchedSeconds);
      if (overflow || !rescan.empty() || !refresh.empty() || scan_unwatched) {
        std::unique_lock<std::shared_mutex> lock(service.table_mutex);
        if (overflow) {
          for (size_t r = 0; r < table.RootCount(); ++r) table.Rescan(table.RootEntry(r), true);
        }
        for (uint32_t f : rescan) table.Rescan(f, false);
        for (const auto& [f, name] : refresh) table.Refresh(f, name);
        if (scan_unwatched) {
          std::vector<uint32_t> folders(unwatched.begin(), unwatched.end());
          for (uint32_t f : folders) table.Rescan(f, false);
          last_unwatched_scan = Clock::now();
        }
        service.Changed();
        service.unwatched_count = unwatched.size();
      }
      service.SaveWhenQuiet();
    }
  }
};

}  // namespace

bool LaunchIndexService(std::string_view command_line) {
  std::string line = "-index-serve " + std::string(command_line);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    if (fork() != 0) _exit(0);
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    // Nothing of the starter's stays open in the service: started by es.exe under Wine, its standard
    // input is es.exe's socket, and other descriptors may be Wine's.
    if (close_range(3, ~0U, 0) != 0) {
      for (int fd = 3; fd < 4096; ++fd) close(fd);
    }
    execl("/proc/self/exe", "es", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  waitpid(child, nullptr, 0);
  return true;
}

int ServeIndex(const IndexKey& key, int64_t idle_minutes) {
  std::string path = SocketPath();
  if (path.empty() || path.size() >= sizeof(sockaddr_un::sun_path)) return 1;
  // One service a user: the lock is held for the service's life.
  std::string folder = path.substr(0, path.rfind('/'));
  int lock = open((folder + "/index.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0) return 0;
  signal(SIGPIPE, SIG_IGN);
  IndexService service;
  service.key = key;
  service.key.shown.resize(key.roots.size());
  std::string cache = CacheFolder();
  if (!cache.empty()) service.cache_file = cache + "/index.bin";
  Follower changes{service};
  changes.inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);

  unlink(path.c_str());
  int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      chmod(path.c_str(), 0600) != 0 || listen(listener, 16) != 0) {
    return 1;
  }
  service.last_query_ms = IndexService::NowMs();
  std::thread follower([&] { changes.Follow(); });
  int stop_client = -1;
  while (!service.stop.load()) {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 1000) <= 0) {
      if (service.Idle(idle_minutes)) service.stop = true;
      continue;
    }
    int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) continue;
    std::string request;
    if (!PeerIsUser(client) || !ReceiveAll(client, request, kPeerMs, kMaxRequest)) {
      close(client);
      continue;
    }
    std::string rows;
    std::string reply = service.Answer(request, rows);
    if (service.stop.load()) {
      stop_client = client;  // answered once the table is saved
      break;
    }
    if (SendAll(client, reply, kPeerMs)) SendAll(client, rows, kPeerMs);
    close(client);
  }
  unlink(path.c_str());
  close(listener);
  follower.join();
  service.Save();
  close(lock);  // a new service may start as soon as this one says it stopped
  if (stop_client >= 0) {
    SendAll(stop_client, "stopped\n", kPeerMs);
    close(stop_client);
  }
  return 0;
}

}  // namespace es
