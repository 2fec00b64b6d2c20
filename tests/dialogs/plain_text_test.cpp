// Names from the disk, an index or a tag are shown as they stand, wherever they are shown.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs/hyper_label.h"
#include "dialogs/mp3_info_form.h"
#include "platform/ui/error_report.h"
#include "platform/ui/message_box.h"
#include "tests/dialogs/dialog_helpers.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

// What a control puts on the screen: a label that reads its text as markup shows it without tags.
QString Shown(const QWidget* control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  const auto* label = qobject_cast<const QLabel*>(control);
  if (!label) return QStringLiteral("(no text control)");
  const bool markup = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
  if (!markup) return label->text();
  QTextDocument document;
  document.setHtml(label->text());
  return document.toPlainText();
}

// The text of the real message box that `show` puts up, read while it is up, then closed.
QString BoxText(const std::function<void()>& show) {
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    text = Shown(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")));
    box->accept();
  });
  show();
  return text;
}

// An album folder's name that markup would turn into bold red text.
const std::string kName = "<b>Grassetto <font color=red>rosso";

TEST(PlainText, NamesAreShownLiterallyEverywhere) {
  const QString name = QString::fromStdString(kName);
  struct Way {
    const char* what;
    std::function<QString()> show;  // shows `name` that way and gives what the user sees
  };
  const Way ways[] = {
      {"message box",
       [&] { return BoxText([&] { platform::ShowMessageBox("Error", name, platform::MessageIcon::Error); }); }},
      {"error report", [&] { return BoxText([&] { platform::ShowErrorReport(name + "/front.jpg"); }).chopped(11); }},
      {"MP3 Info file name",
       [&] {
         testsupport::TempDir dir;
         const auto path =
             dir.WriteFile(kName + "/song.mp3", testsupport::Frames(testsupport::MakeHeader(1, 3, 128, 44100), 30));
         zodizidu::TMPEGAudio song;
         song.SetFileName(path.string());
         dialogs::TMP3InfoForm info;
         info.SetSongAnalysis([&] { return &song; });
         QString seen;
         dialogs_test::ExecWith(info, [&] {
           seen = Shown(info.MP3FileEdit).section('/', -2, -2);
           info.OkButton->click();
         });
         return seen;
       }},
      {"link caption",
       [&] {
         dialogs::THyperLabel link;
         link.setText(name);
         return Shown(&link);
       }},
  };
  for (const Way& way : ways) EXPECT_EQ(way.show(), name) << way.what;
}

}  // namespace
