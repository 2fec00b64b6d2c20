// Names from the disk, an index or a tag are shown as they stand in message boxes and reports.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/ui/error_report.h"
#include "platform/ui/message_box.h"

namespace {

// What a label puts on the screen: a label that reads its text as markup shows it without tags.
QString Shown(const QLabel* label) {
  if (label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text())) return label->text();
  QTextDocument document;
  document.setHtml(label->text());
  return document.toPlainText();
}

// What the real message box that `show` puts up shows, read while it is up.
QString BoxText(const std::function<void()>& show) {
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    text = Shown(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")));
    box->accept();
  });
  show();
  return text;
}

TEST(PlainText, NamesAreShownLiterallyEverywhere) {
  // An album folder's name that markup would turn into bold red text.
  const QString name = QStringLiteral("<b>Grassetto <font color=red>rosso");
  const std::pair<const char*, std::function<QString()>> ways[] = {
      {"message box", [&] { return BoxText([&] { platform::ShowMessageBox("Error", name, {}); }); }},
      {"error report", [&] { return BoxText([&] { platform::ShowErrorReport(name + "/front.jpg"); }).chopped(11); }},
  };
  for (const auto& [way, show] : ways) EXPECT_EQ(show(), name) << way;
}

}  // namespace
