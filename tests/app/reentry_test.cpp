// Handlers that run inside other handlers (inside an analysis or a message box), or that meet a
// song which has just ended or failed: the window stays whole and shows names as they are.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include "tests/app/main_form_fixture.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

using Strings = std::vector<QString>;
using testsupport::TitleTag;

class ReentryTest : public testsupport::MainFormTest {
 protected:
  // Album "A": two songs and a last file that is no MP3 (or a slow song); album "B": one song.
  app::TMainForm& OpenTwoAlbums(const std::string& third = std::string(3000, 'z')) {
    InstallDecoder();
    WriteIndex({{"A", 0}, {"B", 0}});
    AddSong("A/1.mp3", 10, TitleTag("Uno"));
    AddSong("A/2.mp3", 10, TitleTag("Due"));
    root_.WriteFile("A/3.mp3", third);
    AddSong("B/1.mp3", 10, TitleTag("Bis"));
    return Open();
  }
  bool Stopped() const {
    return form_->ButtonPlay->isEnabled() && !form_->ButtonPause->isEnabled() && !form_->ButtonStop->isEnabled();
  }
};

TEST_F(ReentryTest, NextPressedAgainWhileTheRejectedLastSongIsReportedStaysInTheList) {
  app::TMainForm& form = OpenTwoAlbums();
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  boxes_.OnShow([&](const platform::MessageBoxCall&) { form.ButtonNextClick(); });  // a media key meanwhile
  Click(form.ButtonNext);
  EXPECT_EQ(Boxes(), Strings{"Error|File MP3 selezionato non corretto"});
  EXPECT_EQ(form.SelectedSong(), 2);
  EXPECT_EQ(Selected(form.SongsListBox), "3.mp3");
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPrev", "PosMP3ScrollBar", "ContCheckBox", "RepeatCheckBox"}));
}

// A stop or a change of selection that meets a song which has just played to its end, or whose
// output has failed: the song counts as stopped, the change goes on, nothing plays on from it.
TEST_F(ReentryTest, StoppingASongThatEndedOrFailedMeanwhile) {
  struct Case {
    bool outputFailed;                     // else the song has just ended
    QToolButton* app::TMainForm::*button;  // pressed, or the album "B" chosen
    QString song;
  };
  const std::vector<Case> cases = {{false, &app::TMainForm::ButtonStop, "1.mp3"},
                                   {false, &app::TMainForm::ButtonNext, "2.mp3"},
                                   {false, nullptr, "1.mp3"},
                                   {true, nullptr, "1.mp3"}};
  OpenTwoAlbums();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.outputFailed << " " << c.song.toStdString());
    decoder_->Reset();
    boxes_.Clear();
    app::TMainForm& form = Open();
    Click(form.ContCheckBox);
    Click(form.ButtonPlay);
    decoder_->SetResult("GetPlayerMode", 3);
    c.outputFailed ? decoder_->SetError("GetPlayerMode", 5) : void(decoder_->EndStream());
    c.button ? Click(form.*c.button) : void(ClickEntry(form.AlbumListBox, "B"));
    decoder_->ClearLog();
    QTest::qWait(30);  // the end watch would carry "Continua" on from an end left open
    EXPECT_EQ(Boxes(), c.outputFailed ? Strings{"Albavox v2.0|Output device failure."} : Strings{});
    EXPECT_EQ(Selected(form.AlbumListBox), c.button ? "A" : "B");
    EXPECT_EQ(Selected(form.SongsListBox), c.song);
    EXPECT_TRUE(Stopped());
    EXPECT_EQ(decoder_->Log().find("Play("), std::string::npos) << decoder_->Log();
  }
}

// "Continua" starts the next song only while the step to it is the latest selection.
TEST_F(ReentryTest, ContinuaLeavesAnAlbumChosenWhileTheNextSongIsAnalysed) {
  app::TMainForm& form = OpenTwoAlbums(testsupport::Junk(60000) + testsupport::Mp3File(10, TitleTag("Lento")));
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  Click(form.ContCheckBox);
  Click(form.ButtonPlay);
  static std::function<void()> duringAnalysis;
  duringAnalysis = [&] { ClickEntry(form.AlbumListBox, "B"); };
  zodizidu::SetMessagePump([] {
    if (auto action = std::exchange(duringAnalysis, nullptr)) action();
  });
  decoder_->ClearLog();
  ASSERT_TRUE(decoder_->EndStream());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !duringAnalysis; }, 3000));
  zodizidu::SetMessagePump(nullptr);
  QTest::qWait(30);
  EXPECT_EQ(decoder_->Log().find("Play("), std::string::npos) << decoder_->Log();
  EXPECT_EQ(form.MP3TitleEdit->text(), "Bis");
  EXPECT_TRUE(Stopped());
}

TEST_F(ReentryTest, NamesAndTagsShowAsTheyAre) {
  InstallDecoder();
  WriteIndex({{"<b>Grassetto</b>", 0}}, "[*] Raccolta", 1);
  AddSong("<b>Grassetto</b>/a\nb.mp3", 10, TitleTag("Uno\tDue"));
  app::TMainForm& form = Open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const Strings shown = {form.windowHandle()->title(), form.AlbumListBox->EntryText(0), form.SongsListBox->EntryText(0),
                         form.MP3TitleEdit->text()};
  EXPECT_EQ(shown, (Strings{"[*] Raccolta", "<b>Grassetto</b>", "a\u240Ab.mp3", "Uno\u2409Due"}));
}

}  // namespace
