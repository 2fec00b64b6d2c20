// The decoder check: the file must lie in the compilation root, the library loaded is always the
// one in the program's own folder. Each case names a program folder of its own (the fixture's):
// cases running side by side never see each other's library.
#include <QApplication>
#include <QListWidget>

#include <filesystem>

#include "tests/app/main_form_fixture.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<QString>;
using testsupport::FakeDecoder;
using testsupport::MainFormTest;

TEST_F(MainFormTest, LibraryBesideTheProgramIsNotEnoughWithoutTheFileInTheCompilation) {
  FakeDecoder::InstallAs(program_.path(), "MPEGDLL.DLL");
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{"Error|Errore di caricamento della libreria MPEGDLL.DLL."});
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MainFormTest, ForeignDecoderFileInTheCompilationPassesWhenTheProgramHasItsOwn) {
  FakeDecoder own(FakeDecoder::InstallAs(program_.path(), "MPEGDLL.DLL"));
  root_.WriteFile("MPEGDLL.DLL", "a library for another system");
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Album"});
  EXPECT_EQ(Entries(form.SongsListBox), Strings{"song.mp3"});
  EXPECT_EQ(own.Log(), "init;") << "the program's own library was loaded";
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{});
  EXPECT_TRUE(form.isVisible());
}

TEST_F(MainFormTest, UnloadableDecoderFileFailsTheCheck) {
  InstallLibrary(FakeDecoder::LibraryPath());  // the compilation's copy would load, but is never loaded
  program_.WriteFile("MPEGDLL.DLL", "not a library");
  WriteIndex({{"Album", 0}});
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  Activate(form);
  ASSERT_EQ(Boxes().size(), 1u);
  const QString own = QString::fromStdString((program_.path() / "MPEGDLL.DLL").string());  // and why
  EXPECT_TRUE(Boxes()[0].startsWith("Error|Errore di caricamento della libreria MPEGDLL.DLL.\n" + own + ": "))
      << Boxes()[0].toStdString();
}

TEST_F(MainFormTest, DecoderThatVanishesIsNoticedAtTheNextActivation) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  app::TMainForm& form = Open();
  Activate(form);
  ASSERT_EQ(Boxes(), Strings{});
  fs::remove(root_.path() / "MPEGDLL.DLL");
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{"Error|Errore di caricamento della libreria MPEGDLL.DLL."});
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
