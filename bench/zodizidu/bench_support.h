// Timing and data files shared by the analysis benchmarks.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace bench {

// Seconds taken by the fastest of `rounds` runs of `run`.
double BestOf(int rounds, const std::function<void()>& run);

// Writes `bytes` to `path` unless a file of that size is already there (data is kept between
// runs); makes the parent folders.
void EnsureFile(const std::string& path, std::size_t size, const std::function<std::string()>& bytes);

// Reads the whole file once with read() in blocks of `block` bytes; returns the bytes read.
std::size_t ReadWhole(const std::string& path, std::size_t block);

}  // namespace bench
