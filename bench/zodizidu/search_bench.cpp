// The frame search through 100 MB of junk without a frame, against plain read() of the same file;
// and the cost of the message pump's 300-byte rhythm with a trivial pump installed.
#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

constexpr std::size_t kSize = 100 * 1000 * 1000;
constexpr int kRounds = 15;

volatile unsigned long gPumpCalls = 0;
void TrivialPump() { gPumpCalls = gPumpCalls + 1; }

double Analyze(const std::string& path) {
  return bench::BestOf(1, [&] {
    zodizidu::TMPEGAudio audio;
    audio.SetAutoRead(false);
    audio.SetFileName(path);
    if (audio.Analyze() != -1 || audio.IsValid()) std::printf("unexpected: a frame in the junk\n");
  });
}

}  // namespace

int main() {
  const std::string path = std::string(ZODIZIDU_BENCH_DATA) + "/junk-100MB.bin";
  bench::EnsureFile(path, kSize, [] { return testsupport::Junk(kSize, 12345); });
  bench::ReadWhole(path, 1 << 20);  // into the page cache

  // Interleaved rounds, the best of each kind: other work on the machine hits all kinds alike.
  double read256k = 1e300, read1m = 1e300, search = 1e300, pumped = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    read256k = std::min(read256k, bench::BestOf(1, [&] { bench::ReadWhole(path, 256 * 1024); }));
    read1m = std::min(read1m, bench::BestOf(1, [&] { bench::ReadWhole(path, 1024 * 1024); }));
    zodizidu::SetMessagePump(nullptr);
    search = std::min(search, Analyze(path));
    zodizidu::SetMessagePump(&TrivialPump);
    pumped = std::min(pumped, Analyze(path));
  }
  zodizidu::SetMessagePump(nullptr);

  const double mb = kSize / 1e6;
  std::printf("frame search through %.0f MB of junk (page cache), best of %d\n", mb, kRounds);
  std::printf("  read() 256 KiB blocks   %8.1f ms  %7.0f MB/s\n", read256k * 1e3, mb / read256k);
  std::printf("  read() 1 MiB blocks     %8.1f ms  %7.0f MB/s\n", read1m * 1e3, mb / read1m);
  std::printf("  search, no pump         %8.1f ms  %7.0f MB/s\n", search * 1e3, mb / search);
  std::printf("  search, trivial pump    %8.1f ms  %7.0f MB/s  (%lu calls per run)\n", pumped * 1e3, mb / pumped,
              static_cast<unsigned long>(gPumpCalls / kRounds));
  const double bestRead = std::min(read256k, read1m);
  std::printf("ratio search/read throughput: %.2f (target >= 0.5)\n", bestRead / search);
  std::printf("ratio pump rhythm cost/search cost: %.2f (target <= 1.0)\n", (pumped - search) / search);
  return 0;
}
