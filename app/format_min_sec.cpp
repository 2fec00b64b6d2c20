// Song times as the player panel shows them.
#include "app/format_min_sec.h"

#include <cstdio>

namespace app {

std::string FormatMinSec(std::uint16_t seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u", static_cast<unsigned>(seconds / 60),
                static_cast<unsigned>(seconds % 60));
  return text;
}

}  // namespace app
