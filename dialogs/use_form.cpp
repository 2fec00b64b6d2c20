// TUseForm: the usage guide, a fixed Italian text in a read-only text box.
#include "dialogs/use_form.h"

#include <QPushButton>
#include <QTextEdit>

#include <vector>

#include "dialogs/detail/fixed_dialog.h"
#include "dialogs/detail/text_dialog.h"
#include "dialogs/dialog_texts.h"

namespace dialogs {

namespace {
// The forms alive, oldest first.
std::vector<TUseForm*>& Alive() {
  static std::vector<TUseForm*> forms;
  return forms;
}
}  // namespace

TUseForm::TUseForm(QWidget* parent) : QDialog(parent) {
  Alive().push_back(this);
  setObjectName(QStringLiteral("UseForm"));
  const QString caption = QStringLiteral("Guida all'uso di Albavox");
  detail::SetUpFixedDialog(*this, caption, QSize(392, 293));
  ButtonOk = detail::AddOkButton(*this, QStringLiteral("ButtonOk"), QRect(160, 264, 75, 25));
  connect(ButtonOk, &QPushButton::clicked, this, &TUseForm::ButtonOkClick);
  UseRichEdit = detail::AddTextBox(*this, QStringLiteral("UseRichEdit"), JoinedLines(kUsageGuideLines), caption);
}

TUseForm::~TUseForm() { std::erase(Alive(), this); }

TUseForm* TUseForm::Instance() { return Alive().empty() ? nullptr : Alive().back(); }

void TUseForm::ButtonOkClick() { accept(); }

}  // namespace dialogs
