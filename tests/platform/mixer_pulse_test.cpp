// The volume functions on ALSA's mixer of a private sound server: "Master" is the sink's volume.
#include "platform/mixer/mixer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/pulse_server.h"

namespace {

using platform::MixerResult;
using testsupport::PulseServer;

class PulseMixer : public ::testing::Test {
 protected:
  // Each test has a server of its own: the mixer must connect to this one.
  PulseMixer() { platform::CloseMixer(); }
  ~PulseMixer() override { platform::CloseMixer(); }

  PulseServer server_;
};

// The wave volume once it differs from `before`: the server tells its clients of a change a
// moment after pactl returns. `before` itself when nothing changed within two seconds.
std::uint32_t VolumeOnceChanged(std::uint32_t before) {
  std::uint32_t volume = before;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (volume == before && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  }
  return volume;
}

TEST_F(PulseMixer, WaveOutputIsTheSinksStereoMaster) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  ASSERT_EQ(platform::WaveOutGetNumDevs(), 1u);
  platform::WaveOutCaps caps;
  ASSERT_EQ(platform::WaveOutGetDevCaps(0, caps), MixerResult::kNoError);
  EXPECT_EQ(caps.name, "Master");
  EXPECT_EQ(caps.support, platform::kWaveCapsVolume | platform::kWaveCapsLrVolume);
}

TEST_F(PulseMixer, GetSeesTheVolumeSetWithPactl) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  std::uint32_t volume = 0;
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume, 0xFFFFFFFFu) << "a new sink is at 100 %";
  ASSERT_TRUE(server_.SetSinkVolume(32768, 16384));  // 50 % and 25 % of 0..65536
  volume = VolumeOnceChanged(volume);
  EXPECT_EQ(volume & 0xFFFF, 128u * 0x101);
  EXPECT_EQ(volume >> 16, 64u * 0x101);
}

TEST_F(PulseMixer, SetReachesTheSinkAndAnUnchangedSetLeavesIt) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  ASSERT_EQ(platform::WaveOutGetNumDevs(), 1u);  // opens the device, which a set never does
  ASSERT_EQ(platform::WaveOutSetVolume(0, 0xC8004000), MixerResult::kNoError);  // steps 64 and 200
  std::uint32_t left = 0, right = 0;
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, 16448u);   // round(64 * 65536 / 255)
  EXPECT_EQ(right, 51401u);  // round(200 * 65536 / 255)
  ASSERT_EQ(platform::WaveOutSetVolume(0, 0x40004000), MixerResult::kNoError);
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, 16448u);
  EXPECT_EQ(right, 16448u);

  // Another program sets a value between two steps; setting the step it reads as again and
  // again settles on one value after the first set.
  ASSERT_TRUE(server_.SetSinkVolume(30001, 30001));
  const std::uint32_t volume = VolumeOnceChanged(0x40404040);
  ASSERT_EQ(volume, 117u * 0x101 * 0x10001);
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(platform::WaveOutSetVolume(0, (volume & 0xFF00) * 0x10001), MixerResult::kNoError);
  }
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, 30069u);  // step round(30001 * 255 / 65536) = 117
  EXPECT_EQ(right, 30069u);
}

// Started with no sound server, the mixer reaches one that starts later, lets it go when it stops
// (pactl exit) and reaches the next: the volume is read and set each time.
TEST(PulseMixerComingAndGoing, TheMixerFollowsTheSoundServer) {
  const char* const previous = std::getenv("PULSE_SERVER");
  const std::string restore = previous ? previous : "";
  ::setenv("PULSE_SERVER", "unix:/nonexistent/albavox-no-server", 1);
  platform::CloseMixer();
  const auto within5Seconds = [](const auto& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
  };
  std::uint32_t volume = 0;
  EXPECT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kBadDeviceId);
  std::optional<PulseServer> server(std::in_place);
  for (const char* round : {"started", "started again"}) {
    ASSERT_TRUE(server->Running()) << server->Why();
    ASSERT_TRUE(within5Seconds([&] { return platform::WaveOutGetVolume(0, volume) == MixerResult::kNoError; }))
        << round;
    EXPECT_EQ(volume, 0xFFFFFFFFu) << round << ": a new sink is at 100 %";
    ASSERT_EQ(platform::WaveOutSetVolume(0, 0x80008000), MixerResult::kNoError);
    std::uint32_t left = 0, right = 0;
    ASSERT_TRUE(server->SinkVolume(left, right));
    EXPECT_EQ(left, 32897u) << round;  // 128 / 255 of 65536, rounded
    EXPECT_EQ(right, 32897u) << round;
    ASSERT_TRUE(server->Pactl("exit"));
    EXPECT_TRUE(within5Seconds([&] { return platform::WaveOutGetVolume(0, volume) != MixerResult::kNoError; }));
    server.reset();
    server.emplace();
  }
  platform::CloseMixer();
  if (previous) {
    ::setenv("PULSE_SERVER", restore.c_str(), 1);
  } else {
    ::unsetenv("PULSE_SERVER");
  }
}

}  // namespace
