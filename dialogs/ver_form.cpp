// TVerForm: the version history, a fixed Italian text in a read-only text box.
#include "dialogs/ver_form.h"

#include <QPushButton>
#include <QTextEdit>

#include <vector>

#include "dialogs/detail/fixed_dialog.h"
#include "dialogs/detail/text_dialog.h"
#include "dialogs/dialog_texts.h"

namespace dialogs {

namespace {
// The forms alive, oldest first.
std::vector<TVerForm*>& Alive() {
  static std::vector<TVerForm*> forms;
  return forms;
}
}  // namespace

TVerForm::TVerForm(QWidget* parent) : QDialog(parent) {
  Alive().push_back(this);
  setObjectName(QStringLiteral("VerForm"));
  const QString caption = QStringLiteral("Version History");
  detail::SetUpFixedDialog(*this, caption, QSize(392, 293));
  ButtonOk = detail::AddOkButton(*this, QStringLiteral("ButtonOk"), QRect(160, 264, 75, 25));
  connect(ButtonOk, &QPushButton::clicked, this, &TVerForm::ButtonOkClick);
  VerRichEdit = detail::AddTextBox(*this, QStringLiteral("VerRichEdit"), JoinedLines(kVersionHistoryLines), caption);
}

TVerForm::~TVerForm() { std::erase(Alive(), this); }

TVerForm* TVerForm::Instance() { return Alive().empty() ? nullptr : Alive().back(); }

void TVerForm::ButtonOkClick() { accept(); }

}  // namespace dialogs
