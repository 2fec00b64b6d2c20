// Helpers of the dialog tests: modal shows driven from inside, and texts that must fit.
#pragma once

#include <QString>

#include <functional>
#include <ostream>
#include <vector>

class QDialog;
class QWidget;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace dialogs_test {

// Shows `dialog` modally and runs `whileShown` inside its modal loop once it is up; returns the
// dialog's result. `whileShown` must close the dialog.
int ExecWith(QDialog& dialog, const std::function<void()>& whileShown);

// The labels and buttons under `window` whose text is wider than the control or that reach
// outside their parent, as "objectName: text".
std::vector<QString> TextsThatDoNotFit(QWidget& window);

}  // namespace dialogs_test
