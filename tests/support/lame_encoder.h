// MP3 test material made by libmp3lame from generated samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct LameSettings {
  int sampleRate = 44100;  // input and output rate, Hz (no resampling by the encoder)
  int channels = 2;        // 1 = mono, 2 = joint stereo
  int kbps = 128;          // constant bit rate
  bool vbr = false;        // variable bit rate (quality 4) instead of `kbps`
  bool infoTag = true;     // a first Xing/Info frame with frame count, encoder delay and padding
};

// Interleaved 16-bit samples, `seconds` long: gliding tones with a little deterministic noise, so
// that no stretch of the signal repeats another.
std::vector<std::int16_t> TestSignal(int sampleRate, int channels, double seconds, std::uint32_t seed = 1);

// `samples` (interleaved, `settings.channels` per frame) encoded as a whole MP3 file.
std::string EncodeMp3(const std::vector<std::int16_t>& samples, const LameSettings& settings);

// TestSignal() of `seconds` encoded with `settings`.
std::string GeneratedMp3(double seconds, const LameSettings& settings = {}, std::uint32_t seed = 1);

}  // namespace testsupport
