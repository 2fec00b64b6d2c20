// Main: the program entry. Runs in the compilation root: the current folder, or FOLDER when given.
#include <QApplication>
#include <QScreen>

#include <optional>

#include "app/application_setup.h"
#include "app/command_line.h"
#include "app/main_form.h"
#include "desktop/mpris_bridge.h"
#include "dialogs/mp3_info_form.h"
#include "dialogs/text_form.h"
#include "zodizidu/macros/macro_table.h"

int main(int argc, char** argv) {
  if (const int exitCode = app::ApplyCommandLine(argc, argv); exitCode >= 0) return exitCode;
  // The analysis library's tables are built before any window exists.
  zodizidu::MacroDefinitions();
  int qtArgc = 1;  // the arguments are ours; Qt's settings come from its environment variables
  QApplication application(qtArgc, argv);
  app::SetUpApplication();

  app::TMainForm mainForm;
  // The guide and the history, shown from the about box, which the window makes afresh each time,
  // and the "MP3 Info" dialog. They are made once the window's first frame is out; the about box
  // shows a passing guide or history when asked before.
  std::optional<dialogs::TUseForm> useForm;
  std::optional<dialogs::TVerForm> verForm;
  std::optional<dialogs::TMP3InfoForm> mp3InfoForm;
  app::AfterFirstFrame(mainForm, [&] {
    useForm.emplace();
    verForm.emplace();
    mp3InfoForm.emplace(&mainForm);
    mainForm.SetMP3InfoForm(&*mp3InfoForm);
  });
  new desktop::MprisBridge(mainForm);  // media keys and now-playing, when there is a session bus

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    mainForm.move(screen->availableGeometry().center() - mainForm.rect().center());
  }
  mainForm.show();
  mainForm.activateWindow();
  return desktop::ProgramEnd(QApplication::exec());
}
