// Nothing is ever written to the compilation: a whole run of the real window with the real
// decoder heard through the sound server, and the two command-line tools, over a compilation whose
// folders are watched for any write, creation, removal, rename or change of attributes, and whose
// files are compared by checksum before and after.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_form.h"
#include "dialogs/about_form.h"
#include "dialogs/mp3_info_form.h"
#include "dialogs/text_form.h"
#include "tests/app/jpeg_files.h"
#include "tests/app/sound_window_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"
#include "tests/support/run_tool.h"
#include "tests/support/tree_watch.h"

namespace {

using testsupport::PulseServer;
using Strings = std::vector<std::string>;

// Runs `whileUp` on the modal dialog that `trigger` opens, once it is up.
template <typename Trigger, typename WhileUp>
void WhileModal(Trigger trigger, WhileUp whileUp) {
  QTimer::singleShot(0, [whileUp] { whileUp(qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
  trigger();
}

class ReadOnlyCompilation : public testsupport::SoundWindowTest {
 protected:
  // Two albums, one of them on two discs, with covers, songs and the decoder.
  void SetUp() override {
    SoundWindowTest::SetUp();
    if (HasFatalFailure()) return;
    WriteIndex({{"Alba", 0}, {"Doppio", 1}}, "Raccolta");
    AddMusic("Alba/1.mp3", 0.8, 81);
    AddMusic("Alba/2.mp3", 0.8, 82);
    root_.WriteFile("Alba/front.jpg", testsupport::JpegPicture(QSize(300, 300), Qt::darkBlue));
    root_.WriteFile("Alba/back.jpg", testsupport::JpegPicture(QSize(300, 300), Qt::darkRed));
    AddMusic("Doppio/CD1/a.mp3", 0.5, 83);
    AddMusic("Doppio/CD2/b.mp3", 0.5, 84);
    root_.WriteFile("Doppio/FRONT.JPG", testsupport::JpegPicture(QSize(200, 200), Qt::darkGreen));
  }
};

TEST_F(ReadOnlyCompilation, AWholeRunOfTheWindowChangesNothing) {
  testsupport::TreeWatch watch(root_.path());
  ASSERT_EQ(watch.Files(), 9u);
  dialogs::TUseForm guide;
  dialogs::TVerForm history;
  app::TMainForm& form = Open();
  dialogs::TMP3InfoForm info(&form);
  form.SetMP3InfoForm(&info);
  Activate(form);

  // Browsing: the albums, the discs, the songs.
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Doppio"));
  Click(form.CD2SB);
  EXPECT_EQ(Selected(form.SongsListBox), "b.mp3");
  Click(form.CD1SB);
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Alba"));
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "1.mp3"));

  // Playing with "Continua" through the sound server: pause, resume, a seek, the album to its end.
  Click(form.ContCheckBox);
  Click(form.ButtonPlay);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.MPEGPlayer.GetCurrentPos() >= 100; }, 5000));
  Click(form.ButtonPause);
  Click(form.ButtonPlay);
  testsupport::DragThumbTo(form.PosMP3ScrollBar, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.SelectedSong() == 1 && Stopped(form); }, 10000));

  // The dialogs: MP3 Info, the about box with its guide and history.
  WhileModal([&] { Click(form.MP3InfoSpeedButton); },
             [&](QDialog* dialog) {
               ASSERT_EQ(dialog, &info);
               QTest::mouseClick(info.OkButton, Qt::LeftButton);
             });
  WhileModal([&] { Click(form.InfoSpeedButton); },
             [&](QDialog* dialog) {
               auto* about = qobject_cast<dialogs::TAboutForm*>(dialog);
               ASSERT_NE(about, nullptr);
               WhileModal([&] { QTest::mouseClick(about->UseSpeedButton, Qt::LeftButton); },
                          [](QDialog* shown) {
                            ASSERT_NE(shown, nullptr);
                            shown->accept();
                          });
               WhileModal([&] { QTest::mouseClick(about->VerSpeedButton, Qt::LeftButton); },
                          [](QDialog* shown) {
                            ASSERT_NE(shown, nullptr);
                            shown->accept();
                          });
               QTest::mouseClick(about->ButtonOk, Qt::LeftButton);
             });
  Activate(form);  // back to the window: the covers again

  EXPECT_EQ(Boxes(), std::vector<QString>{});
  EXPECT_EQ(watch.Changes(), Strings{});
}

TEST_F(ReadOnlyCompilation, Mp3reportReadsTheCompilationAndWritesNothingThere) {
  testsupport::TreeWatch watch(root_.path());
  testsupport::TempDir elsewhere;
  const testsupport::ToolRun run = testsupport::RunTool(MP3REPORT_PATH, {"-t", "%N%", root_.str()}, elsewhere.str());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "     1\n     2\n     3\n     4\n") << "one line for each song";
  EXPECT_EQ(watch.Changes(), Strings{});
}

TEST_F(ReadOnlyCompilation, AlbaindexWritesOnlyItsIndex) {
  testsupport::TreeWatch watch(root_.path());
  const testsupport::ToolRun run = testsupport::RunTool(ALBAINDEX_PATH, {root_.str()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto theIndex = [](const std::string& name) {
    return name == "ALBUMS.INF" || name.starts_with("ALBUMS.INF.tmp-");
  };
  EXPECT_EQ(watch.Changes(theIndex), Strings{});
  EXPECT_NE(watch.Changes(), Strings{}) << "the index itself was written";
}

}  // namespace
