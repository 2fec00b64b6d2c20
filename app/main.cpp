// Main: the program entry. Started in the compilation root; takes no arguments.
#include <QApplication>
#include <QScreen>

#include "app/application_setup.h"
#include "app/main_form.h"
#include "dialogs/about_form.h"
#include "dialogs/mp3_info_form.h"
#include "dialogs/use_form.h"
#include "dialogs/ver_form.h"
#include "zodizidu/macro_table.h"

int main(int argc, char** argv) {
  // The analysis library's tables are built before any window exists.
  zodizidu::MacroDefinitions();
  QApplication application(argc, argv);
  app::SetUpApplication();

  app::TMainForm mainForm;
  dialogs::TAboutForm aboutForm;  // made at start like every form; the button shows fresh ones
  dialogs::TUseForm useForm;      // shown from the about box
  dialogs::TVerForm verForm;
  dialogs::TMP3InfoForm mp3InfoForm(&mainForm);
  mainForm.SetMP3InfoForm(&mp3InfoForm);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    mainForm.move(screen->availableGeometry().center() - mainForm.rect().center());
  }
  mainForm.show();
  mainForm.activateWindow();
  return QApplication::exec();
}
