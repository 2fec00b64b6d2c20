// The frame every secondary dialog shares.
#include "dialogs/detail/fixed_dialog.h"

#include <QPushButton>

#include "dialogs/form_fonts.h"

namespace dialogs::detail {

void SetUpFixedDialog(QDialog& dialog, const QString& caption, QSize clientSize) {
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.setFixedSize(clientSize);
  dialog.setFont(FormFont());
}

void AddOkButton(QDialog& dialog, const QString& objectName, const QRect& geometry) {
  auto* ok = new QPushButton(QStringLiteral("&Ok"), &dialog);
  ok->setObjectName(objectName);
  ok->setGeometry(geometry);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
}

}  // namespace dialogs::detail
