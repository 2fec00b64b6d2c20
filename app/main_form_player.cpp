// TMainForm: the player panel: play, pause, stop, previous and next, "Continua" and "Ripeti", the
// position bar with the elapsed time and the percentage, and the end of a song.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

#include "app/format_min_sec.h"
#include "app/main_form.h"
#include "app/percent_of.h"

namespace app {

namespace {

void ShowText(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
  label->repaint();
}

QString MinSec(std::int64_t seconds) {
  return QString::fromStdString(FormatMinSec(static_cast<std::uint16_t>(std::clamp<std::int64_t>(seconds, 0, 65535))));
}

void Enable(std::initializer_list<QWidget*> on, std::initializer_list<QWidget*> off) {
  for (QWidget* control : on) {
    control->setEnabled(true);
    control->repaint();
  }
  for (QWidget* control : off) {
    control->setEnabled(false);
    control->repaint();
  }
}
}  // namespace

void TMainForm::ButtonPlayClick() {
  if (!MPEGPlayer.Paused()) {
    MPEGPlayer.Open();  // the song named by the selection; an open stream is closed first
    PosMP3ScrollBar->setValue(0);
  }
  MPEGPlayer.Play();  // resumes a paused stream instead
  Enable({ButtonPause, ButtonStop}, {ButtonPlay});
}

void TMainForm::ButtonPauseClick() {
  MPEGPlayer.Pause(!MPEGPlayer.Paused());
  Enable({ButtonPlay, ButtonStop}, {ButtonPause});
}

void TMainForm::ButtonStopClick() {
  MPEGPlayer.Stop();
  MPEGPlayer.Close();
  ShowText(MP3CurrentPos, QStringLiteral("00:00"));
  PosMP3ScrollBar->setValue(0);
  Enable({ButtonPlay}, {ButtonPause, ButtonStop});
}

void TMainForm::StepSong(int step) {
  selectedSong_ += step;
  {
    const QSignalBlocker quiet(SongsListBox);
    SongsListBox->setCurrentRow(selectedSong_);
  }
  StopIfActive();
  ShowSongInfo();
  UpdatePlayerButtons();
  QToolButton* pressed = step < 0 ? ButtonPrev : ButtonNext;
  pressed->setEnabled(step < 0 ? selectedSong_ > 0 : selectedSong_ + 1 < SongsListBox->count());
  pressed->repaint();
}

void TMainForm::ContCheckBoxClick() {
  if (ContCheckBox->isChecked()) RepeatCheckBox->setChecked(false);
}

void TMainForm::RepeatCheckBoxClick() {
  if (RepeatCheckBox->isChecked()) ContCheckBox->setChecked(false);
}

void TMainForm::PosMP3ScrollBarScroll(ScrollAction action, int position) {
  switch (action) {
    case ScrollAction::ThumbTrack:
      seekDragging_ = true;  // the position updates leave the thumb to the user
      break;
    case ScrollAction::EndScroll: {
      seekDragging_ = false;
      if (player::IsStarted(MPEGPlayer.Mode())) {
        MPEGPlayer.Seek(position * 1000);
        emit PositionSought();
      }
      break;
    }
    case ScrollAction::Other: break;
  }
}

void TMainForm::PosMP3ScrollBarChange() {
  ShowText(MP3CurrentPos, MinSec(PosMP3ScrollBar->value()));
  ShowText(PosMP3PercLabel,
           QString::number(PercentOf(PosMP3ScrollBar->value(), PosMP3ScrollBar->maximum())) + QLatin1Char('%'));
}

void TMainForm::MPEGPlayerPosUpdate(std::int32_t position, std::int32_t /*length*/) {
  const std::int32_t seconds = position / 1000;
  if (!seekDragging_) PosMP3ScrollBar->setValue(seconds);
  ShowText(MP3CurrentPos, MinSec(seconds));
}

// Neither "Continua" nor "Ripeti" goes on: the output that failed would fail the next song too.
void TMainForm::MPEGPlayerPlayFault() {
  ShowText(MP3CurrentPos, QStringLiteral("00:00"));
  PosMP3ScrollBar->setValue(0);
  MPEGPlayer.Close();
  Enable({ButtonPlay}, {ButtonPause, ButtonStop});
}

void TMainForm::MPEGPlayerPlayEnd() {
  ShowText(MP3CurrentPos, QStringLiteral("00:00"));
  PosMP3ScrollBar->setValue(0);
  MPEGPlayer.Close();
  if (ContCheckBox->isChecked() && ButtonNext->isEnabled()) {
    ButtonNextClick();
    if (songAnalysis_ && songAnalysis_->IsValid()) ButtonPlayClick();
    return;
  }
  if (RepeatCheckBox->isChecked()) {
    ButtonPlayClick();
    return;
  }
  Enable({ButtonPlay}, {ButtonPause, ButtonStop});
}

}  // namespace app
