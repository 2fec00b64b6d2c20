// What this process uses: processor time, resident memory, open descriptors.
#pragma once

#include <cstddef>

namespace testsupport {

// Processor time used by all threads of the process so far (user + system), seconds.
double CpuSeconds();
// Resident memory of the process, kilobytes.
long ResidentKb();
// Open file descriptors of the process.
std::size_t OpenDescriptors();

}  // namespace testsupport
