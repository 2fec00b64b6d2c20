// The frame every secondary dialog shares.
#include "dialogs/detail/fixed_dialog.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "dialogs/artwork.h"

#include "platform/ui/form_fonts.h"

namespace dialogs::detail {

namespace {

// Moves its dialog to the middle of the screen just before it is shown. Qt centres a dialog over
// its parent only when the dialog has not been moved, so this placement stands.
class ScreenCentring : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    auto* dialog = static_cast<QWidget*>(watched);
    const QWidget* owner = dialog->parentWidget();
    const QScreen* screen = owner ? owner->screen() : dialog->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    // The whole window, its frame included, as far as the window system has told its size.
    const QRect frame = dialog->frameGeometry();
    dialog->move(screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    return false;
  }
};

}  // namespace

void SetUpFixedDialog(QDialog& dialog, const QString& caption, QSize clientSize) {
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.setFixedSize(clientSize);
  dialog.setFont(platform::FormFont());
  dialog.setWindowIcon(ProgramIcon());
  dialog.installEventFilter(new ScreenCentring(&dialog));
}

QPushButton* AddOkButton(QDialog& dialog, const QString& objectName, const QRect& geometry) {
  auto* ok = new QPushButton(QStringLiteral("&Ok"), &dialog);
  ok->setObjectName(objectName);
  ok->setGeometry(geometry);
  ok->setDefault(true);
  return ok;
}

QLabel* AutoLabel(QWidget* parent, const QString& objectName, const QString& text, QPoint at, const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(objectName);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->adjustSize();
  label->move(at);
  return label;
}

}  // namespace dialogs::detail
