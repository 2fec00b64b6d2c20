// System calls that a signal may interrupt before they have done anything, retried until they
// give a real answer.
#pragma once

#include <cerrno>
#include <utility>

namespace platform {

// Calls `call` (a system call wrapped in a lambda, returning a negative value with errno set on
// failure) again for as long as it fails with EINTR, and gives its first real answer.
template <typename Call>
auto RetryInterrupted(Call&& call) -> decltype(call()) {
  for (;;) {
    auto result = call();
    if (!(result < 0 && errno == EINTR)) return result;
  }
}

}  // namespace platform
