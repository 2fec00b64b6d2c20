// The decoder check: the file must lie in the compilation root, the library loaded may be the
// one beside the program. Runs from a folder of its own, so it can put a library beside itself.
#include <QApplication>
#include <QListWidget>

#include <filesystem>

#include "platform/library.h"
#include "tests/app/main_form_fixture.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<QString>;
using testsupport::FakeDecoder;
using testsupport::MainFormTest;

// The fake decoder installed beside the test program for the lifetime of the object.
class BesideProgram {
 public:
  BesideProgram() : path_(FakeDecoder::InstallAs(platform::ExecutableDir(), "MPEGDLL.DLL")) {}
  ~BesideProgram() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST_F(MainFormTest, LibraryBesideTheProgramIsNotEnoughWithoutTheFileInTheCompilation) {
  BesideProgram beside;
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{"Error|Errore di caricamento della libreria MPEGDLL.DLL."});
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MainFormTest, ForeignDecoderFileInTheCompilationPassesWhenTheProgramHasItsOwn) {
  BesideProgram beside;
  FakeDecoder own(beside.path());
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
  root_.WriteFile("MPEGDLL.DLL", "not a library");
  WriteIndex({{"Album", 0}});
  app::TMainForm& form = Open();
  EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{"Error|Errore di caricamento della libreria MPEGDLL.DLL."});
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
