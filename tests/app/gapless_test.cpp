// Songs following one another under "Continua" on the real window with the real decoder library,
// heard at a private sound server's monitor: songs cut from one continuous recording join without
// a gap, a song of another format follows the end of the one before soon after it, and Stop at a
// join silences the end of the song before at once.
#include <QCheckBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_form.h"
#include "tests/app/sound_window_fixture.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"
#include "tests/support/sound_match.h"

namespace {

using testsupport::PulseServer;

class GaplessTest : public testsupport::SoundWindowTest {
 protected:
  // Songs of `seconds` each, cut one after the other from one gliding tone and encoded each on
  // its own (its encoder delay and padding in its Info frame); their paths.
  std::vector<std::string> AddCutSongs(const std::vector<double>& seconds) {
    double total = 0;
    for (double s : seconds) total += s;
    const std::vector<std::int16_t> sweep = testsupport::TestSignal(PulseServer::kRate, 2, total + 1, 5);
    std::vector<std::string> paths;
    std::size_t at = 0;
    for (double s : seconds) {
      const auto frames = static_cast<std::size_t>(s * PulseServer::kRate);
      const std::vector<std::int16_t> piece(sweep.begin() + static_cast<std::ptrdiff_t>(at * 2),
                                            sweep.begin() + static_cast<std::ptrdiff_t>((at + frames) * 2));
      at += frames;
      const std::string name = "Album/" + std::to_string(paths.size() + 1) + ".mp3";
      paths.push_back(root_.WriteFile(name, testsupport::EncodeMp3(piece, {})).string());
    }
    return paths;
  }

  // Plays the album under "Continua" from its first song to its end; what was heard.
  std::vector<std::int16_t> PlayAlbum(int songs) {
    app::TMainForm& form = Open();
    Click(form.ContCheckBox);
    PulseServer::Recording recording(*server_);
    EXPECT_TRUE(recording.Started());
    Click(form.ButtonPlay);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.SelectedSong() == songs - 1 && Stopped(form); }, 20000));
    QTest::qWait(200);
    return recording.Stop();
  }
};

TEST_F(GaplessTest, SongsCutFromOneRecordingJoinWithoutAGap) {
  WriteIndex({{"Album", 0}});
  const std::vector<std::string> songs = AddCutSongs({1.3, 0.9, 1.1});
  const std::vector<std::int16_t> heard = PlayAlbum(3);
  long end = -1;
  for (const std::string& song : songs) {
    const std::vector<std::int16_t> decoded = mpegdlltest::DirectDecode(song).samples;
    const testsupport::SoundMatch match =
        testsupport::FindPiece(heard, decoded, static_cast<std::size_t>(std::max(0L, end)), 0);
    ASSERT_GE(match.offset, 0) << song;
    EXPECT_EQ(match.mismatches + match.missing, 0u) << song << " is not heard sample for sample";
    if (end >= 0) {
      EXPECT_EQ(match.offset, end) << song << " does not follow the song before at once";
    }
    end = match.offset + static_cast<long>(decoded.size() / 2);
  }
}

TEST_F(GaplessTest, SongOfAnotherFormatFollowsTheWholeSongBeforeWithinFiftyMilliseconds) {
  WriteIndex({{"Album", 0}});
  const std::string first = AddCutSongs({1.0}).front();
  const testsupport::LameSettings mono{22050, 1, 64, false, true};
  root_.WriteFile("Album/2.mp3", testsupport::EncodeMp3(testsupport::TestSignal(22050, 1, 1.0, 9), mono));
  const std::vector<std::int16_t> heard = PlayAlbum(2);
  const std::vector<std::int16_t> decoded = mpegdlltest::DirectDecode(first).samples;
  const testsupport::SoundMatch match = testsupport::FindPiece(heard, decoded, 0, 0);
  ASSERT_GE(match.offset, 0);
  EXPECT_EQ(match.mismatches + match.missing, 0u) << "the first song is not heard whole and alone";
  const auto end = static_cast<std::size_t>(match.offset) + decoded.size() / 2;
  const std::vector<std::int16_t> after(heard.begin() + static_cast<std::ptrdiff_t>(end * 2), heard.end());
  const long gap = testsupport::FirstSoundFrame(after);
  ASSERT_GE(gap, 0) << "the second song is not heard";
  EXPECT_LE(gap, PulseServer::kRate / 20);
}

TEST_F(GaplessTest, StopAtAJoinSilencesTheEndOfTheSongBeforeAtOnce) {
  WriteIndex({{"Album", 0}});
  AddCutSongs({1.0, 2.0});
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  PulseServer::Recording recording(*server_);
  ASSERT_TRUE(recording.Started());
  Click(form.ButtonPlay);
  // The window moves to the next song while the end of the first is still heard.
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.SelectedSong() == 1; }, 5000));
  Click(form.ButtonStop);
  const std::size_t stopped = recording.FramesSoFar();
  QTest::qWait(300);
  const std::vector<std::int16_t> heard = recording.Stop();
  EXPECT_TRUE(Stopped(form));
  long lastSound = -1;
  for (std::size_t f = 0; f * 2 + 1 < heard.size(); ++f) {
    if (std::abs(int{heard[f * 2]}) >= 64 || std::abs(int{heard[f * 2 + 1]}) >= 64) lastSound = static_cast<long>(f);
  }
  ASSERT_GE(lastSound, 0);
  EXPECT_LE(lastSound, static_cast<long>(stopped) + PulseServer::kRate / 25) << "sound goes on after Stop";
}

}  // namespace
