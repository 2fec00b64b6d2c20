// The published look carried forward to the reader's moment: never past what the device held at
// the look, never back from what was seen before.
#include "mpegdll/detail/heard_position.h"

#include <algorithm>
#include <climits>

namespace mpegdll::detail {

void HeardPosition::Publish(const Look& look, Clock::time_point at) {
  const std::lock_guard lock(mutex_);
  if (look.restart) floor_ = look.least;
  look_ = look;
  at_ = at;
  floor_ = std::max(floor_, look.heard);
}

std::int32_t HeardPosition::Ms(Clock::time_point now) {
  const std::lock_guard lock(mutex_);
  if (look_.rate <= 0) return static_cast<std::int32_t>(std::clamp<std::int64_t>(look_.baseMs, 0, INT32_MAX));
  std::int64_t heard = look_.heard;
  if (look_.playing > 0 && now > at_) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - at_).count();
    heard += std::min<std::int64_t>(look_.playing, elapsed * look_.rate / 1000000);
  }
  floor_ = std::max(floor_, heard);
  return static_cast<std::int32_t>(std::min<std::int64_t>(look_.baseMs + floor_ * 1000 / look_.rate, INT32_MAX));
}

}  // namespace mpegdll::detail
