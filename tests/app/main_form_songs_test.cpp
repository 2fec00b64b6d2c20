// Song selection: the ID3 panel, the total time, rejected files and the player buttons' states.
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include "platform/paths.h"
#include "tests/app/main_form_fixture.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<QString>;
using testsupport::Id3Tag;
using testsupport::MainFormTest;
using testsupport::TitleTag;

Strings Panel(const app::TMainForm& form) {
  return {form.MP3TitleEdit->text(), form.MP3ArtistEdit->text(), form.MP3AlbumEdit->text(),
          form.MP3YearEdit->text(),  form.MP3GenreEdit->text(),  form.MP3CommentEdit->text(),
          form.MP3TotalTime->text(), form.MP3CurrentPos->text()};
}

const Strings kEmptyPanel = {"", "", "", "", "", "", "00:00", "00:00"};
const std::string kBadBytes(3000, 'z');  // no MPEG audio frame anywhere

TEST_F(MainFormTest, ValidSongFillsThePanelTotalTimeAndPositionBar) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3", 3725, Id3Tag{"Titolo lungo", "Artista", "Raccolta", "2001", "nota", 17});
  app::TMainForm& form = Open();
  EXPECT_EQ(Panel(form), (Strings{"Titolo lungo", "Artista", "Raccolta", "2001", "Rock", "nota", "62:05", "00:00"}));
  EXPECT_EQ(form.PosMP3ScrollBar->maximum(), 3725);
  EXPECT_EQ(form.PosMP3ScrollBar->value(), 0);
  EXPECT_EQ(form.MPEGPlayer.StreamName(), platform::ResolvePath("./Album/song.mp3"));
  ASSERT_NE(form.SongAnalysis(), nullptr);
  EXPECT_TRUE(form.SongAnalysis()->IsValid());
}

TEST_F(MainFormTest, TaglessSongShowsTheAnalysisDefaults) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/Band - Song.mp3", 59);
  app::TMainForm& form = Open();
  zodizidu::TMPEGAudio same;
  same.SetFileName(platform::ResolvePath("./Album/Band - Song.mp3"));
  const auto text = [](const std::string& bytes) { return QString::fromStdString(bytes); };
  EXPECT_EQ(Panel(form), (Strings{"Unknown Title", "Unknown Artist", text(same.Data().Album), text(same.Data().Year),
                                  text(same.GenreText()), text(same.Data().Comment), "00:59", "00:00"}));
}

TEST_F(MainFormTest, ClickingSongsMovesTheSelectionAndClickingTheSelectedOneDoesNothing) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/1.mp3", 10, TitleTag("Uno"));
  AddSong("Album/2.mp3", 20, TitleTag("Due"));
  AddSong("Album/3.mp3", 30, TitleTag("Tre"));
  app::TMainForm& form = Open();
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPlay", "ButtonNext", "PosMP3ScrollBar", "MP3InfoSpeedButton",
                                              "ContCheckBox", "RepeatCheckBox"}));
  decoder_->ClearLog();
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "1.mp3"));
  EXPECT_EQ(decoder_->Log(), "");

  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  EXPECT_EQ(decoder_->Log(), "GetPlayerMode;LastError;");
  EXPECT_EQ(form.SelectedSong(), 1);
  EXPECT_EQ(form.MP3TitleEdit->text(), "Due");
  EXPECT_EQ(form.MP3TotalTime->text(), "00:20");
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPrev", "ButtonPlay", "ButtonNext", "PosMP3ScrollBar",
                                              "MP3InfoSpeedButton", "ContCheckBox", "RepeatCheckBox"}));
  form.SongsListBox->setFocus();
  QTest::keyClick(form.SongsListBox, Qt::Key_Down);
  EXPECT_EQ(form.MP3TitleEdit->text(), "Tre");
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPrev", "ButtonPlay", "PosMP3ScrollBar", "MP3InfoSpeedButton",
                                              "ContCheckBox", "RepeatCheckBox"}));
  EXPECT_EQ(form.MPEGPlayer.StreamName(), platform::ResolvePath("./Album/3.mp3"));
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, RejectedSongIsReportedEmptiesThePanelAndBlocksPlayAndInfo) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  root_.WriteFile("Album/a-bad.mp3", kBadBytes);
  AddSong("Album/b-good.mp3", 75, TitleTag("Buona"));
  AddFolder("Album/c-folder.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Boxes(), Strings{"Error|File MP3 selezionato non corretto"});
  EXPECT_EQ(boxes_.Calls()[0].icon, platform::MessageIcon::kError);
  EXPECT_EQ(Entries(form.SongsListBox), (Strings{"a-bad.mp3", "b-good.mp3", "c-folder.mp3"}));
  EXPECT_EQ(Selected(form.SongsListBox), "a-bad.mp3") << "the rejected song stays selected";
  EXPECT_EQ(Panel(form), kEmptyPanel);
  EXPECT_EQ(form.PosMP3ScrollBar->maximum(), 0);
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonNext", "ContCheckBox", "RepeatCheckBox"}));
  EXPECT_EQ(form.MPEGPlayer.StreamName(), "");

  ASSERT_TRUE(ClickEntry(form.SongsListBox, "b-good.mp3"));
  EXPECT_EQ(form.MP3TitleEdit->text(), "Buona");
  EXPECT_EQ(form.PosMP3ScrollBar->maximum(), 75);
  EXPECT_TRUE(form.ButtonPlay->isEnabled());
  const std::string good = form.MPEGPlayer.StreamName();

  boxes_.Clear();
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "c-folder.mp3"));
  EXPECT_EQ(Boxes(), Strings{"Error|File MP3 selezionato non corretto"}) << "a folder named like a song is no song";
  EXPECT_EQ(Panel(form), kEmptyPanel);
  EXPECT_EQ(form.MPEGPlayer.StreamName(), good) << "the stream keeps naming the last valid song";
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPrev", "PosMP3ScrollBar", "ContCheckBox", "RepeatCheckBox"}))
      << "the position bar keeps its state after a rejected song";
}

TEST_F(MainFormTest, NoSongEmptiesThePanelWithoutAMessage) {
  InstallDecoder();
  WriteIndex({{"Full", 0}, {"Hollow", 0}});
  AddSong("Full/song.mp3", 30, TitleTag("Piena"));
  AddFolder("Hollow");
  app::TMainForm& form = Open();
  ASSERT_EQ(form.MP3TitleEdit->text(), "Piena");
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Hollow"));
  EXPECT_EQ(Panel(form), kEmptyPanel);
  EXPECT_EQ(form.SelectedSong(), -1);
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ContCheckBox", "RepeatCheckBox"}));
  EXPECT_EQ(Boxes(), Strings{});
  EXPECT_TRUE(form.SongAnalysis()->IsValid()) << "the last analysis stays for the MP3 Info dialog";
}

// A selection made while another song is still being analysed: the analysis handles pending
// window messages, and the user's click arrives among them.
std::function<void()> g_duringAnalysis;
void PumpForTest() {
  if (auto action = std::exchange(g_duringAnalysis, nullptr)) action();
}

TEST_F(MainFormTest, SongChosenDuringAnotherSongsAnalysisWins) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/1.mp3", 10, TitleTag("Primo"));
  // Junk before the first frame keeps the frame search busy long enough to handle messages.
  root_.WriteFile("Album/2.mp3", std::string(5000, '\x01') + testsupport::Mp3File(20, TitleTag("Secondo")));
  AddSong("Album/3.mp3", 30, TitleTag("Terzo"));
  app::TMainForm& form = Open();
  ASSERT_EQ(form.MP3TitleEdit->text(), "Primo");

  zodizidu::SetMessagePump(&PumpForTest);
  g_duringAnalysis = [&] { ClickEntry(form.SongsListBox, "3.mp3"); };
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  zodizidu::SetMessagePump(nullptr);
  EXPECT_FALSE(g_duringAnalysis) << "the analysis never handled messages";
  EXPECT_EQ(form.SelectedSong(), 2);
  EXPECT_EQ(form.MP3TitleEdit->text(), "Terzo");
  EXPECT_EQ(form.MP3TotalTime->text(), "00:30");
  EXPECT_EQ(form.MPEGPlayer.StreamName(), platform::ResolvePath("./Album/3.mp3"));
  EXPECT_EQ(form.SongAnalysis()->Data().Title, "Terzo");
  EXPECT_EQ(Boxes(), Strings{});
}

// Key presses that arrive while a slow song is analysed are handled inside that analysis (it
// handles pending window messages). When everything is done, the highlighted entry, the selection,
// the ID3 panel and the player's stream name agree.
class NestedChoiceTest : public MainFormTest {
 protected:
  void SetUp() override {
    zodizidu::SetMessagePump([] { QCoreApplication::processEvents(); });
  }
  void TearDown() override { zodizidu::SetMessagePump(nullptr); }

  static void PressDownTwiceQuickly(QWidget* list) {
    list->setFocus();
    for (int i = 0; i < 2; ++i) {
      QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    }
    QCoreApplication::processEvents();
  }

  // A song whose frames lie behind enough junk to keep the frame search handling messages.
  void AddSlowSong(const std::string& relative, const std::string& title) {
    root_.WriteFile(relative, testsupport::Junk(60000) + testsupport::Mp3File(20, TitleTag(title)));
  }
};

TEST_F(NestedChoiceTest, SongListEndsOnTheHighlightedSong) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/1.mp3", 10, TitleTag("Primo"));
  AddSlowSong("Album/2.mp3", "Secondo");
  AddSong("Album/3.mp3", 30, TitleTag("Terzo"));
  AddSong("Album/4.mp3", 40, TitleTag("Quarto"));
  app::TMainForm& form = Open();
  PressDownTwiceQuickly(form.SongsListBox);
  EXPECT_EQ(Selected(form.SongsListBox), "3.mp3");
  EXPECT_EQ(form.SelectedSong(), 2);
  EXPECT_EQ(form.MP3TitleEdit->text(), "Terzo");
  EXPECT_EQ(form.MPEGPlayer.StreamName(), platform::ResolvePath("./Album/3.mp3"));
}

TEST_F(NestedChoiceTest, AlbumListEndsOnTheHighlightedAlbumEvenWithoutSongs) {
  InstallDecoder();
  WriteIndex({{"A", 0}, {"B", 0}, {"C", 0}});
  AddSong("A/1.mp3", 10, TitleTag("Primo"));
  AddSlowSong("B/1.mp3", "Lento");
  AddFolder("C");
  app::TMainForm& form = Open();
  PressDownTwiceQuickly(form.AlbumListBox);
  EXPECT_EQ(Selected(form.AlbumListBox), "C");
  EXPECT_EQ(form.SelectedAlbum(), 2);
  EXPECT_EQ(form.SelectedSong(), -1);
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_EQ(Panel(form), kEmptyPanel) << "the slow album's song must not fill the panel of an album without songs";
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ContCheckBox", "RepeatCheckBox"}));
}

}  // namespace
