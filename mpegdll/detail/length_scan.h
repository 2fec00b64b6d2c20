// The exact play time of a stream without a frame count: libmpg123 reads the whole stream through
// a second reader, on a thread of its own, so that neither "Open" nor playing waits for it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "mpegdll/detail/input.h"

namespace mpegdll::detail {

class LengthScan {
 public:
  // Starts measuring `input`, whose first MPEG audio frame is at `firstFrame`.
  LengthScan(std::unique_ptr<Input> input, std::int64_t firstFrame);
  // Ends the measuring at its next read, or at once when a read waits on the medium, and waits
  // for the thread.
  ~LengthScan();
  LengthScan(const LengthScan&) = delete;
  LengthScan& operator=(const LengthScan&) = delete;

  // Samples per channel at the stream's first rate; -1 while measuring or when it could not be.
  std::int64_t frames() const { return frames_.load(); }
  // True once the thread has finished, with a result or without.
  bool done() const { return done_.load(); }

 private:
  void Run();

  std::unique_ptr<Input> input_;
  std::function<void()> interrupt_;
  std::int64_t firstFrame_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::atomic<std::int64_t> frames_{-1};
  std::thread thread_;
};

}  // namespace mpegdll::detail
