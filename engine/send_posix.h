// Writing to a socket that may be non-blocking (Wine gives Linux programs such sockets), off Windows.
#pragma once

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string_view>

namespace es {

// Writes all of `data` to the socket `fd`, waiting while it is full, within `bound_ms` (negative: no
// bound); false on an error or when time runs out.
inline bool SendAll(int fd, std::string_view data, int bound_ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(bound_ms);
  while (!data.empty()) {
    ssize_t n = send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      data.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    int64_t left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (bound_ms >= 0 && left <= 0) return false;
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, bound_ms >= 0 ? static_cast<int>(left) : -1) <= 0 && errno != EINTR) return false;
  }
  return true;
}

}  // namespace es
