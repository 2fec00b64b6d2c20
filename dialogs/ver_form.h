// TVerForm: the version history ("Version History"), opened from the about box.
#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;

namespace dialogs {

class TVerForm : public QDialog {
  Q_OBJECT

 public:
  // Made hidden at program start; the newest one alive is the one the about box shows.
  explicit TVerForm(QWidget* parent = nullptr);
  ~TVerForm() override;

  // The one made at program start, or null when none is alive.
  static TVerForm* Instance();

  QPushButton* ButtonOk = nullptr;
  QTextEdit* VerRichEdit = nullptr;

  // Closes the dialog.
  void ButtonOkClick();
};

}  // namespace dialogs
