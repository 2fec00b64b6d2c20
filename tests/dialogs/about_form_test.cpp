// TAboutForm: the title and its shadow, pictures, contact links, guide buttons and how it closes.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/about_form.h"
#include "dialogs/hyper_label.h"
#include "dialogs/mp3_info_form.h"
#include "dialogs/text_form.h"
#include "platform/ui/desktop_link.h"
#include "tests/dialogs/dialog_helpers.h"

namespace {

using dialogs::TAboutForm;
using dialogs_test::ExecWith;

TEST(AboutForm, TitleIsANavySerifWordOverItsWhiteShadow) {
  TAboutForm about;
  for (const QLabel* title : {about.Label1, about.Label2}) {
    EXPECT_EQ(title->text(), "Albavox");
    EXPECT_EQ(title->parentWidget(), about.Panel1);
    EXPECT_EQ(QFontInfo(title->font()).family(), "Liberation Serif") << "the serif face Debian ships";
    EXPECT_TRUE(title->font().bold());
    EXPECT_TRUE(title->font().italic());
    EXPECT_EQ(title->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  }
  EXPECT_EQ(about.Label1->pos() - about.Label2->pos(), QPoint(2, 1)) << "the shadow lies right and down";
  EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_EQ(about.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  // The navy word is drawn over the white one.
  const QList<QObject*> order = about.Panel1->children();
  EXPECT_LT(order.indexOf(about.Label1), order.indexOf(about.Label2));
}

TEST(AboutForm, EveryTextFitsItsControlAndTheBox) {
  TAboutForm about;
  about.show();
  EXPECT_EQ(dialogs_test::TextsThatDoNotFit(about), std::vector<QString>{});
  EXPECT_EQ(about.Label4->geometry().right(), 115 + 126 - 1) << "the date stays right-justified on its edge";
  EXPECT_GT(about.Label4->x(), about.Label3->geometry().right());
  // The contact lines and the site link stay inside the frame around them.
  for (const QWidget* line : std::initializer_list<const QWidget*>{about.Label9, about.Label10, about.HyperLabel2}) {
    EXPECT_TRUE(about.Bevel1->geometry().contains(line->geometry())) << line->objectName().toStdString();
  }
  EXPECT_LT(about.Label10->geometry().right(), about.HyperLabel2->x()) << "the site link follows the second line";
  EXPECT_FALSE(about.Label5->text().isEmpty());
}

TEST(AboutForm, PicturesAreTheProgramIconTwiceAndTheLogo) {
  TAboutForm about;
  EXPECT_EQ(about.Image1->pixmap().size(), QSize(48, 48));
  EXPECT_EQ(about.Image2->pixmap().toImage(), about.Image1->pixmap().toImage());
  EXPECT_EQ(about.Image3->pixmap().size(), QSize(136, 73));
  // Drawn, not blank: the logo holds opaque navy ink and transparent background.
  const QImage logo = about.Image3->pixmap().toImage();
  int opaque = 0;
  int clear = 0;
  for (int y = 0; y < logo.height(); ++y) {
    for (int x = 0; x < logo.width(); ++x) {
      const int alpha = qAlpha(logo.pixel(x, y));
      if (alpha == 255) ++opaque;
      if (alpha == 0) ++clear;
    }
  }
  EXPECT_GT(opaque, 1000);
  EXPECT_GT(clear, 1000);
  EXPECT_EQ(about.windowIcon().pixmap(32).size(), QSize(32, 32)) << "the program icon, drawn at any size";
}

TEST(AboutForm, GuideButtonsCarryAGlyphWithADistinctDisabledState) {
  TAboutForm about;
  for (const QToolButton* button : {about.UseSpeedButton, about.VerSpeedButton}) {
    const QIcon glyph = button->icon();
    const QImage normal = glyph.pixmap(QSize(16, 16), QIcon::Normal).toImage();
    const QImage disabled = glyph.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
    EXPECT_FALSE(normal.isNull());
    EXPECT_NE(normal, disabled) << button->objectName().toStdString();
    EXPECT_TRUE(button->autoRaise()) << "a flat button";
  }
  EXPECT_NE(about.UseSpeedButton->icon().pixmap(16).toImage(), about.VerSpeedButton->icon().pixmap(16).toImage());
  EXPECT_EQ(about.UseSpeedButton->text(), "&Guida all'uso");
  EXPECT_EQ(about.VerSpeedButton->text(), "&Version history");
}

TEST(AboutForm, OkEnterAndEscapeCloseWithTheOkResult) {
  TAboutForm about;
  EXPECT_EQ(ExecWith(about, [&] { QTest::mouseClick(about.ButtonOk, Qt::LeftButton); }), QDialog::Accepted);
  EXPECT_EQ(ExecWith(about, [&] { QTest::keyClick(&about, Qt::Key_Return); }), QDialog::Accepted);
  EXPECT_EQ(ExecWith(about, [&] { QTest::keyClick(&about, Qt::Key_Escape); }), QDialog::Accepted);
  EXPECT_EQ(ExecWith(about, [&] { about.close(); }), QDialog::Rejected) << "the close box is no OK";
}

// Opens the guide or the history from the about box, closes it with its own "&Ok" and then the
// box; returns the modal windows seen on the way.
std::vector<QWidget*> GuideRoundTrip(TAboutForm& about, QToolButton* opener, QPushButton* guideOk) {
  std::vector<QWidget*> seen;
  const int result = ExecWith(about, [&] {
    seen.push_back(QApplication::activeModalWidget());
    QTimer::singleShot(0, [&] {
      seen.push_back(QApplication::activeModalWidget());
      QTest::mouseClick(guideOk, Qt::LeftButton);
    });
    QTest::mouseClick(opener, Qt::LeftButton);  // returns when the guide is closed
    seen.push_back(QApplication::activeModalWidget());
    QTest::mouseClick(about.ButtonOk, Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  return seen;
}

TEST(AboutForm, GuideAndHistoryOpenAboveTheBoxAndReturnToIt) {
  dialogs::TUseForm guide;
  dialogs::TVerForm history;
  TAboutForm about;
  EXPECT_EQ(GuideRoundTrip(about, about.UseSpeedButton, guide.ButtonOk),
            (std::vector<QWidget*>{&about, &guide, &about}));
  EXPECT_FALSE(guide.isVisible());
  EXPECT_EQ(GuideRoundTrip(about, about.VerSpeedButton, history.ButtonOk),
            (std::vector<QWidget*>{&about, &history, &about}));
  EXPECT_FALSE(history.isVisible());
  // The forms made at start live on after the box is gone.
  EXPECT_EQ(dialogs::TUseForm::Instance(), &guide);
}

TEST(AboutForm, LinksOpenTheInstalledDocumentationThroughTheDesktop) {
  platform::LinkRecorder links;
  TAboutForm about;
  for (dialogs::THyperLabel* link : {about.HyperLabel1, about.HyperLabel2}) {
    EXPECT_FALSE(link->text().isEmpty());
    const QUrl url(link->URL());
    EXPECT_TRUE(url.isValid() && !url.scheme().isEmpty()) << link->URL().toStdString();
    QTest::mouseClick(link, Qt::LeftButton);
  }
  EXPECT_EQ(links.Links(), (std::vector<QString>{about.HyperLabel1->URL(), about.HyperLabel2->URL()}));
}

TEST(Dialogs, AreCentredOnTheScreenNotOverTheWindowThatOpensThem) {
  QWidget window;  // the main window, in a corner of the screen
  window.setGeometry(0, 0, 577, 332);
  window.show();
  TAboutForm about(&window);
  dialogs::TMP3InfoForm info(&window);
  dialogs::TUseForm guide;
  for (QDialog* dialog : std::initializer_list<QDialog*>{&about, &info, &guide, &about}) {
    QPoint centre;
    ExecWith(*dialog, [&] {
      centre = dialog->frameGeometry().center();
      dialog->move(5, 5);  // moved by the user: the next showing centres it again
      dialog->reject();
    });
    EXPECT_LE((centre - window.screen()->availableGeometry().center()).manhattanLength(), 2)
        << dialog->objectName().toStdString();
  }
}

}  // namespace
