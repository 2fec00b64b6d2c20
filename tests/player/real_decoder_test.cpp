// TMPEGPlayer driving the real MPEGDLL.DLL: a song played into a WAV file and through the private
// sound server, positions and the end reported by the timer, pause, resume, stop and play again,
// and a stream played from memory through the six events.
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "player/mpeg_player.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"
#include "tests/support/sound_match.h"
#include "tests/support/temp_dir.h"

namespace {

using player::TMPEGPlayer;
using testsupport::PulseServer;

class RealDecoder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new PulseServer;
    song_ = new std::string(testsupport::GeneratedMp3(2.0));
  }
  static void TearDownTestSuite() {
    delete server_;
    delete song_;
  }

  void SetUp() override {
    ASSERT_TRUE(server_->Running()) << server_->Why();
    path_ = dir_.WriteFile("song.mp3", *song_).string();
    player_.SetPathToDLL(std::filesystem::path(MPEGDLL_PATH).parent_path().string());
    player_.SetUseTimer(true);
    player_.SetTimerFreq(100);
    player_.LoadDecoder();
    player_.SetStreamName(path_);
    player_.OnPosUpdate = [this](std::int32_t pos, std::int32_t len) {
      positions_.push_back(pos);
      length_ = len;
    };
    player_.OnPlayEnd = [this](TMPEGPlayer&) { ++ends_; };
  }

  void TearDown() override {
    if (player_.DecoderLoaded()) player_.UnloadDecoder();
  }

  bool WaitForEnd(int seconds = 10) {
    return QTest::qWaitFor([this] { return ends_ > 0; }, seconds * 1000);
  }

  static PulseServer* server_;
  static std::string* song_;
  testsupport::TempDir dir_;
  std::string path_;
  TMPEGPlayer player_;
  std::vector<std::int32_t> positions_;
  std::int32_t length_ = 0;
  int ends_ = 0;
};

PulseServer* RealDecoder::server_ = nullptr;
std::string* RealDecoder::song_ = nullptr;

TEST_F(RealDecoder, SongIntoAWavFileReportsPositionsAndEndsOnce) {
  const std::string wav = dir_.path() / "out.wav";
  player_.SetOutFilename(wav);
  player_.SetOutputDevice(player::TOutputDevice::pcmfile);
  player_.Play();
  EXPECT_EQ(positions_.size(), 1u) << "the start is reported at once";
  ASSERT_TRUE(WaitForEnd());
  QTest::qWait(300);  // a second end would come with the next ticks
  EXPECT_EQ(ends_, 1);
  EXPECT_NEAR(length_, 2000, 60);
  for (const std::int32_t p : positions_) EXPECT_LE(p, length_);
  EXPECT_FALSE(player_.PositionTimer()->isActive());

  const mpegdlltest::WavFile out = mpegdlltest::ReadWav(wav);
  const mpegdlltest::Pcm direct = mpegdlltest::DirectDecode(path_);
  ASSERT_TRUE(out.valid);
  EXPECT_TRUE(out.pcm.samples == direct.samples) << "the file holds exactly the decoded song";
}

TEST_F(RealDecoder, PauseResumeStopAndPlayAgainThroughTheSoundServer) {
  // Long enough that a machine slowed down by other work still pauses and resumes mid-song.
  player_.SetStreamName(dir_.WriteFile("long.mp3", testsupport::GeneratedMp3(6.0, {}, 7)).string());
  player_.Play();
  ASSERT_TRUE(QTest::qWaitFor([&] { return player_.GetCurrentPos() > 1500; }, 5000));
  player_.Pause(true);
  ASSERT_LT(player_.GetCurrentPos(), 4000) << "the machine stalled for seconds; nothing left to test";
  EXPECT_EQ(player_.Mode(), player::PlayerMode::kPaused);
  const std::int32_t held = player_.GetCurrentPos();
  QTest::qWait(300);
  EXPECT_NEAR(player_.GetCurrentPos(), held, 30) << "a paused stream keeps its place";

  player_.Play();  // resumes
  EXPECT_EQ(player_.Mode(), player::PlayerMode::kPlaying);
  ASSERT_TRUE(QTest::qWaitFor([&] { return player_.GetCurrentPos() > held + 150; }, 5000));

  player_.Stop();
  EXPECT_NE(player_.Mode(), player::PlayerMode::kPlaying);
  player_.Play();  // starts again from the beginning
  EXPECT_EQ(player_.PlayedXTimes(), 3);
  // The position the listener hears is published as the device is fed; a moment after the start
  // it lies near the beginning, well before where the song was paused.
  EXPECT_TRUE(QTest::qWaitFor([&] { return player_.GetCurrentPos() < held - 500; }, 1000)) << held;
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(ends_, 1);
}

TEST_F(RealDecoder, HeardAtTheMonitorAsDecoded) {
  PulseServer::Recording recording(*server_);
  ASSERT_TRUE(recording.Started());
  player_.Play();
  ASSERT_TRUE(WaitForEnd());
  QTest::qWait(300);  // the end comes while the song's last moments still play
  const std::vector<std::int16_t> heard = recording.Stop();
  const mpegdlltest::Pcm direct = mpegdlltest::DirectDecode(path_);
  ASSERT_EQ(direct.channels, 2);
  const testsupport::SoundMatch match = testsupport::FindPiece(heard, direct.samples);
  ASSERT_GE(match.offset, 0) << "the song is not in the recording";
  EXPECT_EQ(match.missing, 0u);
  EXPECT_EQ(match.mismatches, 0u);
}

TEST_F(RealDecoder, StreamFromMemoryThroughTheSixEvents) {
  struct Source {
    std::string data;
    std::size_t pos = 0;
    int opens = 0, closes = 0;
  } source{*song_};
  player_.SetFromStream(true);
  player_.OnOpenStream = [&](bool& nonseekable, void*& context) {
    nonseekable = false;
    context = &source;
    ++source.opens;
  };
  player_.OnCloseStream = [&](void* context) { ++static_cast<Source*>(context)->closes; };
  player_.OnReadStream = [](void* context, void* buffer, std::int32_t want, std::int32_t& got, bool& ok) {
    auto& s = *static_cast<Source*>(context);
    got = static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(want), s.data.size() - s.pos));
    std::memcpy(buffer, s.data.data() + s.pos, static_cast<std::size_t>(got));
    s.pos += static_cast<std::size_t>(got);
    ok = true;
  };
  player_.OnSeekStream = [](void* context, std::int32_t bytes, std::int32_t method, std::int32_t& res) {
    auto& s = *static_cast<Source*>(context);
    const long long base = method == 0   ? 0
                           : method == 1 ? static_cast<long long>(s.pos)
                                         : static_cast<long long>(s.data.size());
    const long long to = base + bytes;
    if (to < 0 || to > static_cast<long long>(s.data.size())) {
      res = -1;
      return;
    }
    s.pos = static_cast<std::size_t>(to);
    res = static_cast<std::int32_t>(to);
  };
  player_.OnGetStreamSize = [](void* context, std::int32_t& res) {
    res = static_cast<std::int32_t>(static_cast<Source*>(context)->data.size());
  };
  const std::string wav = dir_.path() / "stream.wav";
  player_.SetOutFilename(wav);
  player_.SetOutputDevice(player::TOutputDevice::pcmfile);
  player_.Play();
  ASSERT_TRUE(WaitForEnd());
  player_.Close();
  EXPECT_EQ(source.opens, 1);
  EXPECT_EQ(source.closes, 1);
  const mpegdlltest::WavFile out = mpegdlltest::ReadWav(wav);
  ASSERT_TRUE(out.valid);
  EXPECT_TRUE(out.pcm.samples == mpegdlltest::DirectDecode(path_).samples);
}

}  // namespace
