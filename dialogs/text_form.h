// TTextForm: a dialog showing one of the program's fixed texts, opened from the about box: the
// usage guide ("Guida all'uso di Albavox", TUseForm) or the version history ("Version History",
// TVerForm).
#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;

namespace dialogs {

enum class FixedText { kUsageGuide, kVersionHistory };

class TTextForm : public QDialog {
  Q_OBJECT

 public:
  // Made hidden at program start; the newest one alive showing a text is the one the about box
  // shows for it.
  explicit TTextForm(FixedText text, QWidget* parent = nullptr);
  ~TTextForm() override;

  // The newest form alive showing `text`, or null when there is none.
  static TTextForm* Instance(FixedText text);

  QPushButton* ButtonOk = nullptr;
  // The read-only text box ("UseRichEdit" of the guide, "VerRichEdit" of the history).
  QTextEdit* RichEdit = nullptr;

  // Closes the dialog.
  void ButtonOkClick();

 private:
  FixedText text_;
};

// The usage guide and the version history as the program entry makes them, with their text
// boxes under their own names.
class TUseForm : public TTextForm {
 public:
  explicit TUseForm(QWidget* parent = nullptr) : TTextForm(FixedText::kUsageGuide, parent) {}
  static TTextForm* Instance() { return TTextForm::Instance(FixedText::kUsageGuide); }
  QTextEdit* const UseRichEdit = RichEdit;
};

class TVerForm : public TTextForm {
 public:
  explicit TVerForm(QWidget* parent = nullptr) : TTextForm(FixedText::kVersionHistory, parent) {}
  static TTextForm* Instance() { return TTextForm::Instance(FixedText::kVersionHistory); }
  QTextEdit* const VerRichEdit = RichEdit;
};

}  // namespace dialogs
