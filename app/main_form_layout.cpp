// TMainForm: the controls of the window at their fixed places, with their captions, hints and fonts.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

#include "app/detail/glyphs.h"
#include "app/detail/list_box.h"
#include "app/detail/position_bar.h"
#include "app/detail/titled_group_box.h"
#include "app/detail/track_bar.h"
#include "app/main_form.h"
#include "dialogs/artwork.h"
#include "platform/ui/form_fonts.h"

namespace app {

namespace {

constexpr int kCoverPixelSize = 14;  // near the 11-point bold of the "no picture" notes, and it fits

template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QRect& geometry) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

// A label as wide as its text, placed at `at`.
QLabel* AutoLabel(QWidget* parent, const char* name, const QString& text, QPoint at, const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);  // a label shows its text as it is, never as markup
  label->setFont(font);
  label->adjustSize();
  label->move(at);
  return label;
}

// The title of a group box, lying on its top edge and hiding the frame line behind it.
QLabel* GroupTitle(QWidget* box, const char* name, const QString& text) {
  QLabel* title = AutoLabel(box, name, text, QPoint(8, 0), platform::BoldFont(11));
  title->setAutoFillBackground(true);
  Paint(title, QPalette::WindowText, title->palette().color(QPalette::Highlight));
  return title;
}

QToolButton* GlyphButton(QWidget* parent, const char* name, const QString& caption, const QIcon& glyph,
                         const QRect& geometry) {
  auto* button = Named(new QToolButton(parent), name, geometry);
  button->setText(caption);
  button->setIcon(glyph);
  button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
  // Like the flat buttons of the original layout, these never take the keyboard focus;
  // their underlined letters still work.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

QLabel* NoPictureNote(QWidget* page, const char* name) {
  auto* note = Named(new QLabel(QStringLiteral("Immagine non disponibile"), page), name, QRect(5, 72, 178, 16));
  note->setTextFormat(Qt::PlainText);
  note->setFont(platform::BoldFont(kCoverPixelSize));
  note->setAlignment(Qt::AlignCenter);
  Paint(note, QPalette::WindowText, note->palette().color(QPalette::Highlight));
  return note;
}

QLabel* PictureLabel(QWidget* page, const char* name) {
  auto* picture = Named(new QLabel(page), name, QRect(QPoint(0, 0), kCoverPageArea));
  picture->setScaledContents(true);  // stretched over the whole page, proportions not kept
  picture->setAlignment(Qt::AlignCenter);
  return picture;
}

}  // namespace

void TMainForm::BuildControls() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(
      QString::fromLatin1(albums_inf::kDefaultCaption.data(), static_cast<int>(albums_inf::kDefaultCaption.size())));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(dialogs::ProgramIcon());
  setFixedSize(577, 332);
  setFont(platform::FormFont());
  BuildCoverPages();
  BuildAlbumPanels();
  BuildInfoPanel();
  BuildPlayerPanel();
}

void TMainForm::BuildCoverPages() {
  CoverPageControl = Named(new QTabWidget(this), "CoverPageControl", QRect(0, 0, 201, 201));
  CoverPageControl->setTabPosition(QTabWidget::South);
  CoverPageControl->setElideMode(Qt::ElideNone);
  CoverPageControl->setUsesScrollButtons(false);
  FCTabSheet = new QWidget;
  FCTabSheet->setObjectName(QStringLiteral("FCTabSheet"));
  CoverPageControl->addTab(FCTabSheet, QStringLiteral("       &Front      "));
  BCTabSheet = new QWidget;
  BCTabSheet->setObjectName(QStringLiteral("BCTabSheet"));
  CoverPageControl->addTab(BCTabSheet, QStringLiteral("        &Back      "));

  FrontCoverImage = PictureLabel(FCTabSheet, "FrontCoverImage");
  FCNDStaticText = NoPictureNote(FCTabSheet, "FCNDStaticText");
  FCNDStaticText->hide();  // shown by the empty state or when the album has no front cover
  BackCoverImage = PictureLabel(BCTabSheet, "BackCoverImage");
  BackCoverImage->setToolTip(QStringLiteral("Cover del CD"));
  BCNDStaticText = NoPictureNote(BCTabSheet, "BCNDStaticText");
}

void TMainForm::BuildAlbumPanels() {
  AlbumGroupBox = Named(new detail::TitledGroupBox(this), "AlbumGroupBox", QRect(208, 0, 369, 89));
  AlbumGroupBox->setToolTip(QStringLiteral("Lista degli albums disponibili"));
  AlbumListBox = Named(new detail::ListBox(AlbumGroupBox), "AlbumListBox", QRect(2, 15, 365, 72));
  Label6 = GroupTitle(AlbumGroupBox, "Label6", QStringLiteral(" Albums "));

  const std::array<const char*, 4> names = {"CD1SB", "CD2SB", "CD3SB", "CD4SB"};
  const std::array<int, 4> lefts = {208, 300, 400, 500};
  std::array<QToolButton**, 4> buttons = {&CD1SB, &CD2SB, &CD3SB, &CD4SB};
  const QIcon disc = detail::GlyphIcon(detail::Glyph::kDisc);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    *buttons[i] = GlyphButton(this, names[i], QStringLiteral("CD%1").arg(i + 1), disc, QRect(lefts[i], 96, 75, 22));
  }

  SongsGroupBox = Named(new detail::TitledGroupBox(this), "SongsGroupBox", QRect(208, 120, 369, 81));
  SongsGroupBox->setToolTip(QStringLiteral("Lista delle canzoni disponibili per l'album selezionato"));
  SongsListBox = Named(new detail::ListBox(SongsGroupBox), "SongsListBox", QRect(2, 15, 365, 64));
  Label7 = GroupTitle(SongsGroupBox, "Label7", QStringLiteral(" Canzoni "));
  CDLabel = AutoLabel(SongsGroupBox, "CDLabel", QStringLiteral(" CD1 "), QPoint(330, 0), platform::BoldFont(11));
  CDLabel->setAutoFillBackground(true);
  Paint(CDLabel, QPalette::WindowText, Qt::red);
  CDLabel->hide();
}

void TMainForm::BuildInfoPanel() {
  InfoGroupBox = Named(new detail::TitledGroupBox(this), "InfoGroupBox", QRect(0, 203, 249, 134));
  InfoGroupBox->setToolTip(QStringLiteral("Informazioni sulla canzone selezionata"));
  Label8 = GroupTitle(InfoGroupBox, "Label8", QStringLiteral(" ID3 Info "));

  struct Field {
    QLineEdit** edit;
    const char* name;
    QRect geometry;
    QLabel** label;
    const char* labelName;
    const char* caption;
    QRect labelGeometry;  // the caption sits left of its field, centred on the field's height
  };
  const std::array<Field, 6> fields = {{
      {&MP3TitleEdit, "MP3TitleEdit", {68, 8, 177, 21}, &Label1, "Label1", "Titolo", {8, 8, 58, 21}},
      {&MP3ArtistEdit, "MP3ArtistEdit", {68, 32, 177, 21}, &Label2, "Label2", "Artista", {8, 32, 58, 21}},
      {&MP3AlbumEdit, "MP3AlbumEdit", {68, 56, 177, 21}, &Label3, "Label3", "Album", {8, 56, 58, 21}},
      {&MP3YearEdit, "MP3YearEdit", {68, 80, 33, 21}, &Label4, "Label4", "Anno", {8, 80, 58, 21}},
      {&MP3GenreEdit, "MP3GenreEdit", {151, 80, 94, 21}, &Label5, "Label5", "Genere", {105, 80, 45, 21}},
      {&MP3CommentEdit, "MP3CommentEdit", {68, 104, 177, 21}, &Label9, "Label9", "Commento", {8, 104, 58, 21}},
  }};
  for (const Field& field : fields) {
    *field.edit = Named(new QLineEdit(InfoGroupBox), field.name, field.geometry);
    (*field.edit)->setReadOnly(true);
    *field.label =
        Named(new QLabel(QString::fromLatin1(field.caption), InfoGroupBox), field.labelName, field.labelGeometry);
    (*field.label)->setTextFormat(Qt::PlainText);
    (*field.label)->setFont(platform::BoldFont(11));
    (*field.label)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }

  MP3InfoSpeedButton = GlyphButton(this, "MP3InfoSpeedButton", QStringLiteral("&MP3 Info"),
                                   detail::GlyphIcon(detail::Glyph::kInfo), QRect(256, 211, 73, 30));
  InfoSpeedButton = GlyphButton(this, "InfoSpeedButton", QStringLiteral("&About..."),
                                detail::GlyphIcon(detail::Glyph::kAbout), QRect(256, 255, 73, 30));
  SpeedButtonEsci = GlyphButton(this, "SpeedButtonEsci", QStringLiteral("&Esci"),
                                detail::GlyphIcon(detail::Glyph::kExit), QRect(256, 300, 73, 30));
}

void TMainForm::BuildPlayerPanel() {
  MP3PlayerGroupBox = Named(new detail::TitledGroupBox(this), "MP3PlayerGroupBox", QRect(336, 208, 241, 121));
  Label10 = GroupTitle(MP3PlayerGroupBox, "Label10", QStringLiteral(" Player "));
  const QColor green(0, 128, 0);

  PosMP3PercLabel =
      AutoLabel(MP3PlayerGroupBox, "PosMP3PercLabel", QStringLiteral("0%"), {15, 28}, platform::NarrowFont());
  Paint(PosMP3PercLabel, QPalette::WindowText, green);
  MP3CurrentPos =
      AutoLabel(MP3PlayerGroupBox, "MP3CurrentPos", QStringLiteral("00:00"), {114, 28}, platform::NarrowFont());
  Paint(MP3CurrentPos, QPalette::WindowText, green);
  MP3TotalTime =
      AutoLabel(MP3PlayerGroupBox, "MP3TotalTime", QStringLiteral("00:00"), {202, 28}, platform::NarrowFont());
  MP3TotalTime->setToolTip(QStringLiteral("Tempo totale della canzone"));

  PosMP3ScrollBar = Named(new detail::PositionBar(MP3PlayerGroupBox), "PosMP3ScrollBar", {12, 16, 215, 8});

  struct Transport {
    QToolButton** button;
    const char* name;
    detail::Glyph glyph;
    const char* hint;
  };
  const std::array<Transport, 5> transport = {{
      {&ButtonPrev, "ButtonPrev", detail::Glyph::kPrevious, "Canzone precedente"},
      {&ButtonPlay, "ButtonPlay", detail::Glyph::kPlay, "Play"},
      {&ButtonPause, "ButtonPause", detail::Glyph::kPause, "Pause"},
      {&ButtonStop, "ButtonStop", detail::Glyph::kStop, "Stop"},
      {&ButtonNext, "ButtonNext", detail::Glyph::kNext, "Canzone successiva"},
  }};
  int left = 8;
  for (const Transport& t : transport) {
    *t.button = GlyphButton(MP3PlayerGroupBox, t.name, QString(), detail::GlyphIcon(t.glyph), QRect(left, 48, 30, 33));
    (*t.button)->setToolTip(QString::fromLatin1(t.hint));
    (*t.button)->setAccessibleName(QString::fromLatin1(t.hint));  // a glyph alone says nothing to a screen reader
    left += 30;
  }

  ContCheckBox = Named(new QCheckBox(QStringLiteral("Continua"), MP3PlayerGroupBox), "ContCheckBox", {168, 48, 65, 17});
  ContCheckBox->setToolTip(QStringLiteral("Riproduzione continuata dei brani dell'album selezionato"));
  RepeatCheckBox =
      Named(new QCheckBox(QStringLiteral("Ripeti"), MP3PlayerGroupBox), "RepeatCheckBox", {168, 64, 49, 17});
  RepeatCheckBox->setToolTip(QStringLiteral("Ripete la canzone selezionata"));

  VolTrackBar = Named(new detail::TrackBar(MP3PlayerGroupBox), "VolTrackBar", {4, 94, 205, 25});
  VolTrackBar->setRange(0, 255);
  VolTrackBar->setPageStep(10);
  VolTrackBar->setTickPosition(QSlider::TicksBelow);
  VolTrackBar->setTickInterval(5);
  VolTrackBar->setValue(128);  // where "50%" puts it until the volume is read
  VolTrackBar->setToolTip(QStringLiteral("Volume"));
  VolPos = AutoLabel(MP3PlayerGroupBox, "VolPos", QStringLiteral("50%"), {210, 95}, platform::NarrowFont());
  Paint(VolPos, QPalette::WindowText, green);
}

}  // namespace app
