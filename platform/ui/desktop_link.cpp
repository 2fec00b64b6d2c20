// Links handed to the desktop to open, or to the test recorder when one is alive.
#include "platform/ui/desktop_link.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace platform {

namespace {
LinkRecorder* g_recorder = nullptr;
}  // namespace

LinkRecorder::LinkRecorder() : previous_(g_recorder) { g_recorder = this; }

LinkRecorder::~LinkRecorder() {
  if (g_recorder == this) {
    g_recorder = previous_;
    return;
  }
  for (LinkRecorder* r = g_recorder; r; r = r->previous_) {
    if (r->previous_ == this) {
      r->previous_ = previous_;
      return;
    }
  }
}

void OpenLink(const QString& link) {
  if (link.trimmed().isEmpty()) return;
  if (g_recorder) {
    g_recorder->links_.push_back(link);
    return;
  }
  QUrl url(link, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().isEmpty()) url = QUrl::fromUserInput(link, QDir::currentPath());
  QDesktopServices::openUrl(url);  // fire and forget: a failure is the desktop's to show
}

}  // namespace platform
