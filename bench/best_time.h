// Timing helper shared by the benchmarks: the best of several rounds, which is the least
// disturbed by whatever else the machine is doing.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

// The best of `rounds` timings of `work`, in microseconds.
inline double BestMicros(int rounds, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace bench
