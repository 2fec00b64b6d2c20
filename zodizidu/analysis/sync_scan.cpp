// The sync scan: vectors of 16 lanes everywhere, of 32 lanes where the processor has AVX2.
#include <cstring>

#include "zodizidu/analysis/detail/sync_scan.h"

namespace zodizidu::detail {

// The vector helpers below are always inlined into the finders, so no call passes a 32-byte
// vector and the warning about that calling convention does not apply (in this whole file).
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

// A sync starts at lane k when min(p[k], p[k + 1] | 0x1F) is 0xFF. The maximum of such minimums
// over several vectors shows whether any lane of any of them starts one.
using Lanes16 = std::uint8_t __attribute__((vector_size(16)));
using Lanes32 = std::uint8_t __attribute__((vector_size(32)));

template <typename V>
[[gnu::always_inline]] inline V SyncMinimums(const std::uint8_t* p) {
  V first;
  V second;
  std::memcpy(&first, p, sizeof(V));
  std::memcpy(&second, p + 1, sizeof(V));
  second |= 0x1F;
  return first < second ? first : second;
}

template <typename V>
[[gnu::always_inline]] inline V Max(V a, V b) {
  return a > b ? a : b;
}

template <typename V>
[[gnu::always_inline]] inline bool AnyFull(V lanes) {
  const V full = lanes == 0xFF ? V{} + 1 : V{};
  std::uint64_t words[sizeof(V) / 8];
  std::memcpy(words, &full, sizeof(V));
  std::uint64_t any = 0;
  for (std::uint64_t w : words) any |= w;
  return any != 0;
}

// Whether a sync starts in p[0..4N) for vectors of N lanes; reads p[0..4N].
template <typename V>
[[gnu::always_inline]] inline bool AnySyncIn4(const std::uint8_t* p) {
  constexpr std::size_t n = sizeof(V);
  return AnyFull<V>(Max<V>(Max<V>(SyncMinimums<V>(p), SyncMinimums<V>(p + n)),
                           Max<V>(SyncMinimums<V>(p + 2 * n), SyncMinimums<V>(p + 3 * n))));
}

// Skips blocks of four vectors of starting positions, then blocks of 16, then looks byte by byte.
template <typename V>
[[gnu::always_inline]] inline std::size_t Find(const std::uint8_t* v, std::size_t i, std::size_t end) {
  while (true) {
    while (i + 4 * sizeof(V) <= end && !AnySyncIn4<V>(v + i)) i += 4 * sizeof(V);
    while (i + 16 <= end && !AnyFull<Lanes16>(SyncMinimums<Lanes16>(v + i))) i += 16;
    const std::size_t stop = i + 16 < end ? i + 16 : end;
    for (; i < stop; ++i)
      if (IsSyncStart(v + i)) return i;
    if (i >= end) return end;
  }
}

}  // namespace

std::size_t FindSyncStartPortable(const std::uint8_t* v, std::size_t from, std::size_t end) {
  return Find<Lanes16>(v, from, end);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) std::size_t FindSyncStartWide(const std::uint8_t* v, std::size_t from,
                                                              std::size_t end) {
  return Find<Lanes32>(v, from, end);
}

bool HasWideVectors() { return __builtin_cpu_supports("avx2"); }
#else
std::size_t FindSyncStartWide(const std::uint8_t* v, std::size_t from, std::size_t end) {
  return Find<Lanes16>(v, from, end);
}

bool HasWideVectors() { return false; }
#endif

std::size_t FindSyncStart(const std::uint8_t* v, std::size_t from, std::size_t end) {
  static const SyncFinder finder = HasWideVectors() ? &FindSyncStartWide : &FindSyncStartPortable;
  return finder(v, from, end);
}

}  // namespace zodizidu::detail
