// Helpers of the dialog tests.
#include "tests/dialogs/dialog_helpers.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

namespace dialogs_test {

int ExecWith(QDialog& dialog, const std::function<void()>& whileShown) {
  QTimer::singleShot(0, &dialog, whileShown);
  return dialog.exec();
}

std::vector<QString> TextsThatDoNotFit(QWidget& window) {
  std::vector<QString> misfits;
  for (QWidget* control : window.findChildren<QWidget*>()) {
    QString text;
    int needed = 0;
    if (auto* label = qobject_cast<QLabel*>(control); label && label->pixmap().isNull()) {
      text = label->text();
      needed = label->sizeHint().width();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      // The caption without its mnemonic mark, beside the glyph, with a few pixels of frame.
      text = button->text();
      QString shown = text;
      shown.remove(QLatin1Char('&'));
      constexpr int kFrame = 6;
      needed = button->fontMetrics().horizontalAdvance(shown) + kFrame;
      if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
    } else {
      continue;
    }
    if (text.isEmpty()) continue;
    const QWidget* parent = control->parentWidget();
    const bool inside = parent && parent->rect().contains(control->geometry());
    if (needed > control->width() || !inside) misfits.push_back(control->objectName() + ": " + text);
  }
  return misfits;
}

}  // namespace dialogs_test
