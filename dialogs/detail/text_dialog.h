// The read-only text box that fills the top of the usage guide and the version history.
#pragma once

#include <QString>

class QTextEdit;
class QWidget;

namespace dialogs::detail {

// A read-only text box at 0, 0, 392 x 260 holding `text` as it stands, with a vertical scroll
// bar; `accessibleName` names it for screen readers, which read its text.
// True when no line of the box's text wraps at the box's width.
bool EveryLineFits(QTextEdit& box);

QTextEdit* AddTextBox(QWidget& dialog, const QString& objectName, const QString& text, const QString& accessibleName);

}  // namespace dialogs::detail
