// Song times as the player panel shows them.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// Whole seconds as minutes (at least two digits), ":" and two-digit seconds: 3725 -> "62:05".
std::string FormatMinSec(std::uint16_t seconds);

}  // namespace app
