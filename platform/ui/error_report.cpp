// The application's standard error report.
#include "platform/ui/error_report.h"

#include "platform/ui/display_text.h"
#include "platform/ui/message_box.h"
#include "platform/version.h"

namespace platform {

namespace {
QString& TitleStorage() {
  static QString title = QString::fromUtf8(kProgramTitle);
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
  ShowMessageBox(ApplicationTitle(), ErrorReportText(message), MessageIcon::kError);
}

void ReportException(std::exception_ptr error) noexcept {
  try {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      ShowErrorReport(DisplayText(e.what()));
    } catch (...) {
      ShowErrorReport(QStringLiteral("Unknown error"));
    }
  } catch (...) {
    // The report itself failed (no memory for the box): there is nobody left to tell, and
    // letting the exception go on would carry it into Qt.
  }
}

}  // namespace platform
