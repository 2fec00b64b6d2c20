// The real window with the real decoder library when the medium fails while a song plays: one
// error box, the window back to stopped (or on to the next song with "Continua"), nothing hangs
// or spins, and the window goes on being used.
#include <sys/stat.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "app/main_form.h"
#include "read_fault.h"
#include "tests/app/sound_window_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/process_usage.h"
#include "tests/support/pulse_server.h"

namespace {

using testsupport::PulseServer;
using Strings = std::vector<QString>;

class WindowMediumFault : public testsupport::SoundWindowTest {
 protected:
  void TearDown() override {
    ReadFaultDisarm();
    SoundWindowTest::TearDown();
  }

  // A song of `seconds` at 320 kbit/s: the decoder's read-ahead of the file lasts under two seconds.
  std::string AddMusic(const std::string& relative, double seconds, std::uint32_t seed) {
    testsupport::LameSettings settings;
    settings.kbps = 320;
    return root_.WriteFile(relative, testsupport::GeneratedMp3(seconds, settings, seed)).string();
  }

  static void FailReadsOf(const std::string& path) {
    struct stat facts {};
    ASSERT_EQ(::stat(path.c_str(), &facts), 0);
    ReadFaultArm(facts.st_dev, facts.st_ino, EIO);
  }

  // Waits until `done`, then half a second more; the processor time the process used meanwhile
  // as a share of the time waited (a spinning thread shows as about 1).
  template <typename Done>
  double WaitFor(Done done, int milliseconds = 8000) {
    const double cpu = testsupport::CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor(done, milliseconds)) << "the window never got there";
    QTest::qWait(500);
    return (testsupport::CpuSeconds() - cpu) / (static_cast<double>(clock.elapsed()) / 1000.0);
  }

  void WaitForSound(app::TMainForm& form) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.MPEGPlayer.GetCurrentPos() >= 300; }, 5000));
  }
};

TEST_F(WindowMediumFault, FailingReadsShowOneErrorAndLeaveTheWindowStoppedAndUsable) {
  WriteIndex({{"Album", 0}});
  const std::string song = AddMusic("Album/1.mp3", 6.0, 51);
  AddMusic("Album/2.mp3", 1.0, 52);
  app::TMainForm& form = Open();
  Click(form.ButtonPlay);
  WaitForSound(form);
  FailReadsOf(song);
  const double load = WaitFor([&] { return Stopped(form); });
  const Strings boxes = Boxes();
  EXPECT_LE(boxes.size(), 1u);
  EXPECT_LT(load, 0.5) << "something spins after the fault";
  EXPECT_FALSE(player::IsStarted(form.MPEGPlayer.Mode()));
  EXPECT_EQ(form.MP3CurrentPos->text(), "00:00");
  EXPECT_EQ(form.SelectedSong(), 0);

  // The disc is back: the same song plays again, and the next one can be chosen.
  ReadFaultDisarm();
  Click(form.ButtonPlay);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  Click(form.ButtonNext);
  EXPECT_EQ(Selected(form.SongsListBox), "2.mp3");
  EXPECT_TRUE(Stopped(form));
  Click(form.ButtonPlay);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Stopped(form); }, 5000)) << "the next song plays to its end";
  EXPECT_EQ(Boxes(), boxes) << "nothing more went wrong";
  EXPECT_EQ(boxes, Strings{"Albavox v2.0|Input stream error."});
}

TEST_F(WindowMediumFault, WithContinuaTheNextSongPlaysAfterTheOneThatFailed) {
  WriteIndex({{"Album", 0}});
  const std::string song = AddMusic("Album/1.mp3", 6.0, 61);
  AddMusic("Album/2.mp3", 6.0, 62);
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  Click(form.ButtonPlay);
  WaitForSound(form);
  FailReadsOf(song);
  const double load = WaitFor([&] { return form.SelectedSong() == 1 && form.MPEGPlayer.GetCurrentPos() >= 200; });
  EXPECT_LT(load, 0.5);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying) << "the second song plays";
  EXPECT_TRUE(form.ButtonStop->isEnabled() && form.ButtonPause->isEnabled() && !form.ButtonPlay->isEnabled());
  Click(form.ButtonStop);
  EXPECT_TRUE(Stopped(form));
  EXPECT_LE(Boxes().size(), 1u);
  EXPECT_EQ(Boxes(), Strings{"Albavox v2.0|Input stream error."});
}

TEST_F(WindowMediumFault, ASongCutShortWhilePlayingEndsAndTheWindowStops) {
  WriteIndex({{"Album", 0}});
  const std::string song = AddMusic("Album/1.mp3", 6.0, 71);
  app::TMainForm& form = Open();
  Click(form.ButtonPlay);
  WaitForSound(form);
  std::filesystem::resize_file(song, 20 * 1024);
  const double load = WaitFor([&] { return Stopped(form); });
  EXPECT_LT(load, 0.5);
  EXPECT_EQ(Boxes(), Strings{"Albavox v2.0|Input stream error."}) << "the lost rest of the song is told once";
  EXPECT_EQ(form.PosMP3ScrollBar->value(), 0);
  // Choosing the song again analyses what is left of it.
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "1.mp3"));
  EXPECT_EQ(form.SelectedSong(), 0);
}

TEST_F(WindowMediumFault, ADiscPulledOutIsNoticedAtTheNextActivation) {
  WriteIndex({{"Album", 0}});
  const std::string song = AddMusic("Album/1.mp3", 6.0, 81);
  app::TMainForm& form = Open();
  Click(form.ButtonPlay);
  WaitForSound(form);
  // The whole disc goes: the song's reads fail and the decoder's file is no longer there.
  FailReadsOf(song);
  std::filesystem::remove(root_.path() / "MPEGDLL.DLL");
  Activate(form);
  const Strings boxes = Boxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), "Error|Errore di caricamento della libreria MPEGDLL.DLL.");
  EXPECT_LE(boxes.size(), 2u) << "at most the read fault before it";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 2000)) << "the program ends";
}

}  // namespace
