// What the program entry sets up before its windows exist.
#include "app/application_setup.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QTimer>
#include <QWidget>

#include <utility>

#include "app/index_reading.h"
#include "dialogs/artwork.h"
#include "platform/mixer/mixer.h"
#include "platform/ui/error_report.h"
#include "platform/ui/form_fonts.h"
#include "platform/version.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace app {

namespace {

// Watches a window for its first paint, then hands `work` to the event loop and goes.
class FirstFrameWatch : public QObject {
 public:
  FirstFrameWatch(QWidget& window, std::function<void()> work)
      : QObject(&window), window_(window), work_(std::move(work)) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      window_.removeEventFilter(this);
      QTimer::singleShot(0, &window_, [work = std::move(work_)] { platform::RunGuarded(work); });
      deleteLater();
    }
    return false;
  }

 private:
  QWidget& window_;
  std::function<void()> work_;
};

}  // namespace

void AfterFirstFrame(QWidget& window, std::function<void()> work) { new FirstFrameWatch(window, std::move(work)); }

void SetUpApplication() {
  // The volume slider's mixer opens, and the compilation index is read, on threads of their own
  // meanwhile.
  platform::OpenMixerAhead();
  ReadIndexAhead();
  const QString title = QString::fromUtf8(platform::kProgramTitle);
  QApplication::setApplicationName(title);
  QApplication::setApplicationDisplayName(QString());                          // window captions stay exactly as set
  QGuiApplication::setDesktopFileName(QStringLiteral("org.albavox.Albavox"));  // the desktop ties windows to the entry
  platform::SetApplicationTitle(title);
  QApplication::setFont(platform::FormFont());
  QApplication::setWindowIcon(dialogs::ProgramIcon());
  zodizidu::SetMessagePump([] { QCoreApplication::processEvents(); });
  // The windows' three faces are found and loaded now, while the mixer opens.
  for (const QFont& font : {platform::FormFont(), platform::BoldFont(11), platform::NarrowFont()}) {
    QFontMetrics(font).height();
  }
}

}  // namespace app
