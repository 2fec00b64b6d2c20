// The read-only text box of the usage guide and the version history.
#include "dialogs/detail/text_dialog.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include "platform/ui/accessible_names.h"
#include "platform/ui/form_fonts.h"

namespace dialogs::detail {

namespace {

// Chooses the box's face when the box is first shown: laying the whole text out to see whether
// a line wraps costs a millisecond, and the program makes its text dialogs at start, hidden.
class FaceOnFirstShow : public QObject {
 public:
  explicit FaceOnFirstShow(QTextEdit* box) : QObject(box), box_(box) { box->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      box_->removeEventFilter(this);
      if (!EveryLineFits(*box_)) box_->setFont(platform::NarrowFont());
      deleteLater();
    }
    return false;
  }

 private:
  QTextEdit* box_;
};

}  // namespace

bool EveryLineFits(QTextEdit& box) {
  QTextDocument* document = box.document();
  // The viewport is sized only when the box is first shown: reckon its width from the box's.
  const int scrollBar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box.verticalScrollBar());
  document->setTextWidth(box.width() - 2 * box.frameWidth() - scrollBar);
  document->documentLayout();  // lays the text out at that width
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (block.layout()->lineCount() > 1) return false;
  }
  return true;
}

QTextEdit* AddTextBox(QWidget& dialog, const QString& objectName, const QString& text, const QString& accessibleName) {
  auto* box = new QTextEdit(&dialog);
  box->setObjectName(objectName);
  box->setGeometry(0, 0, 392, 260);
  box->setReadOnly(true);
  box->setAcceptRichText(false);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setLineWrapMode(QTextEdit::WidgetWidth);  // long lines wrap rather than hide their ends
  box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box->setPlainText(text);
  // The stored lines were laid out for the box's width; where one of them would wrap in the
  // form's face, the narrow face keeps every line on one line (chosen before the box is drawn).
  new FaceOnFirstShow(box);
  box->setAccessibleName(accessibleName);
  platform::NameScrollBars(*box);
  return box;
}

}  // namespace dialogs::detail
