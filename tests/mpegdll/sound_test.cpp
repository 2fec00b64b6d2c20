// MPEGDLL.DLL playing through a private PulseAudio server: what it plays is heard at the sink's
// monitor, and a server that goes away while it plays ends playing with an output failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "tests/mpegdll/dll_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/process_usage.h"
#include "tests/support/pulse_server.h"

namespace mpegdlltest {
namespace {

using testsupport::GeneratedMp3;
using testsupport::PulseServer;

class SoundTest : public DllTest {};

TEST_F(SoundTest, PlayedSongIsHeardAtTheSinkMonitorAsDecoded) {
  PulseServer server;
  ASSERT_TRUE(server.Running()) << server.Why();
  PulseServer::Recording recording(server);
  ASSERT_TRUE(recording.Started());
  const std::string path = Write("song.mp3", GeneratedMp3(1.0));
  const Pcm direct = DirectDecode(path);
  ASSERT_EQ(dll.OpenFile(path), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  // The byte comes while the last moments still play; the position reaches the end with them.
  EXPECT_GT(dll.GetCurrentPos(), dll.GetLength() - 250);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(dll.GetCurrentPos(), dll.GetLength());
  const std::vector<std::int16_t> heard = recording.Stop();

  ASSERT_GE(testsupport::FirstSoundFrame(heard), 0) << "nothing heard";
  // The monitor may miss the first milliseconds of a stream (the sink rewinds what it had mixed
  // already); from there on every frame of the song reaches the sink unchanged.
  constexpr std::size_t kFrom = 2048;
  constexpr std::size_t kProbe = 256;
  const std::size_t frames = direct.Frames();
  std::size_t offset = 0;
  bool found = false;
  for (; !found && (offset + frames) * 2 <= heard.size(); ++offset) {
    found = std::equal(direct.samples.begin() + kFrom * 2, direct.samples.begin() + (kFrom + kProbe) * 2,
                       heard.begin() + static_cast<std::ptrdiff_t>((offset + kFrom) * 2));
  }
  ASSERT_TRUE(found) << "the song is not in the recording";
  --offset;
  std::size_t differing = 0;
  for (std::size_t i = kFrom * 2; i < frames * 2; ++i) {
    if (heard[offset * 2 + i] != direct.samples[i]) ++differing;
  }
  EXPECT_EQ(differing, 0u);
}

// The sound server exits while a song plays and is started again: the run stops with an output
// failure reported once, nothing spins meanwhile, and the next start plays again without the
// library being loaded anew.
TEST_F(SoundTest, ServerLostWhilePlayingStopsOnceAndPlaysAgainOnceItIsBack) {
  auto server = std::make_unique<PulseServer>();
  ASSERT_TRUE(server->Running()) << server->Why();
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(5.0))), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(server->Pactl("exit"));
  int code = 0;
  for (int i = 0; i < 500 && code == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    dll.GetCurrentPos();
    code = dll.LastError();
  }
  EXPECT_EQ(code, MPEG_ERROR_OUTPUT);
  const double cpu = testsupport::CpuSeconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_LT(testsupport::CpuSeconds() - cpu, 0.15) << "something spins";
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
  EXPECT_EQ(dll.LastError(), 0) << "the fault is reported once";
  EXPECT_EQ(endByte, 0);

  server.reset();  // the environment it set goes with it before the new one sets its own
  server = std::make_unique<PulseServer>();
  ASSERT_TRUE(server->Running()) << server->Why();
  PulseServer::Recording recording(*server);
  ASSERT_TRUE(recording.Started());
  ASSERT_EQ(dll.Restart(), 0);
  // Half a second at the monitor: the server's own start may lag what the position says.
  for (int i = 0; i < 5000 && recording.FramesSoFar() < PulseServer::kRate / 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(dll.Stop(), 0);
  EXPECT_GE(testsupport::FirstSoundFrame(recording.Stop()), 0) << "nothing heard once the server was back";
}

// No sound server answers the first "Play"; the next one reaches the server started meanwhile.
TEST_F(SoundTest, ServerStartedAfterAFailedPlayIsReached) {
  unsetenv("ALSA_CONFIG_PATH");  // ALSA's own configuration, which routes to a server once one answers
  setenv("PULSE_SERVER", ("unix:" + (dir.path() / "nobody").string()).c_str(), 1);
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(2.0))), 0);
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_OUTPUT);
  {
    PulseServer server;
    ASSERT_TRUE(server.Running()) << server.Why();
    PulseServer::Recording recording(server);
    ASSERT_TRUE(recording.Started());
    ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
    for (int i = 0; i < 5000 && recording.FramesSoFar() < PulseServer::kRate / 2; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(dll.Stop(), 0);
    EXPECT_GE(testsupport::FirstSoundFrame(recording.Stop()), 0) << "nothing heard";
  }
  unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace mpegdlltest
