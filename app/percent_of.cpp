// PercentOf: computed in floating point, rounded with the default rounding mode (to nearest, ties
// to even).
#include "app/percent_of.h"

#include <cmath>

namespace app {

std::int32_t PercentOf(std::int32_t position, std::int32_t maximum) {
  if (maximum == 0) return 0;
  return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(position) * 100.0 / maximum));
}

}  // namespace app
