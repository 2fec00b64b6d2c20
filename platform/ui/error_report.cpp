// The application's standard error report.
#include "platform/ui/error_report.h"

#include "platform/ui/message_box.h"

namespace platform {

namespace {
QString& TitleStorage() {
  static QString title = QStringLiteral("Albavox v2.0");
  return title;
}
}  // namespace

void SetApplicationTitle(const QString& title) { TitleStorage() = title; }

QString ApplicationTitle() { return TitleStorage(); }

QString ErrorReportText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void ShowErrorReport(const QString& message) {
  ShowMessageBox(ApplicationTitle(), ErrorReportText(message), MessageIcon::Error);
}

}  // namespace platform
