// TAboutForm: the about box ("Informazioni"), opened from the main window's "&About..." button.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace dialogs {

class THyperLabel;

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);

  // ---- controls, in the order of the dialog's fields ----
  QPushButton* ButtonOk = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* Label1 = nullptr;  // the white shadow of the title
  QLabel* Label2 = nullptr;  // the title
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QToolButton* UseSpeedButton = nullptr;
  QToolButton* VerSpeedButton = nullptr;
  QLabel* Image3 = nullptr;
  QFrame* Bevel1 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  THyperLabel* HyperLabel1 = nullptr;
  THyperLabel* HyperLabel2 = nullptr;

  // Shows the usage guide made at start modally, above this box.
  void UseSpeedButtonClick();
  // Shows the version history made at start modally, above this box.
  void VerSpeedButtonClick();

 protected:
  // Escape presses "&Ok", as Enter does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildTitle();
  void BuildContact();
};

// The one-line notice of the about box, saying what the program is.
QString AboutNotice();

}  // namespace dialogs
