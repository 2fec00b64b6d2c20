// A compilation built in a temporary folder, made the current directory, and the main window on it.
#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/library.h"
#include "platform/ui/message_box.h"
#include "tests/app/compilation_files.h"
#include "tests/player/fake_decoder_control.h"
#include "tests/support/fake_mixer.h"
#include "tests/support/temp_dir.h"

namespace app::detail {
class ListBox;
}
class QScrollBar;
class QWidget;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace testsupport {

// Drags the position bar's thumb to `seconds` with the mouse and lets it go.
void DragThumbTo(QScrollBar* bar, int seconds);

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest();
  ~MainFormTest() override;

  // Puts `library` into the program's own folder as "MPEGDLL.DLL", the library that is loaded,
  // and a copy into the compilation root as `fileName`, the file the start-up check wants to see.
  void InstallLibrary(const std::filesystem::path& library, const std::string& fileName = "MPEGDLL.DLL");
  // InstallLibrary of the scripted fake decoder, which decoder_ then controls.
  void InstallDecoder(const std::string& fileName = "MPEGDLL.DLL");
  // Writes ALBUMS.INF.
  void WriteIndex(const std::string& bytes);
  void WriteIndex(const std::vector<IndexAlbum>& albums, std::string_view title = "", std::int32_t headerFlag = 0);
  // Writes a valid song of `seconds` at `relative` (to the compilation root).
  void AddSong(const std::string& relative, int seconds = 61, const std::optional<Id3Tag>& tag = {});
  // Makes a folder in the compilation.
  void AddFolder(const std::string& relative);

  // Creates the main window (which runs FormCreate) and shows it.
  app::TMainForm& Open(app::TMainForm::BackCover backCover = app::TMainForm::BackCover::kAtOnce);

  // What the user sees.
  static std::vector<QString> Entries(const app::detail::ListBox* list);
  static QString Selected(const app::detail::ListBox* list);
  // The enabled controls among the player panel's, by object name.
  std::vector<QString> EnabledPlayerControls() const;
  // The message boxes shown so far, as "caption|text".
  std::vector<QString> Boxes() const;

  // A user's click on the entry `text` of `list`; false when there is no such entry.
  static bool ClickEntry(app::detail::ListBox* list, const QString& text);
  static void Click(QWidget* button);
  // The window becoming the active one (returning from a dialog or another program).
  static void Activate(app::TMainForm& form);

  TempDir root_;
  ScopedCurrentDir inRoot_{root_.path()};
  // The program's own folder, where libraries are loaded from: empty until a decoder is installed.
  TempDir program_;
  platform::ScopedLibraryFolder inProgram_{program_.str()};
  platform::MessageBoxRecorder boxes_;
  // The system volume the window sees: a card whose wave output is a stereo "Master" of
  // 0..65536 at full volume (the range of a sound server's sink).
  FakeMixer mixer_;
  std::unique_ptr<FakeDecoder> decoder_;
  std::unique_ptr<app::TMainForm> form_;
};

}  // namespace testsupport
