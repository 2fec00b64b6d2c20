// Timing and data files shared by the analysis benchmarks.
#include "bench_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace bench {

double BestOf(int rounds, const std::function<void()>& run) {
  double best = 1e300;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void EnsureFile(const std::string& path, std::size_t size, const std::function<std::string()>& bytes) {
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) == size && !ec) return;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const std::string content = bytes();
  if (content.size() != size) throw std::logic_error("generated data has the wrong size: " + path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::size_t ReadWhole(const std::string& path, std::size_t block) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  const auto buffer = std::make_unique_for_overwrite<char[]>(block);
  std::size_t total = 0;
  ssize_t got = 0;
  while ((got = ::read(fd, buffer.get(), block)) > 0) total += static_cast<std::size_t>(got);
  ::close(fd);
  return total;
}

}  // namespace bench
