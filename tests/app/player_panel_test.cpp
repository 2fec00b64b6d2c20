// The player panel on the real window with the real decoder library, heard through the private
// sound server: play, pause, stop, seeking with the thumb, "Continua" and "Ripeti".
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_form.h"
#include "tests/app/sound_window_fixture.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"
#include "tests/support/sound_match.h"

namespace {

using testsupport::PulseServer;
using Strings = std::vector<QString>;

class PlayerPanelTest : public testsupport::SoundWindowTest {};

TEST_F(PlayerPanelTest, PlayPauseResumeStopAndPlayAgain) {
  WriteIndex({{"Album", 0}});
  AddMusic("Album/1.mp3", 3.0, 1);
  app::TMainForm& form = Open();
  EXPECT_EQ(form.ButtonPlay->accessibleName(), "Play");
  EXPECT_EQ(form.ButtonPrev->accessibleName(), "Canzone precedente");

  Click(form.ButtonPlay);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPause", "ButtonStop", "PosMP3ScrollBar", "MP3InfoSpeedButton",
                                              "ContCheckBox", "RepeatCheckBox"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.PosMP3ScrollBar->value() >= 1; }, 5000));
  const int shown = form.PosMP3ScrollBar->value();
  EXPECT_EQ(form.MP3CurrentPos->text(), QString("00:0%1").arg(shown));
  EXPECT_EQ(form.PosMP3PercLabel->text(), shown == 1 ? "33%" : "67%");

  Click(form.ButtonPause);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPaused);
  EXPECT_TRUE(form.ButtonPlay->isEnabled() && form.ButtonStop->isEnabled() && !form.ButtonPause->isEnabled());
  const std::int32_t held = form.MPEGPlayer.GetCurrentPos();
  QTest::qWait(300);
  EXPECT_NEAR(form.MPEGPlayer.GetCurrentPos(), held, 30);

  Click(form.ButtonPlay);  // resumes where it was
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  EXPECT_GE(form.MPEGPlayer.GetCurrentPos(), held - 30);

  Click(form.ButtonStop);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  EXPECT_TRUE(Stopped(form));
  EXPECT_EQ(form.MP3CurrentPos->text(), "00:00");
  EXPECT_EQ(form.PosMP3ScrollBar->value(), 0);

  Click(form.ButtonPlay);  // starts over
  EXPECT_LT(form.MPEGPlayer.GetCurrentPos(), held);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Stopped(form); }, 8000)) << "the end of the song";
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(PlayerPanelTest, ThumbReleasedSeeksOnlyWhilePlaying) {
  WriteIndex({{"Album", 0}});
  AddMusic("Album/1.mp3", 6.0, 2);
  app::TMainForm& form = Open();
  ASSERT_EQ(form.PosMP3ScrollBar->maximum(), 6);

  testsupport::DragThumbTo(form.PosMP3ScrollBar, 4);  // stopped: the bar and labels move, nothing seeks
  EXPECT_EQ(form.PosMP3ScrollBar->value(), 4);
  EXPECT_EQ(form.MP3CurrentPos->text(), "00:04");
  EXPECT_FALSE(form.SeekDragging());
  Click(form.ButtonPlay);
  EXPECT_EQ(form.PosMP3ScrollBar->value(), 0) << "play starts at the beginning";
  EXPECT_LT(form.MPEGPlayer.GetCurrentPos(), 1000);

  int furthest = 0;
  QObject::connect(form.PosMP3ScrollBar, &QScrollBar::valueChanged,
                   [&](int value) { furthest = std::max(furthest, value); });
  testsupport::DragThumbTo(form.PosMP3ScrollBar, 4);
  EXPECT_GE(form.MPEGPlayer.GetCurrentPos(), 3900);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Stopped(form); }, 5000));
  EXPECT_GE(furthest, 5) << "the position updates go on from where the thumb was let go";
}

TEST_F(PlayerPanelTest, ContinuaPlaysTheRestOfTheListWholeAndInOrder) {
  WriteIndex({{"Album", 0}});
  std::vector<std::string> songs = {AddMusic("Album/1.mp3", 1.0, 11), AddMusic("Album/2.mp3", 1.2, 12),
                                    AddMusic("Album/3.mp3", 0.8, 13)};
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  PulseServer::Recording recording(*server_);
  ASSERT_TRUE(recording.Started());
  Click(form.ButtonPlay);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.SelectedSong() == 2 && Stopped(form); }, 15000));
  QTest::qWait(300);  // the end comes while the song's last moments still play
  const std::vector<std::int16_t> heard = recording.Stop();
  EXPECT_EQ(Selected(form.SongsListBox), "3.mp3");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed) << "nothing plays after the last song";

  std::size_t from = 0;
  for (const std::string& song : songs) {
    const std::vector<std::int16_t> decoded = mpegdlltest::DirectDecode(song).samples;
    const testsupport::SoundMatch match = testsupport::FindPiece(heard, decoded, from);
    ASSERT_GE(match.offset, 0) << song << " is not heard after the song before it";
    EXPECT_EQ(match.mismatches, 0u) << song;
    EXPECT_EQ(match.missing, 0u) << song;
    from = static_cast<std::size_t>(match.offset) + decoded.size() / 2;
  }
}

TEST_F(PlayerPanelTest, RipetiStartsTheSameSongAgainAtItsEnd) {
  WriteIndex({{"Album", 0}});
  const std::string song = AddMusic("Album/1.mp3", 0.7, 21);
  AddMusic("Album/2.mp3", 0.7, 22);
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  Click(form.RepeatCheckBox);
  EXPECT_FALSE(form.ContCheckBox->isChecked()) << "Ripeti unchecks Continua";
  PulseServer::Recording recording(*server_);
  ASSERT_TRUE(recording.Started());
  Click(form.ButtonPlay);
  const std::size_t twoSongs = static_cast<std::size_t>(PulseServer::kRate * 2.2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recording.FramesSoFar() > twoSongs; }, 8000));
  Click(form.ButtonStop);
  const std::vector<std::int16_t> heard = recording.Stop();
  EXPECT_EQ(form.SelectedSong(), 0);
  const std::vector<std::int16_t> decoded = mpegdlltest::DirectDecode(song).samples;
  const testsupport::SoundMatch first = testsupport::FindPiece(heard, decoded);
  ASSERT_GE(first.offset, 0);
  EXPECT_EQ(first.mismatches + first.missing, 0u);
  const testsupport::SoundMatch again =
      testsupport::FindPiece(heard, decoded, static_cast<std::size_t>(first.offset) + decoded.size() / 2);
  ASSERT_GE(again.offset, 0) << "the song did not start again";
  EXPECT_EQ(again.mismatches + again.missing, 0u);
}

TEST_F(PlayerPanelTest, ContinuaIntoARejectedSongShowsItsBoxAndPlaysNothing) {
  WriteIndex({{"Album", 0}});
  AddMusic("Album/1.mp3", 0.5, 31);
  root_.WriteFile("Album/2.mp3", std::string(4000, '\0'));
  AddMusic("Album/3.mp3", 0.5, 33);
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  Click(form.ButtonPlay);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.SelectedSong() == 1; }, 5000));
  EXPECT_EQ(Boxes(), Strings{"Error|File MP3 selezionato non corretto"});
  EXPECT_EQ(Selected(form.SongsListBox), "2.mp3");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  EXPECT_FALSE(form.ButtonPlay->isEnabled());
  QTest::qWait(300);
  EXPECT_EQ(form.SelectedSong(), 1) << "nothing goes on past the rejected song";
}

TEST_F(PlayerPanelTest, NextWhilePlayingStopsAndSelectsWithoutPlaying) {
  WriteIndex({{"Album", 0}});
  AddMusic("Album/1.mp3", 2.0, 41);
  AddMusic("Album/2.mp3", 2.0, 42);
  app::TMainForm& form = Open();
  Click(form.ButtonPlay);
  ASSERT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  Click(form.ButtonNext);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  EXPECT_EQ(Selected(form.SongsListBox), "2.mp3");
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPrev", "ButtonPlay", "PosMP3ScrollBar", "MP3InfoSpeedButton",
                                              "ContCheckBox", "RepeatCheckBox"}));
  Click(form.ButtonPrev);
  EXPECT_EQ(form.SelectedSong(), 0);
  EXPECT_FALSE(form.ButtonPrev->isEnabled());
}

}  // namespace
