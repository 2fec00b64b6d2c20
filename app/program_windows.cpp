// The program's windows as its start makes them.
#include "app/program_windows.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/application_setup.h"

namespace app {

ProgramWindows::ProgramWindows() {
  AfterFirstFrame(mainForm_, [this] {
    useForm_.emplace();
    verForm_.emplace();
    mp3InfoForm_.emplace(&mainForm_);
    mainForm_.SetMP3InfoForm(&*mp3InfoForm_);
  });
}

void ProgramWindows::Show() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    mainForm_.move(screen->availableGeometry().center() - mainForm_.rect().center());
  }
  mainForm_.show();
  mainForm_.activateWindow();
}

}  // namespace app
