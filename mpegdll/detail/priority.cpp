// Per-thread nice values (Linux schedules each thread with its own).
#include "mpegdll/detail/priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace mpegdll::detail {

int NiceForPriority(std::int32_t priority) {
  if (priority <= -15) return 19;
  if (priority <= -2) return 10;
  if (priority == -1) return 5;
  if (priority == 0) return 0;
  if (priority == 1) return -5;
  if (priority < 15) return -10;
  return -20;
}

void ApplyPriority(std::int32_t priority) {
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  // Without the right to raise priority this fails; playing goes on at the current one.
  (void)::setpriority(PRIO_PROCESS, tid, NiceForPriority(priority));
}

}  // namespace mpegdll::detail
