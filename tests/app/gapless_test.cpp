// Songs following one another under "Continua" on the real window with the real decoder library,
// heard at a private sound server's monitor.
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

// Frames from `from` on in `heard` to the first sound there; -1 when there is none.
long FirstSoundFrom(const std::vector<std::int16_t>& heard, std::size_t from) {
  if (from * 2 >= heard.size()) return -1;
  return testsupport::FirstSoundFrame({heard.begin() + static_cast<std::ptrdiff_t>(from * 2), heard.end()});
}

class GaplessTest : public testsupport::SoundWindowTest {
 protected:
  // Songs of `seconds` each, cut one after the other from one gliding tone and encoded each on
  // its own (its encoder delay and padding in its Info frame); their paths.
  std::vector<std::string> AddCutSongs(const std::vector<double>& seconds) {
    const std::vector<std::int16_t> sweep = testsupport::TestSignal(PulseServer::kRate, 2, 10.0, 5);
    std::vector<std::string> paths;
    auto from = sweep.begin();
    for (double s : seconds) {
      const auto to = from + static_cast<std::ptrdiff_t>(s * PulseServer::kRate) * 2;
      const std::string name = "Album/" + std::to_string(paths.size() + 1) + ".mp3";
      paths.push_back(root_.WriteFile(name, testsupport::EncodeMp3({from, to}, {})).string());
      from = to;
    }
    return paths;
  }
};

// Songs cut from one recording join sample for sample; a song of another format follows the
// whole song before, never played together with it, within 50 ms.
TEST_F(GaplessTest, SongsJoinWithoutAGapAndAnotherFormatFollowsWithinFiftyMilliseconds) {
  WriteIndex({{"Album", 0}});
  const std::vector<std::string> songs = AddCutSongs({1.3, 0.9, 1.1});
  root_.WriteFile("Album/4.mp3", testsupport::EncodeMp3(testsupport::TestSignal(22050, 1, 1.0, 9),
                                                        testsupport::LameSettings{22050, 1, 64, false, true}));
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  PulseServer::Recording recording(*server_);
  ASSERT_TRUE(recording.Started());
  Click(form.ButtonPlay);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.SelectedSong() == 3 && Stopped(form); }, 20000));
  QTest::qWait(200);
  const std::vector<std::int16_t> heard = recording.Stop();
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
  const long gap = FirstSoundFrom(heard, static_cast<std::size_t>(end));
  ASSERT_GE(gap, 0) << "the song of another format is not heard";
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
  const std::size_t stopped = recording.FramesSoFar() + PulseServer::kRate / 25;
  QTest::qWait(300);
  const std::vector<std::int16_t> heard = recording.Stop();
  EXPECT_TRUE(Stopped(form));
  ASSERT_GT(heard.size(), stopped * 2);
  EXPECT_LT(FirstSoundFrom(heard, stopped), 0) << "sound goes on after Stop";
}

}  // namespace
