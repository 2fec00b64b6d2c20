// The window's controls: names, kinds, parents and hints as laid out, and captions that fit.
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>

#include "tests/app/main_form_fixture.h"

namespace {

using testsupport::MainFormTest;

// The caption as drawn: the '&' that marks the underlined letter takes no room.
QString Drawn(QString text) { return text.remove(QLatin1Char('&')); }

int Advance(const QWidget* widget, const QString& text) {
  return QFontMetrics(widget->font()).horizontalAdvance(Drawn(text));
}

TEST_F(MainFormTest, EveryControlHasItsNameKindParentAndHint) {
  InstallDecoder();
  app::TMainForm& form = Open();
  struct Control {
    const char* name;
    const char* kind;
    const char* parent;
    const char* hint;
  };
  const Control controls[] = {
      {"CoverPageControl", "QTabWidget", "MainForm", ""},
      {"FrontCoverImage", "QLabel", "FCTabSheet", ""},
      {"FCNDStaticText", "QLabel", "FCTabSheet", ""},
      {"BackCoverImage", "QLabel", "BCTabSheet", "Cover del CD"},
      {"BCNDStaticText", "QLabel", "BCTabSheet", ""},
      {"AlbumGroupBox", "QGroupBox", "MainForm", "Lista degli albums disponibili"},
      {"Label6", "QLabel", "AlbumGroupBox", ""},
      {"AlbumListBox", "QListWidget", "AlbumGroupBox", ""},
      {"CD1SB", "QToolButton", "MainForm", ""},
      {"CD4SB", "QToolButton", "MainForm", ""},
      {"SongsGroupBox", "QGroupBox", "MainForm", "Lista delle canzoni disponibili per l'album selezionato"},
      {"Label7", "QLabel", "SongsGroupBox", ""},
      {"CDLabel", "QLabel", "SongsGroupBox", ""},
      {"SongsListBox", "QListWidget", "SongsGroupBox", ""},
      {"InfoGroupBox", "QGroupBox", "MainForm", "Informazioni sulla canzone selezionata"},
      {"Label8", "QLabel", "InfoGroupBox", ""},
      {"MP3TitleEdit", "QLineEdit", "InfoGroupBox", ""},
      {"MP3CommentEdit", "QLineEdit", "InfoGroupBox", ""},
      {"Label9", "QLabel", "InfoGroupBox", ""},
      {"MP3InfoSpeedButton", "QToolButton", "MainForm", ""},
      {"InfoSpeedButton", "QToolButton", "MainForm", ""},
      {"SpeedButtonEsci", "QToolButton", "MainForm", ""},
      {"MP3PlayerGroupBox", "QGroupBox", "MainForm", ""},
      {"Label10", "QLabel", "MP3PlayerGroupBox", ""},
      {"PosMP3PercLabel", "QLabel", "MP3PlayerGroupBox", ""},
      {"MP3CurrentPos", "QLabel", "MP3PlayerGroupBox", ""},
      {"MP3TotalTime", "QLabel", "MP3PlayerGroupBox", "Tempo totale della canzone"},
      {"PosMP3ScrollBar", "QScrollBar", "MP3PlayerGroupBox", ""},
      {"ButtonPrev", "QToolButton", "MP3PlayerGroupBox", "Canzone precedente"},
      {"ButtonPlay", "QToolButton", "MP3PlayerGroupBox", "Play"},
      {"ButtonPause", "QToolButton", "MP3PlayerGroupBox", "Pause"},
      {"ButtonStop", "QToolButton", "MP3PlayerGroupBox", "Stop"},
      {"ButtonNext", "QToolButton", "MP3PlayerGroupBox", "Canzone successiva"},
      {"ContCheckBox", "QCheckBox", "MP3PlayerGroupBox", "Riproduzione continuata dei brani dell'album selezionato"},
      {"RepeatCheckBox", "QCheckBox", "MP3PlayerGroupBox", "Ripete la canzone selezionata"},
      {"VolTrackBar", "QSlider", "MP3PlayerGroupBox", "Volume"},
      {"VolPos", "QLabel", "MP3PlayerGroupBox", ""},
  };
  for (const Control& c : controls) {
    SCOPED_TRACE(c.name);
    const QWidget* widget = form.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(c.kind));
    ASSERT_NE(widget->parentWidget(), nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(c.parent));
    EXPECT_EQ(widget->toolTip(), QString::fromLatin1(c.hint));
  }
  EXPECT_EQ(form.size(), QSize(577, 332));
  EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window cannot be resized";
  EXPECT_EQ(form.CoverPageControl->tabPosition(), QTabWidget::South);
  EXPECT_EQ(form.VolTrackBar->tickPosition(), QSlider::TicksBelow);
  EXPECT_EQ(form.VolTrackBar->maximum(), 255);
  EXPECT_EQ(form.VolPos->text(), "50%");
}

TEST_F(MainFormTest, WindowUsesTheChosenFontsOfThisSystem) {
  InstallDecoder();
  app::TMainForm& form = Open();
  EXPECT_EQ(QFontInfo(form.AlbumListBox->font()).family(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(form.AlbumListBox->font()).pixelSize(), 11);
  for (const QLabel* label : {form.PosMP3PercLabel, form.MP3CurrentPos, form.MP3TotalTime, form.VolPos}) {
    EXPECT_EQ(QFontInfo(label->font()).family(), "Liberation Sans Narrow") << label->objectName().toStdString();
  }
  EXPECT_TRUE(form.FCNDStaticText->font().bold());
  EXPECT_GT(form.FCNDStaticText->font().pixelSize(), form.font().pixelSize());
}

TEST_F(MainFormTest, EveryCaptionFitsItsControl) {
  InstallDecoder();
  app::TMainForm& form = Open();
  // Captions the program sets later must fit as well: the widest CD label and times.
  form.CDLabel->setText(" CD4 ");
  form.CDLabel->adjustSize();

  for (const QToolButton* button : form.findChildren<QToolButton*>()) {
    SCOPED_TRACE(button->objectName().toStdString());
    // The style draws the glyph and, 4 pixels on, the caption inside the button's frame.
    QStyleOptionToolButton option;
    option.initFrom(button);
    const int frame = 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    int needed = frame + button->iconSize().width();
    if (!button->text().isEmpty()) {
      EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
      needed += 4 + Advance(button, button->text());
    }
    EXPECT_LE(needed, button->width()) << Drawn(button->text()).toStdString();
    EXPECT_LE(frame + std::max(button->iconSize().height(), QFontMetrics(button->font()).height()), button->height());
  }
  for (const QCheckBox* box : form.findChildren<QCheckBox*>()) {
    SCOPED_TRACE(box->objectName().toStdString());
    QStyleOptionButton option;
    option.initFrom(box);
    const QStyle* style = box->style();
    const int needed = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, box) +
                       style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box) + Advance(box, box->text());
    EXPECT_LE(needed, box->width());
  }
  for (const QLabel* label : form.findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;  // the cover pictures
    SCOPED_TRACE(label->objectName().toStdString());
    const int needed = Advance(label, label->text()) + 2 * label->margin();
    EXPECT_LE(needed, label->width()) << label->text().toStdString();
    const QWidget* parent = label->parentWidget();
    EXPECT_LE(label->geometry().right(), parent->width() - 1) << "runs past its panel";
  }
  const QTabBar* tabs = form.CoverPageControl->tabBar();
  EXPECT_LE(tabs->sizeHint().width(), form.CoverPageControl->width()) << "the page tabs need more room";
  for (int i = 0; i < tabs->count(); ++i) {
    EXPECT_LE(Advance(tabs, tabs->tabText(i)), tabs->tabRect(i).width()) << tabs->tabText(i).toStdString();
  }
}

}  // namespace
