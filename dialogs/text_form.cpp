// TTextForm: a fixed Italian text in a read-only text box, and "&Ok".
#include "dialogs/text_form.h"

#include <QPushButton>
#include <QTextEdit>

#include <algorithm>
#include <vector>

#include "dialogs/detail/fixed_dialog.h"
#include "dialogs/detail/text_dialog.h"
#include "dialogs/dialog_texts.h"

namespace dialogs {

namespace {

// The forms alive, oldest first.
std::vector<TTextForm*>& Alive() {
  static std::vector<TTextForm*> forms;
  return forms;
}

struct Look {
  const char* objectName;
  const char* caption;
  const char* boxName;
};

Look LookOf(FixedText text) {
  if (text == FixedText::kUsageGuide) return {"UseForm", "Guida all'uso di Albavox", "UseRichEdit"};
  return {"VerForm", "Version History", "VerRichEdit"};
}

}  // namespace

TTextForm::TTextForm(FixedText text, QWidget* parent) : QDialog(parent), text_(text) {
  Alive().push_back(this);
  const Look look = LookOf(text);
  setObjectName(QString::fromLatin1(look.objectName));
  const QString caption = QString::fromUtf8(look.caption);
  detail::SetUpFixedDialog(*this, caption, QSize(392, 293));
  ButtonOk = detail::AddOkButton(*this, QStringLiteral("ButtonOk"), QRect(160, 264, 75, 25));
  connect(ButtonOk, &QPushButton::clicked, this, &TTextForm::ButtonOkClick);
  RichEdit = detail::AddTextBox(
      *this, QString::fromLatin1(look.boxName),
      text == FixedText::kUsageGuide ? JoinedLines(kUsageGuideLines) : JoinedLines(kVersionHistoryLines), caption);
}

TTextForm::~TTextForm() { std::erase(Alive(), this); }

TTextForm* TTextForm::Instance(FixedText text) {
  const auto& forms = Alive();
  const auto newest =
      std::find_if(forms.rbegin(), forms.rend(), [text](TTextForm* form) { return form->text_ == text; });
  return newest == forms.rend() ? nullptr : *newest;
}

void TTextForm::ButtonOkClick() { accept(); }

}  // namespace dialogs
