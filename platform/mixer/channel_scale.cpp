// Element values to volume steps and back, rounded to the nearest (halves up).
#include "platform/mixer/channel_scale.h"

#include <algorithm>

namespace platform {

namespace {
constexpr std::int64_t kTopStep = 255;
}  // namespace

std::uint8_t StepOfElement(long value, long steps) {
  if (steps <= 0) return 0;
  const std::int64_t k = std::clamp<std::int64_t>(value, 0, steps);
  return static_cast<std::uint8_t>((2 * kTopStep * k + steps) / (2 * std::int64_t{steps}));
}

long ElementOfStep(std::uint8_t step, long steps) {
  if (steps <= 0) return 0;
  return static_cast<long>((2 * std::int64_t{step} * steps + kTopStep) / (2 * kTopStep));
}

}  // namespace platform
