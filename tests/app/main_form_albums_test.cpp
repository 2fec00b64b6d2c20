// Album selection, multi-disc folders and the CD buttons, and album folders that are odd or hostile.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

#include <filesystem>

#include "tests/app/main_form_fixture.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<QString>;
using testsupport::MainFormTest;

std::vector<QString> EnabledDiscButtons(const app::TMainForm& form) {
  std::vector<QString> enabled;
  for (QToolButton* button : {form.CD1SB, form.CD2SB, form.CD3SB, form.CD4SB}) {
    if (button->isEnabled()) enabled.push_back(button->text());
  }
  return enabled;
}

// The CD label as the user sees it: its caption, or nothing when it is hidden.
QString DiscLabel(const app::TMainForm& form) { return form.CDLabel->isVisible() ? form.CDLabel->text() : QString(); }

TEST_F(MainFormTest, SingleAndMultiDiscAlbumsSetTheCdButtonsAndLabel) {
  InstallDecoder();
  WriteIndex({{"Single", 0}, {"Double", 1}});
  AddSong("Single/s.mp3");
  AddSong("Single/CD1/never.mp3");  // a single-disc album lists its own folder only
  AddSong("Double/CD1/d1.mp3");
  AddSong("Double/CD2/d2.mp3");
  app::TMainForm& form = Open();
  ASSERT_EQ(Selected(form.AlbumListBox), "Double");
  EXPECT_EQ(EnabledDiscButtons(form), (Strings{"CD1", "CD2"}));
  EXPECT_EQ(DiscLabel(form), " CD1 ");
  EXPECT_EQ(form.CurrentDisc(), 1);
  EXPECT_EQ(form.DiscFolder(), "CD1/");
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"d1.mp3"});

  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Single"));
  EXPECT_EQ(form.SelectedAlbum(), 1);
  EXPECT_EQ(EnabledDiscButtons(form), Strings{});
  EXPECT_EQ(DiscLabel(form), "");
  EXPECT_EQ(form.CurrentDisc(), 0);
  EXPECT_EQ(form.DiscFolder(), "");
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"s.mp3"});
  EXPECT_EQ(Selected(form.SongsListBox), "s.mp3");
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, CdButtonsSwitchDiscsAndTheShownDiscChangesNothing) {
  InstallDecoder();
  WriteIndex({{"Box", 1}});
  AddSong("Box/CD2/two-a.mp3");
  AddSong("Box/CD2/two-b.mp3");
  AddSong("Box/CD4/four.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(EnabledDiscButtons(form), (Strings{"CD2", "CD4"}));
  EXPECT_EQ(DiscLabel(form), " CD2 ");
  EXPECT_EQ(Entries(form.SongsListBox), (Strings{"two-a.mp3", "two-b.mp3"}));
  EXPECT_EQ(Selected(form.SongsListBox), "two-a.mp3");

  decoder_->ClearLog();
  Click(form.CD2SB);
  EXPECT_EQ(decoder_->Log(), "") << "the disc already shown: no stop, nothing listed again";
  Click(form.CD1SB);  // disabled
  EXPECT_EQ(form.CurrentDisc(), 2);

  Click(form.CD4SB);
  EXPECT_EQ(DiscLabel(form), " CD4 ");
  EXPECT_EQ(form.DiscFolder(), "CD4/");
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"four.mp3"});
  EXPECT_EQ(Selected(form.SongsListBox), "four.mp3");
  EXPECT_EQ(decoder_->Log(), "GetPlayerMode;LastError;") << "a disc switch stops what plays first";
  EXPECT_EQ(EnabledPlayerControls(),
            (Strings{"ButtonPlay", "PosMP3ScrollBar", "MP3InfoSpeedButton", "ContCheckBox", "RepeatCheckBox"}));
}

TEST_F(MainFormTest, MultiDiscAlbumWithoutDiscFoldersFallsBackToCd4) {
  InstallDecoder();
  WriteIndex({{"Loose", 1}});
  AddSong("Loose/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(EnabledDiscButtons(form), Strings{});
  EXPECT_EQ(DiscLabel(form), " CD4 ");
  EXPECT_EQ(form.CurrentDisc(), 4);
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_FALSE(form.SongsListBox->isEnabled());
  EXPECT_EQ(form.SelectedSong(), -1);
  EXPECT_EQ(EnabledPlayerControls(), (Strings{"ContCheckBox", "RepeatCheckBox"}));
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, DiscFoldersAndSongsAreFoundWhateverTheirLetterCase) {
  InstallDecoder();
  WriteIndex({{"Album", 1}});
  AddSong("Album/cd1/LOUD.MP3");
  AddSong("Album/Cd3/quiet.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(EnabledDiscButtons(form), (Strings{"CD1", "CD3"}));
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"LOUD.MP3"});
  EXPECT_EQ(Boxes(), Strings{}) << "the song in cd1 was found and analysed";
  EXPECT_TRUE(form.MP3InfoSpeedButton->isEnabled());
}

TEST_F(MainFormTest, ListsAreSortedIgnoringCaseAndEachEntryKeepsItsAlbum) {
  InstallDecoder();
  WriteIndex({{"Zeta", 0}, {"alfa", 0}, {"Beta", 1}});
  AddSong("alfa/b.MP3");
  AddSong("alfa/A.mp3");
  AddSong("alfa/c.Mp3");
  AddSong("Beta/CD3/x.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.SongsListBox), (Strings{"A.mp3", "b.MP3", "c.Mp3"}));
  EXPECT_EQ(Selected(form.SongsListBox), "A.mp3");
  EXPECT_EQ(form.AlbumOfEntry(1).EntryName, "Beta");

  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Beta"));
  EXPECT_EQ(form.SelectedAlbum(), 1);
  EXPECT_EQ(EnabledDiscButtons(form), Strings{"CD3"}) << "Beta's own multi-disc flag was used";
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"x.mp3"});
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Zeta"));
  EXPECT_EQ(form.AlbumOfEntry(form.SelectedAlbum()).EntryFlag, 0);
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
}

TEST_F(MainFormTest, ClickingTheSelectedAlbumDoesNothingAndKeysMoveTheSelection) {
  InstallDecoder();
  WriteIndex({{"One", 0}, {"Two", 0}});
  AddSong("One/1.mp3");
  AddSong("Two/2.mp3");
  app::TMainForm& form = Open();
  decoder_->ClearLog();
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "One"));
  EXPECT_EQ(decoder_->Log(), "");
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"1.mp3"});

  form.AlbumListBox->setFocus();
  QTest::keyClick(form.AlbumListBox, Qt::Key_Down);
  EXPECT_EQ(form.SelectedAlbum(), 1);
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"2.mp3"});
  EXPECT_EQ(decoder_->Log(), "GetPlayerMode;LastError;");
  QTest::keyClick(form.AlbumListBox, Qt::Key_Up);
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"1.mp3"});
}

TEST_F(MainFormTest, AlbumNamesKeepTheirBlanksAndWindowsNamesFindTheirFolders) {
  InstallDecoder();
  WriteIndex({{" Padded ", 0}, {"Citt\xE0", 0}, {"Missing", 0}});
  AddSong(" Padded /p.mp3");
  AddSong("Città/c.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), (Strings{" Padded ", QString::fromUtf8("Città"), "Missing"}));
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"p.mp3"});
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, QString::fromUtf8("Città")));
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"c.mp3"});
  EXPECT_TRUE(form.ButtonPlay->isEnabled());
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Missing"));
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_FALSE(form.ButtonPlay->isEnabled());
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, SongNamesFollowTheSameTextRuleAsAlbumNames) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/s\xF9.mp3", 61, testsupport::TitleTag("Windows"));  // Windows-1252 bytes on the disk
  AddSong("Album/Citt\xC3\xA0.mp3", 62, testsupport::TitleTag("Utf"));
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.SongsListBox), (Strings{QString::fromUtf8("Città.mp3"), QString::fromUtf8("sù.mp3")}));
  ASSERT_TRUE(ClickEntry(form.SongsListBox, QString::fromUtf8("sù.mp3")));
  EXPECT_EQ(form.MP3TitleEdit->text(), "Windows") << "the song is opened by its name as the disk spells it";
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, NameOfFullLengthIsListedAndOpened) {
  InstallDecoder();
  const std::string name(255, 'n');
  WriteIndex({{name, 0}});
  AddSong(name + "/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{QString(255, 'n')});
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"song.mp3"});
}

TEST_F(MainFormTest, NamesLeadingOutOfTheCompilationOpenNothing) {
  testsupport::TempDir outside;
  outside.WriteFile("song.mp3", testsupport::Mp3File(5));
  outside.MakeDir("CD1");
  fs::create_directory_symlink(outside.path(), root_.path() / "link");  // a link made on purpose by the owner
  const std::string escape = fs::relative(outside.path(), root_.path()).string();
  ASSERT_TRUE(escape.starts_with("..")) << escape;

  InstallDecoder();
  WriteIndex(
      {{escape, 0}, {escape + "x/..", 1}, {"..", 0}, {"sub/../..", 0}, {std::string("..\0abc", 6), 0}, {"link", 0}});
  app::TMainForm& form = Open();
  ASSERT_EQ(form.AlbumListBox->count(), 6);
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "link"));
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"song.mp3"}) << "a folder the owner linked in is the owner's choice";
  for (int row = 0; row < form.AlbumListBox->count(); ++row) {
    if (form.AlbumListBox->EntryText(row) == "link") continue;
    ASSERT_TRUE(ClickEntry(form.AlbumListBox, form.AlbumListBox->EntryText(row)));
    EXPECT_EQ(form.SelectedAlbum(), row);
    EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."})
        << form.AlbumListBox->EntryText(row).toStdString();
    EXPECT_EQ(EnabledDiscButtons(form), Strings{});
  }
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, UnreadableAlbumFolderListsNoSongs) {
  if (testsupport::RunningAsRoot()) {
    GTEST_SKIP() << "running as root: permission bits do not stop reading a folder";
  }
  InstallDecoder();
  WriteIndex({{"Locked", 0}, {"Open", 0}});
  AddSong("Locked/song.mp3");
  AddSong("Open/song.mp3");
  fs::permissions(root_.path() / "Locked", fs::perms::none);
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(MainFormTest, SymbolicLinkLoopsAreListedButNeverHang) {
  InstallDecoder();
  WriteIndex({{"Loops", 0}, {"Self", 1}});
  AddSong("Loops/good.mp3");
  fs::create_symlink("loop.mp3", root_.path() / "Loops" / "loop.mp3");
  fs::create_directory_symlink("Self", root_.path() / "Self");  // the album folder is a loop itself
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.SongsListBox), (Strings{"good.mp3", "loop.mp3"}));
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "loop.mp3"));
  EXPECT_EQ(Boxes(), Strings{"Error|File MP3 selezionato non corretto"});
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Self"));
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"Nessuna canzone."});
  EXPECT_EQ(DiscLabel(form), " CD4 ");
}

TEST_F(MainFormTest, AlbumOfFiveThousandSongsIsListedInOrder) {
  InstallDecoder();
  WriteIndex({{"Big", 0}});
  AddSong("Big/0000.mp3");
  for (int i = 4999; i >= 1; --i) {
    char name[32];
    std::snprintf(name, sizeof name, "Big/%04d.mp3", i);
    root_.WriteFile(name, "");
  }
  app::TMainForm& form = Open();
  ASSERT_EQ(form.SongsListBox->count(), 5000);
  EXPECT_EQ(form.SongsListBox->EntryText(0), "0000.mp3");
  EXPECT_EQ(form.SongsListBox->EntryText(4999), "4999.mp3");
  EXPECT_EQ(Selected(form.SongsListBox), "0000.mp3");
  EXPECT_TRUE(form.ButtonNext->isEnabled());
  EXPECT_EQ(Boxes(), Strings{});
}

}  // namespace
