// Opening a file for reading without ever waiting on what its name leads to.
#pragma once

#include <string>

namespace platform {

// Opens `path` read-only (close-on-exec) when it names a regular file and gives the descriptor,
// whose reads block as usual. Anything else is refused at once, without waiting for a writer or
// a device: -1 with errno EISDIR for a folder and ENXIO for a FIFO, a device or a socket, which
// callers treat as they treat a missing file; -1 with the system's errno when it cannot be
// opened at all. The name is used as written (resolve it first where letter case may differ).
int OpenRegularFile(const std::string& path);

}  // namespace platform
