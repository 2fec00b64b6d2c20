// The message-box service: a real modal box, or the test recorder when one is alive.
#include "platform/ui/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace platform {

namespace {
MessageBoxRecorder* g_recorder = nullptr;

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kWarning: return QMessageBox::Warning;
    case MessageIcon::kError: return QMessageBox::Critical;
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

MessageBoxRecorder::MessageBoxRecorder() : previous_(g_recorder) { g_recorder = this; }

MessageBoxRecorder::~MessageBoxRecorder() {
  // Recorders usually end in the reverse order of their start; one that ends early is
  // taken out of the chain so the others keep working.
  if (g_recorder == this) {
    g_recorder = previous_;
    return;
  }
  for (MessageBoxRecorder* r = g_recorder; r; r = r->previous_) {
    if (r->previous_ == this) {
      r->previous_ = previous_;
      return;
    }
  }
}

void ShowMessageBox(const QString& caption, const QString& text, MessageIcon icon) {
  if (g_recorder) {
    MessageBoxRecorder* recorder = g_recorder;
    const MessageBoxCall call{caption, text, icon};
    recorder->calls_.push_back(call);
    // The action gets its own copy: it may show further boxes, which grow the list.
    if (recorder->onShow_) recorder->onShow_(call);
    return;
  }
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    // No widgets to show a box with (a command-line use of the libraries): say it on stderr.
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    return;
  }
  QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, QApplication::activeWindow());
  // The text often holds names from the disk or a tag ("<b>Rock</b>/front.jpg"): it is shown as
  // it stands, never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace platform
