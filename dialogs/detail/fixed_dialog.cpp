// The frame every secondary dialog shares.
#include "dialogs/detail/fixed_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/artwork.h"

#include "platform/ui/form_fonts.h"

namespace dialogs::detail {

void SetUpFixedDialog(QDialog& dialog, const QString& caption, QSize clientSize) {
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.setFixedSize(clientSize);
  dialog.setFont(platform::FormFont());
  dialog.setWindowIcon(ProgramIcon());
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
