// The position the listener hears, handed from the decode thread to the application's thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace mpegdll::detail {

// The decode thread publishes, at each look at the output, how many frames had been heard then
// and how many more the device plays on its own; a reader carries that forward to the moment of
// its call, so that the position moves with the sound, not with the writes. Within one stretch
// of counting the position never goes back.
class HeardPosition {
 public:
  using Clock = std::chrono::steady_clock;

  struct Look {
    std::int64_t baseMs = 0;   // the position of frame 0 of the stretch
    long rate = 0;             // frames per second; 0 = no stream, the position is baseMs
    std::int64_t least = 0;    // the stretch's first frame: less is never heard
    std::int64_t heard = 0;    // frames heard at the look (less than `least` while the end of the
                               // stream before still plays)
    std::int64_t playing = 0;  // frames the device plays on from the look on without another write
    bool restart = false;      // a new stretch: the position may move anywhere (start, seek, format)
  };

  void Publish(const Look& look, Clock::time_point at = Clock::now());
  // Milliseconds; the lock is held for a few arithmetic operations only.
  std::int32_t Ms(Clock::time_point now = Clock::now());

 private:
  std::mutex mutex_;
  Look look_;
  Clock::time_point at_{};
  std::int64_t floor_ = 0;  // frames: the most a reader or the decode thread has seen heard
};

}  // namespace mpegdll::detail
