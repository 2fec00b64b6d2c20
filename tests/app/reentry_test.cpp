// Handlers that run inside other handlers (inside an analysis or a message box), or that meet a
// song which has just ended or failed: the window stays whole and shows names as they are.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <functional>

#include "tests/app/main_form_fixture.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

using Strings = std::vector<QString>;
using testsupport::MainFormTest;
using testsupport::TitleTag;

int Plays(const std::string& log) {
  int count = 0;
  for (std::size_t at = log.find("Play("); at != std::string::npos; at = log.find("Play(", at + 1)) ++count;
  return count;
}

class ReentryTest : public MainFormTest {
 protected:
  // Album "A": two songs and a last file that is no MP3; album "B": one song.
  void MakeTwoAlbums() {
    InstallDecoder();
    WriteIndex({{"A", 0}, {"B", 0}});
    AddSong("A/1.mp3", 10, TitleTag("Uno"));
    AddSong("A/2.mp3", 10, TitleTag("Due"));
    root_.WriteFile("A/3.mp3", std::string(3000, 'z'));
    AddSong("B/1.mp3", 10, TitleTag("Bis"));
  }
};

TEST_F(ReentryTest, NextPressedAgainWhileTheRejectedLastSongIsReportedStaysInTheList) {
  MakeTwoAlbums();
  app::TMainForm& form = Open();
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  // A media key arrives while the box is up, as a modal box lets it.
  boxes_.OnShow([&](const platform::MessageBoxCall&) { form.ButtonNextClick(); });
  Click(form.ButtonNext);
  EXPECT_EQ(Boxes(), Strings{"Error|File MP3 selezionato non corretto"});
  EXPECT_EQ(form.SelectedSong(), 2);
  EXPECT_EQ(Selected(form.SongsListBox), "3.mp3");
  EXPECT_EQ(form.MP3TitleEdit->text(), "");
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPrev", "PosMP3ScrollBar", "ContCheckBox", "RepeatCheckBox"}));
}

// A stop or a change of selection that meets a song which has just played to its end, or whose
// output failed: the song counts as stopped, the change goes on, and nothing plays on from it.
TEST_F(ReentryTest, StoppingASongThatEndedOrFailedMeanwhile) {
  struct Case {
    const char* what;
    std::function<void(testsupport::FakeDecoder&)> meanwhile;
    std::function<void(app::TMainForm&)> action;
    QString album;
    QString song;
    Strings boxes;
  };
  const auto ended = [](testsupport::FakeDecoder& decoder) {
    decoder.SetResult("GetPlayerMode", 3);
    ASSERT_TRUE(decoder.EndStream());
  };
  const std::vector<Case> cases = {
      {"stop at the end", ended, [](app::TMainForm& f) { Click(f.ButtonStop); }, "A", "1.mp3", {}},
      {"next at the end", ended, [](app::TMainForm& f) { Click(f.ButtonNext); }, "A", "2.mp3", {}},
      {"album at the end", ended, [](app::TMainForm& f) { ClickEntry(f.AlbumListBox, "B"); }, "B", "1.mp3", {}},
      {"album after a failed output",
       [](testsupport::FakeDecoder& decoder) { decoder.SetError("GetPlayerMode", 5); },
       [](app::TMainForm& f) { ClickEntry(f.AlbumListBox, "B"); },
       "B",
       "1.mp3",
       {"Albavox v2.0|Output device failure."}},
  };
  MakeTwoAlbums();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    decoder_->Reset();
    app::TMainForm& form = Open();
    Click(form.ContCheckBox);
    Click(form.ButtonPlay);
    boxes_.Clear();
    c.meanwhile(*decoder_);
    c.action(form);
    decoder_->Reset();
    QTest::qWait(30);  // the end watch would carry "Continua" on from an end left unclosed
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Selected(form.AlbumListBox), c.album);
    EXPECT_EQ(Selected(form.SongsListBox), c.song);
    EXPECT_TRUE(form.ButtonPlay->isEnabled() && !form.ButtonPause->isEnabled() && !form.ButtonStop->isEnabled());
    EXPECT_EQ(Plays(decoder_->Log()), 0) << decoder_->Log();
  }
}

// "Continua" starts the next song only while the step to it is the latest selection.
TEST_F(ReentryTest, ContinuaLeavesAnAlbumChosenWhileTheNextSongIsAnalysed) {
  InstallDecoder();
  WriteIndex({{"A", 0}, {"B", 0}});
  AddSong("A/1.mp3", 10, TitleTag("Uno"));
  root_.WriteFile("A/2.mp3", testsupport::Junk(60000) + testsupport::Mp3File(10, TitleTag("Lento")));
  AddSong("B/1.mp3", 10, TitleTag("Bis"));
  app::TMainForm& form = Open();
  Click(form.ContCheckBox);
  Click(form.ButtonPlay);
  static std::function<void()> duringAnalysis;
  duringAnalysis = [&] { ClickEntry(form.AlbumListBox, "B"); };
  zodizidu::SetMessagePump([] {
    if (auto action = std::exchange(duringAnalysis, nullptr)) action();
  });
  decoder_->ClearLog();
  ASSERT_TRUE(decoder_->EndStream());
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.SelectedAlbum() == 1; }, 3000));
  QTest::qWait(30);
  zodizidu::SetMessagePump(nullptr);
  EXPECT_EQ(Plays(decoder_->Log()), 0) << decoder_->Log();
  EXPECT_EQ(form.MP3TitleEdit->text(), "Bis");
  EXPECT_TRUE(form.ButtonPlay->isEnabled() && !form.ButtonStop->isEnabled());
}

TEST_F(ReentryTest, NamesAndTagsShowAsTheyAre) {
  InstallDecoder();
  WriteIndex({{"<b>Grassetto</b>", 0}}, "[*] Raccolta", 1);
  AddSong("<b>Grassetto</b>/a\nb.mp3", 10, TitleTag("Uno\tDue"));
  app::TMainForm& form = Open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const std::vector<std::pair<QString, QString>> shown = {
      {form.windowHandle()->title(), "[*] Raccolta"},
      {form.AlbumListBox->item(0)->text(), "<b>Grassetto</b>"},
      {form.SongsListBox->item(0)->text(), QString::fromUtf8("a\u240Ab.mp3")},
      {form.MP3TitleEdit->text(), QString::fromUtf8("Uno\u2409Due")},
  };
  for (const auto& [text, expected] : shown) EXPECT_EQ(text, expected);
  EXPECT_EQ(form.Playback().Song().name, QString::fromUtf8("a\u240Ab.mp3"));
}

}  // namespace
