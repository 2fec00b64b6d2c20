// TMP3InfoForm: the "MP3 Info" dialog with the header data of the song selected in the main window.
#pragma once

#include <QDialog>

namespace dialogs {

class TMP3InfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit TMP3InfoForm(QWidget* parent = nullptr);
};

}  // namespace dialogs
