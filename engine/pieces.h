// Work shared out among a few threads in pieces: the index's search and its re-reading of every file.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

#include "search.h"

namespace es {

// Threads for `items` pieces of work: as many as a search uses, none with fewer than `least` items.
inline size_t ThreadsFor(size_t items, size_t least) {
  return std::clamp<size_t>(items / least, 1, static_cast<size_t>(SearchThreads()));
}

// Pieces of work a thread is given on average. Cut finer than one run a thread, the work is shared
// out as it goes: a thread that starts late (its processor woken from idle can take milliseconds)
// leaves its pieces to the threads already running.
constexpr size_t kPiecesPerThread = 8;

inline size_t PiecesFor(size_t threads) { return threads == 1 ? 1 : threads * kPiecesPerThread; }

// Runs work(thread, piece, begin, end) over [0, items) cut into `pieces` runs in turn, each run by
// the first of `threads` threads (this one among them) free to take it. Returns once every piece is
// done, not waiting for a thread that started too late to take one: the others are detached and
// share only the count of pieces. Nothing is thrown out of it (the program ends, as in a thread).
template <typename Work>
void InPieces(size_t items, size_t pieces, size_t threads, Work work) noexcept {
  struct Count {
    std::atomic<size_t> next{0};
    size_t done = 0;  // under `mutex`
    std::mutex mutex;
    std::condition_variable all_done;
  };
  auto count = std::make_shared<Count>();
  // Touches `work` only for a piece it took, while this call still waits for that piece.
  auto run = [&work, items, pieces](Count& c, size_t thread) {
    for (size_t p = c.next++; p < pieces; p = c.next++) {
      work(thread, p, items * p / pieces, items * (p + 1) / pieces);
      std::lock_guard<std::mutex> lock(c.mutex);
      if (++c.done == pieces) c.all_done.notify_one();
    }
  };
  for (size_t t = 1; t < threads; ++t) std::thread([count, run, t] { run(*count, t); }).detach();
  run(*count, 0);
  std::unique_lock<std::mutex> lock(count->mutex);
  count->all_done.wait(lock, [&] { return count->done == pieces; });
}

}  // namespace es
