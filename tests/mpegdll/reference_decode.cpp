// libmpg123 straight on the file, and a small WAV reader.
#include "tests/mpegdll/reference_decode.h"

#include <mpg123.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace mpegdlltest {

Pcm Pcm::Slice(std::size_t from, std::size_t count) const {
  Pcm out{rate, channels, {}};
  const std::size_t ch = static_cast<std::size_t>(channels);
  if (from >= Frames()) return out;
  count = std::min(count, Frames() - from);
  out.samples.assign(samples.begin() + static_cast<std::ptrdiff_t>(from * ch),
                     samples.begin() + static_cast<std::ptrdiff_t>((from + count) * ch));
  return out;
}

Pcm DirectDecode(const std::string& path) {
  Pcm pcm;
  mpg123_init();
  mpg123_handle* h = mpg123_new(nullptr, nullptr);
  if (!h) return pcm;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(h);
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i) mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open(h, path.c_str()) == MPG123_OK) {
    std::vector<unsigned char> buffer(32768);
    for (;;) {
      std::size_t done = 0;
      const int r = mpg123_read(h, buffer.data(), buffer.size(), &done);
      if (r == MPG123_NEW_FORMAT) {
        int encoding = 0;
        mpg123_getformat(h, &pcm.rate, &pcm.channels, &encoding);
      }
      const auto* s = reinterpret_cast<const std::int16_t*>(buffer.data());
      pcm.samples.insert(pcm.samples.end(), s, s + done / 2);
      if (r != MPG123_OK && r != MPG123_NEW_FORMAT) break;
    }
  }
  mpg123_close(h);
  mpg123_delete(h);
  return pcm;
}

namespace {

std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

WavFile ReadWav(const std::string& path) {
  WavFile wav;
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  wav.fileSize = bytes.size();
  if (bytes.size() < 44) return wav;
  const unsigned char* b = bytes.data();
  if (std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVEfmt ", 8) != 0 || std::memcmp(b + 36, "data", 4) != 0)
    return wav;
  if (Le16(b + 20) != 1 || Le16(b + 34) != 16) return wav;
  wav.riffSize = Le32(b + 4);
  wav.dataSize = Le32(b + 40);
  wav.pcm.channels = Le16(b + 22);
  wav.pcm.rate = static_cast<long>(Le32(b + 24));
  const std::size_t available = bytes.size() - 44;
  const std::size_t take = std::min<std::size_t>(available, wav.dataSize) / 2;
  const auto* s = reinterpret_cast<const std::int16_t*>(b + 44);
  wav.pcm.samples.assign(s, s + take);
  wav.valid = true;
  return wav;
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (auto& c : out) c = static_cast<char>(random() & 0xFF);
  return out;
}

}  // namespace mpegdlltest
