// The frame every secondary dialog shares: fixed client size, only the close box, an OK button.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QPushButton;

namespace dialogs::detail {

// Gives `dialog` its caption, its fixed client size, the program icon and the program's dialog
// font, and centres it on the screen each time it is shown (not over the window that opens it).
void SetUpFixedDialog(QDialog& dialog, const QString& caption, QSize clientSize);

// Adds the default button "&Ok" at `geometry`; the dialog connects what it does.
QPushButton* AddOkButton(QDialog& dialog, const QString& objectName, const QRect& geometry);

// A label as wide as its text at `at`, in `font`.
QLabel* AutoLabel(QWidget* parent, const QString& objectName, const QString& text, QPoint at, const QFont& font);

}  // namespace dialogs::detail
