// The message-box service: a real modal box, or the test recorder when one is alive.
#include "platform/ui/message_box.h"

#include <QMessageBox>

namespace platform {

namespace {
MessageBoxRecorder* g_recorder = nullptr;

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

MessageBoxRecorder::MessageBoxRecorder() : previous_(g_recorder) { g_recorder = this; }

MessageBoxRecorder::~MessageBoxRecorder() { g_recorder = previous_; }

void ShowMessageBox(const QString& caption, const QString& text, MessageIcon icon) {
  if (g_recorder) {
    MessageBoxRecorder* recorder = g_recorder;
    recorder->calls_.push_back({caption, text, icon});
    if (recorder->onShow_) recorder->onShow_(recorder->calls_.back());
    return;
  }
  QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace platform
