// The window's lettering and captions that fit their controls with the fonts of this system.
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/detail/titled_group_box.h"
#include "tests/app/main_form_fixture.h"

namespace {

using testsupport::MainFormTest;

// The caption as drawn: the '&' that marks the underlined letter takes no room.
QString Drawn(QString text) { return text.remove(QLatin1Char('&')); }

int Advance(const QWidget* widget, const QString& text) {
  return QFontMetrics(widget->font()).horizontalAdvance(Drawn(text));
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
  EXPECT_EQ(form.size(), QSize(577, 332));
  EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window cannot be resized";
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

// The group boxes draw their frame themselves; it must be the style's own, pixel for pixel.
TEST(TitledGroupBoxTest, FrameIsTheStylesFrame) {
  app::detail::TitledGroupBox box(nullptr);
  box.resize(241, 121);
  QImage drawn(box.size(), QImage::Format_ARGB32_Premultiplied);
  QImage styled = drawn;
  drawn.fill(Qt::transparent);
  styled.fill(Qt::transparent);
  box.render(&drawn, {}, {}, QWidget::RenderFlags());
  QStyleOptionFrame frame;
  frame.initFrom(&box);
  frame.rect = box.rect().adjusted(0, app::detail::TitledGroupBox::kFrameTop, 0, 0);
  frame.lineWidth = 1;
  QPainter painter(&styled);
  box.style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, &box);
  painter.end();
  EXPECT_EQ(drawn, styled);
}

}  // namespace
