// libmp3lame driven from memory; the Info/Xing frame is written back once the frame count is known.
#include "tests/support/lame_encoder.h"

#include <lame/lame.h>

#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

namespace testsupport {

std::vector<std::int16_t> TestSignal(int sampleRate, int channels, double seconds, std::uint32_t seed) {
  const auto frames = static_cast<std::size_t>(seconds * sampleRate);
  std::vector<std::int16_t> out(frames * static_cast<std::size_t>(channels));
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const double twoPi = 2.0 * std::numbers::pi;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    const double progress = frames > 1 ? static_cast<double>(i) / static_cast<double>(frames - 1) : 0.0;
    // The first tone glides from 220 Hz upwards; its phase is the integral of its frequency.
    const double glide = 220.0 * t + 0.5 * 1200.0 * progress * t;
    for (int c = 0; c < channels; ++c) {
      const double v =
          0.45 * std::sin(twoPi * glide + c) + 0.2 * std::sin(twoPi * (330.0 + 110.0 * c) * t) + 0.03 * noise(random);
      out[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
          static_cast<std::int16_t>(std::lround(v * 32767.0 * 0.8));
    }
  }
  return out;
}

std::string EncodeMp3(const std::vector<std::int16_t>& samples, const LameSettings& settings) {
  lame_global_flags* lame = lame_init();
  if (!lame) throw std::runtime_error("lame_init failed");
  lame_set_in_samplerate(lame, settings.sampleRate);
  lame_set_out_samplerate(lame, settings.sampleRate);
  lame_set_num_channels(lame, settings.channels);
  lame_set_mode(lame, settings.channels == 1 ? MONO : JOINT_STEREO);
  lame_set_quality(lame, 7);
  if (settings.vbr) {
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, 4.0f);
  } else {
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, settings.kbps);
  }
  lame_set_bWriteVbrTag(lame, settings.infoTag ? 1 : 0);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_init_params refused the settings");
  }
  const std::size_t frames = samples.size() / static_cast<std::size_t>(settings.channels);
  std::vector<unsigned char> buffer(frames + frames / 4 + 7200);
  std::string mp3;
  const std::size_t step = 1152 * 16;
  for (std::size_t at = 0; at < frames; at += step) {
    const int count = static_cast<int>(std::min(step, frames - at));
    const short* from = samples.data() + at * static_cast<std::size_t>(settings.channels);
    const int got = settings.channels == 1
                        ? lame_encode_buffer(lame, from, from, count, buffer.data(), static_cast<int>(buffer.size()))
                        : lame_encode_buffer_interleaved(lame, const_cast<short*>(from), count, buffer.data(),
                                                         static_cast<int>(buffer.size()));
    if (got < 0) {
      lame_close(lame);
      throw std::runtime_error("lame_encode_buffer failed");
    }
    mp3.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(got));
  }
  const int tail = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
  if (tail > 0) mp3.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(tail));
  if (settings.infoTag) {
    const std::size_t tagSize = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
    if (tagSize > 0 && tagSize <= mp3.size())
      mp3.replace(0, tagSize, reinterpret_cast<const char*>(buffer.data()), tagSize);
  }
  lame_close(lame);
  return mp3;
}

std::string GeneratedMp3(double seconds, const LameSettings& settings, std::uint32_t seed) {
  return EncodeMp3(TestSignal(settings.sampleRate, settings.channels, seconds, seed), settings);
}

}  // namespace testsupport
