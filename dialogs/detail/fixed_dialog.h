// The frame every secondary dialog shares: fixed client size, only the close box, an OK button.
#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>

namespace dialogs::detail {

// Gives `dialog` its caption, its fixed client size and the program's dialog font.
void SetUpFixedDialog(QDialog& dialog, const QString& caption, QSize clientSize);

// Adds the default OK button, which closes the dialog with the OK result, at `geometry`.
void AddOkButton(QDialog& dialog, const QString& objectName, const QRect& geometry);

}  // namespace dialogs::detail
