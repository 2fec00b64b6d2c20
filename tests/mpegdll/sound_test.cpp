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
  EXPECT_EQ(dll.GetCurrentPos(), dll.GetLength());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
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

TEST_F(SoundTest, ServerThatGoesAwayWhilePlayingEndsWithOutputFailureAtTheNextCall) {
  auto server = std::make_unique<PulseServer>();
  ASSERT_TRUE(server->Running()) << server->Why();
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(5.0))), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  for (int i = 0; i < 5000 && dll.GetCurrentPos() < 200; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GE(dll.GetCurrentPos(), 200);
  server.reset();
  int code = 0;
  for (int i = 0; i < 5000 && code == 0; ++i) {
    dll.GetCurrentPos();
    code = dll.LastError();
    if (code == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(code, MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
  EXPECT_EQ(dll.LastError(), 0);
  EXPECT_EQ(endByte, 0);
}

}  // namespace
}  // namespace mpegdlltest
