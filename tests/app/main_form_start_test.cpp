// The main window's three start states, its activation and the index read at creation.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <thread>

#include "app/index_reading.h"
#include "dialogs/about_form.h"
#include "dialogs/mp3_info_form.h"
#include "tests/app/main_form_fixture.h"

namespace {

using Strings = std::vector<QString>;
using testsupport::IndexRecord;
using testsupport::MainFormTest;

// The program's start reads the index ahead; an index rewritten before the window is made (same
// size, another album) is read again, and one that went away leaves the window empty.
TEST_F(MainFormTest, IndexChangedAfterTheStartReadItAheadIsReadAsItIsNow) {
  InstallDecoder();
  WriteIndex({{"Alpha", 0}});
  app::ReadIndexAhead();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // long enough to have read it
  WriteIndex({{"Omega", 0}});
  EXPECT_EQ(Entries(Open().AlbumListBox), Strings{"Omega"});
  app::ReadIndexAhead();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::filesystem::remove("ALBUMS.INF");
  EXPECT_EQ(Entries(Open().AlbumListBox), Strings{"Nessun album."});
}

TEST_F(MainFormTest, WithoutDecoderTheWindowIsEmptyAndTheFirstActivationEndsIt) {
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  EXPECT_FALSE(form.AlbumListBox->isEnabled());
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_FALSE(form.SongsListBox->isEnabled());
  EXPECT_EQ(form.SelectedAlbum(), -1);
  EXPECT_EQ(form.SelectedSong(), -1);
  EXPECT_EQ(EnabledPlayerControls(), Strings{});
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
  EXPECT_EQ(form.CoverPageControl->currentWidget(), form.FCTabSheet);
  EXPECT_EQ(Boxes(), Strings{});

  Activate(form);
  ASSERT_EQ(Boxes(), Strings{"Error|Errore di caricamento della libreria MPEGDLL.DLL."});
  EXPECT_EQ(boxes_.Calls()[0].icon, platform::MessageIcon::kError);
  EXPECT_FALSE(form.isVisible());
  Activate(form);
  EXPECT_EQ(Boxes().size(), 1u) << "a closing window does not ask again";
}

TEST_F(MainFormTest, WithDecoderButNoIndexOnlyVolumeAboutAndExitWork) {
  InstallDecoder();
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  EXPECT_FALSE(form.AlbumListBox->isEnabled());
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_FALSE(form.SongsListBox->isEnabled());
  EXPECT_EQ(EnabledPlayerControls(), Strings{});
  EXPECT_TRUE(form.VolTrackBar->isEnabled());
  EXPECT_TRUE(form.InfoSpeedButton->isEnabled());
  EXPECT_TRUE(form.SpeedButtonEsci->isEnabled());
  EXPECT_EQ(form.windowTitle(), "Albavox v2.0");
  EXPECT_EQ(decoder_->Log(), "init;") << "the decoder is loaded once and nothing else is asked of it";
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{});
  EXPECT_TRUE(form.isVisible());
}

TEST_F(MainFormTest, LoadedStateListsSortedAlbumsAndOpensTheFirst) {
  InstallDecoder("mpegdll.dll");  // the probe ignores letter case
  WriteIndex({{"Zeta", 0}, {"alfa", 0}, {"Beta", 1}}, "Compilation 2000", 1);
  AddSong("alfa/one.mp3", 61, testsupport::Id3Tag{"Uno", "Artista A", "Alfa", "1999", "primo", 17});
  AddSong("alfa/two.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(form.windowTitle(), "Compilation 2000");
  EXPECT_EQ(Entries(form.AlbumListBox), (Strings{"alfa", "Beta", "Zeta"}));
  EXPECT_EQ(Selected(form.AlbumListBox), "alfa");
  EXPECT_EQ(Entries(form.SongsListBox), (Strings{"one.mp3", "two.mp3"}));
  EXPECT_EQ(Selected(form.SongsListBox), "one.mp3");
  EXPECT_EQ(form.SelectedAlbum(), 0);
  EXPECT_EQ(form.SelectedSong(), 0);
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ButtonPlay", "ButtonNext", "PosMP3ScrollBar", "MP3InfoSpeedButton",
                                              "ContCheckBox", "RepeatCheckBox"}));
  EXPECT_EQ(Boxes(), Strings{});
  // Selecting by program raised no handler: nothing asked the decoder for its mode.
  EXPECT_EQ(decoder_->Log(), "init;");
}

TEST_F(MainFormTest, IndexWithoutAlbumsIsTheEmptyState) {
  InstallDecoder();
  WriteIndex({{"   ", 0}, {"", 1}});
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  EXPECT_FALSE(form.AlbumListBox->isEnabled());
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_EQ(form.SelectedAlbum(), -1);
  EXPECT_EQ(EnabledPlayerControls(), Strings{});
  EXPECT_EQ(Boxes(), Strings{});
  Activate(form);  // the covers of no album: nothing breaks
  EXPECT_EQ(Boxes(), Strings{});
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
}

TEST_F(MainFormTest, ShortIndexFilesReportReadBeyondEndAndShowTheEmptyState) {
  InstallDecoder();
  for (const std::string& bytes : {std::string(), std::string(100, 'x'), IndexRecord("Compilation 2000", 1)}) {
    WriteIndex(bytes);
    boxes_.Clear();
    app::TMainForm& form = Open();
    EXPECT_EQ(Boxes(), Strings{"Albavox v2.0|Read beyond end of file."}) << bytes.size() << " bytes";
    EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
    EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
    EXPECT_EQ(form.SelectedAlbum(), -1);
    EXPECT_EQ(EnabledPlayerControls(), Strings{});
    Activate(form);
    EXPECT_EQ(Boxes().size(), 1u);
  }
  EXPECT_EQ(form_->windowTitle(), "Compilation 2000") << "the header was read before the file ran out";
}

TEST_F(MainFormTest, PartialLastRecordIsIgnoredAndHeaderTextWithoutFlagIsNeverShown) {
  InstallDecoder();
  WriteIndex(testsupport::IndexFile("Secret title", 0, {{"Only", 0}}) + std::string(100, 'S'));
  AddSong("Only/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Boxes(), Strings{});
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Only"});
  EXPECT_EQ(form.windowTitle(), "Albavox v2.0");
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"song.mp3"});
}

TEST_F(MainFormTest, DecoderThatFailsItsInitIsReportedAndTheWindowStaysEmpty) {
  InstallDecoder();
  decoder_->SetResult("init", 0);
  decoder_->SetError("init", 1);
  WriteIndex({{"Album", 0}});
  app::TMainForm& form = Open();
  EXPECT_EQ(Boxes(), Strings{"Albavox v2.0|Internal decoder error."});
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  EXPECT_EQ(EnabledPlayerControls(), Strings{});
}

TEST_F(MainFormTest, EsciClosesTheWindow) {
  InstallDecoder();
  app::TMainForm& form = Open();
  Click(form.SpeedButtonEsci);
  EXPECT_FALSE(form.isVisible());
}

// Closes the modal dialog that `trigger` opens and returns what it was.
template <typename Trigger>
std::pair<QString, QSize> ModalOpenedBy(Trigger trigger, QDialog** opened = nullptr) {
  std::pair<QString, QSize> seen;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      seen = {dialog->windowTitle(), dialog->size()};
      if (opened) *opened = dialog;
      dialog->reject();
    }
  });
  trigger();
  return seen;
}

TEST_F(MainFormTest, AboutOpensAFreshAboutBoxEachTime) {
  InstallDecoder();
  app::TMainForm& form = Open();
  QDialog* first = nullptr;
  QDialog* second = nullptr;
  EXPECT_EQ(ModalOpenedBy([&] { Click(form.InfoSpeedButton); }, &first),
            std::make_pair(QString("Informazioni"), QSize(345, 218)));
  EXPECT_EQ(form.findChildren<dialogs::TAboutForm*>().size(), 0) << "the box is gone once closed";
  ModalOpenedBy([&] { Click(form.InfoSpeedButton); }, &second);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
}

TEST_F(MainFormTest, Mp3InfoShowsTheDialogMadeAtStartOnlyForAValidSong) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  app::TMainForm& form = Open();
  dialogs::TMP3InfoForm info(&form);
  form.SetMP3InfoForm(&info);
  QDialog* opened = nullptr;
  EXPECT_EQ(ModalOpenedBy([&] { Click(form.MP3InfoSpeedButton); }, &opened),
            std::make_pair(QString("MP3 Info"), QSize(392, 181)));
  EXPECT_EQ(opened, &info);
}

}  // namespace
