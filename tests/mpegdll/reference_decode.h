// Test helpers: a direct libmpg123 decode to compare with, and reading back WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mpegdlltest {

struct Pcm {
  long rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;  // interleaved

  std::size_t Frames() const { return channels ? samples.size() / static_cast<std::size_t>(channels) : 0; }
  // Frames [from, from + count) as a new Pcm.
  Pcm Slice(std::size_t from, std::size_t count) const;
};

// The whole file decoded by libmpg123 with its default (gapless) settings, 16-bit output.
Pcm DirectDecode(const std::string& path);

struct WavFile {
  bool valid = false;  // RIFF/WAVE with a PCM fmt chunk and a data chunk
  std::uint32_t riffSize = 0;
  std::uint32_t dataSize = 0;
  std::size_t fileSize = 0;
  Pcm pcm;
};

// Reads a canonical 44-byte-header WAV file.
WavFile ReadWav(const std::string& path);

// `size` pseudo-random bytes: unlike testsupport::Junk they hold false frame syncs and, every few
// megabytes, false frame pairs.
std::string RandomBytes(std::size_t size, std::uint32_t seed);

}  // namespace mpegdlltest
