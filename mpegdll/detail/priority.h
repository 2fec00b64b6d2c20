// Thread priority levels of the program mapped onto the nice values of the decode thread.
#pragma once

#include <cstdint>

namespace mpegdll::detail {

// -15 (idle) .. 0 (normal) .. 15 (time critical) to a nice value 19 .. -20.
int NiceForPriority(std::int32_t priority);

// Gives the calling thread the nice value of `priority`; silently keeps its own when the process
// may not take it.
void ApplyPriority(std::int32_t priority);

}  // namespace mpegdll::detail
