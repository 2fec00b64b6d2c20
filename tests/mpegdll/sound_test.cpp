// MPEGDLL.DLL playing through a private PulseAudio server: heard at the sink's monitor as decoded and
// where its position says, and playing again once the server comes back or starts after a failed Play.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <tuple>

#include "tests/mpegdll/dll_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/process_usage.h"
#include "tests/support/pulse_server.h"
#include "tests/support/sound_match.h"

namespace mpegdlltest {
namespace {

using namespace std::chrono_literals;
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
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(2.0))), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);  // ALSA's configuration read with the null device, then
  unsetenv("ALSA_CONFIG_PATH");            // its own, which routes to a server once one answers
  setenv("PULSE_SERVER", ("unix:" + (dir.path() / "nobody").string()).c_str(), 1);
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_OUTPUT);
  PulseServer server;  // its end puts PULSE_SERVER back as it found it
  ASSERT_TRUE(server.Running()) << server.Why();
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  std::string streams;
  EXPECT_TRUE(server.Pactl("list short sink-inputs", &streams) && !streams.empty()) << "not at the server";
}

// A song paused three times, once at once after resuming, its position read every millisecond:
// the position moves with the sound and never back, and the song goes on where it says it paused.
TEST_F(SoundTest, PositionFollowsTheSoundThroughPauses) {
  PulseServer server;
  ASSERT_TRUE(server.Running()) << server.Why();
  PulseServer::Recording recording(server);
  ASSERT_TRUE(recording.Started());
  const std::string path = Write("song.mp3", GeneratedMp3(3.0));
  const Pcm song = DirectDecode(path);
  ASSERT_TRUE(dll.OpenFile(path) == 0 && dll.Play(0, 0, &endByte) == 0);
  std::vector<long> read, paused;
  const auto watch = [&](int ms) {
    for (int i = 0; i < ms; ++i, std::this_thread::sleep_for(1ms)) read.push_back(dll.GetCurrentPos());
  };
  for (const int playMs : {700, 0, 400, 400}) {
    watch(playMs);
    ASSERT_EQ(dll.Pause(0), 0);
    paused.push_back(dll.GetCurrentPos());
    watch(200);
    ASSERT_EQ(dll.Pause(1), 0);
  }
  const std::vector<std::int16_t> heard = recording.Stop();

  // The stretches of the song heard, in order: [first frame, frame after the last).
  std::vector<std::pair<long, long>> pieces;
  for (std::size_t at = 0; (at + 64) * 2 <= heard.size(); ++at) {
    const std::vector<std::int16_t> probe(heard.begin() + at * 2, heard.begin() + (at + 64) * 2);
    const long first = testsupport::FindPiece(song.samples, probe).offset;
    if (first < 0) continue;
    const auto stop =
        std::mismatch(heard.begin() + at * 2, heard.end(), song.samples.begin() + first * 2, song.samples.end()).first;
    pieces.emplace_back(first, first + (stop - heard.begin()) / 2 - static_cast<long>(at));
    at += pieces.back().second - first;
  }
  ASSERT_GE(pieces.size(), 3u);
  long skipped = 0, repeated = 0, astray = 0, back = 0, moves = 0;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    skipped = std::max(skipped, pieces[i].first - pieces[i - 1].second);
    repeated = std::max(repeated, pieces[i - 1].second - pieces[i].first);
    const long ms = pieces[i].first * 1000 / PulseServer::kRate;
    astray += std::none_of(paused.begin(), paused.end(), [&](long at) { return std::abs(at - ms) <= 2; });
  }
  for (std::size_t i = 1; i < read.size(); ++i) {
    moves += read[i] != read[i - 1];
    back += read[i] < read[i - 1];
  }
  const std::tuple<const char*, long, long> checks[] = {
      {"mean step of the position, ms", (read.back() - read.front()) / std::max(1L, moves), 20},
      {"steps back of the position", back, 0},
      {"frames of the song skipped at a pause", skipped, 0},
      {"frames heard twice at a pause (what the sink had taken)", repeated, PulseServer::kRate / 50},
      {"resumes more than 2 ms away from the position at a pause", astray, 0},
  };
  for (const auto& [what, value, limit] : checks) EXPECT_LE(value, limit) << what;
}

}  // namespace
}  // namespace mpegdlltest
