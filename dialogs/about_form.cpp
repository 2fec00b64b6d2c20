// TAboutForm: title, version and date, the program's pictures, the contact links and the buttons
// that open the usage guide and the version history.
#include "dialogs/about_form.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

#include "dialogs/about_links.h"
#include "dialogs/artwork.h"
#include "dialogs/detail/fixed_dialog.h"
#include "dialogs/hyper_label.h"
#include "dialogs/text_form.h"
#include "platform/ui/error_report.h"
#include "platform/ui/form_fonts.h"
#include "platform/version.h"

namespace dialogs {

namespace {

const QString kProductName = QStringLiteral("Albavox");

void Paint(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

QLabel* Picture(QWidget* parent, const char* name, const QPixmap& picture, const QRect& geometry,
                const QString& accessibleName) {
  auto* image = new QLabel(parent);
  image->setObjectName(QString::fromLatin1(name));
  image->setPixmap(picture);
  image->setAlignment(Qt::AlignCenter);
  image->setGeometry(geometry);
  image->setAccessibleName(accessibleName);
  return image;
}

QToolButton* GuideButton(QWidget* parent, const char* name, const QString& caption, ButtonGlyph glyph,
                         const QRect& geometry) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(caption);
  button->setIcon(TwoStateGlyph(glyph));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);           // flat until the mouse is over it
  button->setFocusPolicy(Qt::NoFocus);  // like the main window's flat buttons; the underlined letter works
  button->setGeometry(geometry);
  return button;
}

THyperLabel* Link(QWidget* parent, const char* name, const char* caption, const char* url, QPoint at) {
  auto* link = new THyperLabel(parent);
  link->setObjectName(QString::fromLatin1(name));
  link->setText(QString::fromUtf8(caption));
  link->SetURL(QString::fromUtf8(url));
  link->adjustSize();
  link->move(at);
  return link;
}

// Shows the form made for `text` modally; when the program made none (the box used on its own),
// a passing one.
void ShowModal(FixedText text, QWidget* parent) {
  if (TTextForm* form = TTextForm::Instance(text)) {
    form->exec();
    return;
  }
  TTextForm passing(text, parent);
  passing.exec();
}

}  // namespace

QString AboutNotice() { return QStringLiteral("Lettore di compilation MP3 per Linux"); }

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutForm"));
  detail::SetUpFixedDialog(*this, QStringLiteral("Informazioni"), QSize(345, 218));
  ButtonOk = detail::AddOkButton(*this, QStringLiteral("ButtonOk"), QRect(122, 192, 95, 25));
  connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);

  const QPixmap icon = ProgramPicture(48);
  const QString iconName = QStringLiteral("Icona di Albavox");
  Image1 = Picture(this, "Image1", icon, QRect(0, 8, 49, 49), iconName);
  Image2 = Picture(this, "Image2", icon, QRect(296, 8, 49, 49), iconName);
  BuildTitle();
  Label5 = detail::AutoLabel(this, QStringLiteral("Label5"), AboutNotice(), {150, 96}, platform::FormFont());

  UseSpeedButton =
      GuideButton(this, "UseSpeedButton", QStringLiteral("&Guida all'uso"), ButtonGlyph::kGuide, QRect(9, 192, 95, 25));
  VerSpeedButton = GuideButton(this, "VerSpeedButton", QStringLiteral("&Version history"), ButtonGlyph::kHistory,
                               QRect(237, 192, 100, 25));
  platform::ConnectGuarded(UseSpeedButton, &QToolButton::clicked, this, [this] { UseSpeedButtonClick(); });
  platform::ConnectGuarded(VerSpeedButton, &QToolButton::clicked, this, [this] { VerSpeedButtonClick(); });

  Image3 = Picture(this, "Image3", Logo(), QRect(8, 64, 136, 73), QStringLiteral("Logo di Albavox"));
  BuildContact();
}

void TAboutForm::BuildTitle() {
  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(48, 8, 249, 49);
  Panel1->setAccessibleName(kProductName);

  // The white copy lies 2 pixels right and 1 down under the navy one and shows as its shadow.
  Label1 = new QLabel(kProductName, Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(5, 4, 243, 44);
  Label2 = new QLabel(kProductName, Panel1);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(3, 3, 243, 44);
  for (QLabel* title : {Label1, Label2}) {
    title->setFont(platform::TitleFont());
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  }
  Paint(Label1, Qt::white);
  Paint(Label2, QColor(0, 0, 128));

  Label3 = detail::AutoLabel(Panel1, QStringLiteral("Label3"),
                             QStringLiteral("Versione ") + QString::fromUtf8(platform::kProgramVersion), {8, 31},
                             platform::FormFont());
  Label4 = detail::AutoLabel(Panel1, QStringLiteral("Label4"), QStringLiteral("Data Rilascio : 04.08.2000"), {115, 31},
                             platform::FormFont());
  // Right-justified on a right edge at 241; a text wider than the 126 pixels grows to the left.
  const int width = std::max(126, Label4->width());
  Label4->setGeometry(115 + 126 - width, 31, width, Label4->height());
  Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void TAboutForm::BuildContact() {
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Bevel1->setGeometry(8, 144, 329, 45);
  Bevel1->setAccessibleName(QStringLiteral("Per informazioni"));
  // The contact lines are set in the narrow face: in the form's face the first one is wider
  // than the frame around it.
  Label9 = detail::AutoLabel(this, QStringLiteral("Label9"),
                             QStringLiteral("Per informazioni, suggerimenti, rilevamento di errori e aggiornamenti"),
                             {14, 152}, platform::NarrowFont());
  Label10 = detail::AutoLabel(this, QStringLiteral("Label10"),
                              QStringLiteral("futuri fare riferimento al seguente indirizzo :"), {14, 168},
                              platform::NarrowFont());
  HyperLabel1 = Link(this, "HyperLabel1", links::kContactCaption, links::kContactURL, {152, 120});
  HyperLabel2 = Link(this, "HyperLabel2", links::kSiteCaption, links::kSiteURL, {222, 168});
}

void TAboutForm::UseSpeedButtonClick() { ShowModal(FixedText::kUsageGuide, this); }

void TAboutForm::VerSpeedButtonClick() { ShowModal(FixedText::kVersionHistory, this); }

void TAboutForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    ButtonOk->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace dialogs
