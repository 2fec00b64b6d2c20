// The private sound server as the tests use it: ALSA's "default" plays into its null sink, the
// monitor records what was played, and pactl sets and reads the sink's volume.
#include "tests/support/pulse_server.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using testsupport::PulseServer;

// Plays `seconds` of a 1 kHz tone at the given amplitude through ALSA's default device.
bool PlayTone(double seconds, int amplitude) {
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return false;
  bool ok = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 2, PulseServer::kRate, 1,
                               100000) >= 0;
  const auto frames = static_cast<std::size_t>(seconds * PulseServer::kRate);
  std::vector<std::int16_t> samples(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    const auto v = static_cast<std::int16_t>(amplitude *
                                             std::sin(2 * M_PI * 1000.0 * static_cast<double>(i) / PulseServer::kRate));
    samples[2 * i] = samples[2 * i + 1] = v;
  }
  if (ok) ok = snd_pcm_writei(pcm, samples.data(), frames) == static_cast<snd_pcm_sframes_t>(frames);
  if (ok) ok = snd_pcm_drain(pcm) >= 0;
  snd_pcm_close(pcm);
  return ok;
}

TEST(PulseServer, AlsaDefaultIsHeardAtTheSinkMonitor) {
  PulseServer server;
  ASSERT_TRUE(server.Running()) << server.Why();
  PulseServer::Recording recording(server);
  ASSERT_TRUE(recording.Started());
  ASSERT_TRUE(PlayTone(0.3, 8000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::vector<std::int16_t> heard = recording.Stop();
  ASSERT_GE(testsupport::FirstSoundFrame(heard, 4000), 0) << "no tone at the monitor";
  int peak = 0;
  for (const std::int16_t s : heard) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_NEAR(peak, 8000, 400);
}

TEST(PulseServer, SinkVolumeSetAndReadBackPerChannel) {
  PulseServer server;
  ASSERT_TRUE(server.Running()) << server.Why();
  ASSERT_TRUE(server.SetSinkVolume(30000, 50000));
  std::uint32_t left = 0, right = 0;
  ASSERT_TRUE(server.SinkVolume(left, right));
  EXPECT_EQ(left, 30000u);
  EXPECT_EQ(right, 50000u);
}

}  // namespace
