// The decoder check: the file must lie in the compilation root, and the library loaded is always
// the one in the program's own folder. Each case fills a program folder of its own, so cases
// running side by side never see each other's libraries.
#include <QApplication>
#include <QListWidget>

#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/library.h"
#include "tests/app/main_form_fixture.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<QString>;
using testsupport::FakeDecoder;
using testsupport::MainFormTest;

const QString kLoadError = QStringLiteral("Errore di caricamento della libreria MPEGDLL.DLL.");

enum class Library { kNone, kFake, kForeign };

void Put(Library library, const testsupport::TempDir& dir) {
  if (library == Library::kFake) FakeDecoder::InstallAs(dir.path(), "MPEGDLL.DLL");
  if (library == Library::kForeign) dir.WriteFile("MPEGDLL.DLL", "a library for another system");
}

TEST_F(MainFormTest, OnlyTheProgramsOwnLibraryIsLoadedAndTheCompilationMustHoldTheFile) {
  struct Case {
    const char* what;
    Library own;
    Library compilation;
    bool runs;
    const char* why;  // how the box goes on after its first line: the file tried and the reason
  };
  const Case cases[] = {
      {"foreign file in the compilation, own library loads", Library::kFake, Library::kForeign, true, ""},
      {"no file in the compilation", Library::kFake, Library::kNone, false, ""},
      {"own library missing, the compilation's is never loaded", Library::kNone, Library::kFake, false,
       ": no such library file"},
      {"own library cannot be loaded", Library::kForeign, Library::kFake, false, ": "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A compilation and a program folder of its own: a library once loaded stays loaded.
    testsupport::TempDir program, root;
    testsupport::ScopedCurrentDir inRoot(root.path());
    platform::ScopedLibraryFolder inProgram(program.str());
    Put(c.own, program);
    Put(c.compilation, root);
    root.WriteFile("ALBUMS.INF", testsupport::IndexFile("", 0, {{"Album", 0}}));
    root.WriteFile("Album/song.mp3", testsupport::Mp3File(61));
    std::optional<FakeDecoder> fake;
    if (c.own == Library::kFake) fake.emplace(program.path() / "MPEGDLL.DLL");
    boxes_.Clear();
    app::TMainForm form;
    form.show();
    Activate(form);
    if (c.runs) {
      EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Album"});
      EXPECT_EQ(fake->Log(), "init;") << "the program's own library was loaded";
      EXPECT_EQ(Boxes(), Strings{});
      EXPECT_TRUE(form.isVisible());
      continue;
    }
    EXPECT_EQ(Entries(form.AlbumListBox), Strings{"Nessun album."});
    ASSERT_EQ(Boxes().size(), 1u);
    const QStringList lines = boxes_.Calls()[0].text.split('\n');
    EXPECT_EQ(lines[0], kLoadError);
    const QString own = QString::fromStdString((program.path() / "MPEGDLL.DLL").string());
    EXPECT_EQ(lines.size() > 1 ? lines[1].left(own.size() + std::strlen(c.why)) : QString(),
              *c.why ? own + c.why : QString());
    EXPECT_FALSE(form.isVisible());
  }
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
  EXPECT_EQ(Boxes(), Strings{"Error|" + kLoadError});
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
