// TMP3InfoForm: the "MP3 Info" dialog with the header data of the song selected in the main window.
#pragma once

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zodizidu {
class TMPEGAudio;
}

namespace dialogs {

class TMP3InfoForm : public QDialog {
  Q_OBJECT

 public:
  // Answers the analysis of the song selected now, or null when there is none.
  using AnalysisSource = std::function<const zodizidu::TMPEGAudio*()>;

  // Lays out the dialog with "ND" in every value; it is filled each time it becomes active.
  explicit TMP3InfoForm(QWidget* parent = nullptr);

  // Where FormActivate reads the song's analysis: the main window's SongAnalysis.
  void SetSongAnalysis(AnalysisSource source) { songAnalysis_ = std::move(source); }

  // ---- controls, in the order of the dialog's fields ----
  QPushButton* OkButton = nullptr;
  QLineEdit* MP3FileEdit = nullptr;
  QLabel* Label1 = nullptr;
  QGroupBox* MP3GroupBox = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* MP3Length = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* MP3Layer = nullptr;
  QLabel* MP3Size = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* MP3Rate = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* MP3FrameLength = nullptr;
  QLabel* MP3Cop = nullptr;
  QLabel* MP3Orig = nullptr;
  QLabel* MP3CRC = nullptr;
  QLabel* MP3Pad = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* MP3Freq = nullptr;

  // Writes every value of the selected song's analysis into the dialog; without an analysis
  // the values stay as they are.
  void FormActivate();
  // Closes the dialog, which ends its modal show.
  void OkButtonClick();

 protected:
  bool event(QEvent* event) override;

 private:
  AnalysisSource songAnalysis_;
};

// The dialog's own names of the channel modes 0 to 3, with blanks ("Joint Stereo").
QString ChannelModeName(int mode);

}  // namespace dialogs
