// Main: the program entry. Runs in the compilation root: the current folder, or FOLDER when given.
#include <QApplication>

#include "app/application_setup.h"
#include "app/command_line.h"
#include "app/program_windows.h"
#include "desktop/mpris_bridge.h"
#include "zodizidu/macros/macro_table.h"

int main(int argc, char** argv) {
  if (const int exitCode = app::ApplyCommandLine(argc, argv); exitCode >= 0) return exitCode;
  // The analysis library's tables are built before any window exists.
  zodizidu::MacroDefinitions();
  int qtArgc = 1;  // the arguments are ours; Qt's settings come from its environment variables
  QApplication application(qtArgc, argv);
  app::SetUpApplication();

  app::ProgramWindows windows;
  new desktop::MprisBridge(windows.MainForm());  // media keys and now-playing, when there is a session bus
  windows.Show();
  return desktop::ProgramEnd(QApplication::exec());
}
