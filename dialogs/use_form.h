// TUseForm: the usage guide ("Guida all'uso di Albavox"), opened from the about box.
#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;

namespace dialogs {

class TUseForm : public QDialog {
  Q_OBJECT

 public:
  // Made hidden at program start; the newest one alive is the one the about box shows.
  explicit TUseForm(QWidget* parent = nullptr);
  ~TUseForm() override;

  // The one made at program start, or null when none is alive.
  static TUseForm* Instance();

  QPushButton* ButtonOk = nullptr;
  QTextEdit* UseRichEdit = nullptr;

  // Closes the dialog.
  void ButtonOkClick();
};

}  // namespace dialogs
