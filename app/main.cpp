// Main: the program entry. Started in the compilation root; takes no arguments.
#include <QApplication>
#include <QCoreApplication>
#include <QScreen>

#include "app/main_form.h"
#include "dialogs/about_form.h"
#include "dialogs/mp3_info_form.h"
#include "platform/ui/error_report.h"
#include "zodizidu/mpeg_audio.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QString title = QStringLiteral("Albavox v2.0");
  QApplication::setApplicationName(title);
  QApplication::setApplicationDisplayName(QString());  // window captions stay exactly as set
  platform::SetApplicationTitle(title);
  // The frame search of an analysis keeps the window alive while it reads a long file.
  zodizidu::SetMessagePump([] { QCoreApplication::processEvents(); });

  app::TMainForm mainForm;
  dialogs::TAboutForm aboutForm;  // made at start like every form; the button shows fresh ones
  dialogs::TMP3InfoForm mp3InfoForm(&mainForm);
  mainForm.SetMP3InfoForm(&mp3InfoForm);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    mainForm.move(screen->availableGeometry().center() - mainForm.rect().center());
  }
  mainForm.show();
  mainForm.activateWindow();
  return QApplication::exec();
}
