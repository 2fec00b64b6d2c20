// The share of a song played, as the player panel shows it.
#pragma once

#include <cstdint>

namespace app {

// position × 100 / maximum rounded to the nearest whole number, halves to the even neighbour
// (1 of 8 is 12, 3 of 8 is 38); 0 when the maximum is 0.
std::int32_t PercentOf(std::int32_t position, std::int32_t maximum);

}  // namespace app
