// TAboutForm: the about box ("Informazioni"), opened from the main window's "&About..." button.
#pragma once

#include <QDialog>

namespace dialogs {

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace dialogs
