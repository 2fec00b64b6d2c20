// TMainForm: the player panel: play, pause, stop, previous and next, "Continua" and "Ripeti", the
// position bar with the elapsed time and the percentage, and the end of a song.
#include <QCheckBox>
#include <QLabel>
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

}  // namespace

void TMainForm::ButtonPlayClick() {
  const HandlerScope scope(nesting_);
  if (!playback_.CanPlay()) return;
  const std::uint64_t ends = streamEnds_;
  if (!MPEGPlayer.Paused()) {
    MPEGPlayer.Open();  // the song named by the selection; an open stream is closed first
    PosMP3ScrollBar->setValue(0);
    playback_.SetPosition(0);
  }
  MPEGPlayer.Play();  // resumes a paused stream instead
  // A start that ended or failed at once has been told already.
  if (streamEnds_ == ends) playback_.SetMode(PlaybackMode::kPlaying);
}

void TMainForm::ButtonPauseClick() {
  const HandlerScope scope(nesting_);
  // A song that has just played to its end is not paused: its end is told next.
  if (!playback_.CanPause() || MPEGPlayer.EndReached()) return;
  MPEGPlayer.Pause(!MPEGPlayer.Paused());
  playback_.SetMode(MPEGPlayer.Paused() ? PlaybackMode::kPaused : PlaybackMode::kPlaying);
  if (MPEGPlayer.Paused()) playback_.SetPosition(MPEGPlayer.GetCurrentPos());  // where it stands now
}

void TMainForm::ButtonStopClick() {
  const HandlerScope scope(nesting_);
  if (!playback_.CanStop()) return;
  StopStream();
  ShowText(MP3CurrentPos, QStringLiteral("00:00"));
  PosMP3ScrollBar->setValue(0);
}

HandlerNesting::Ticket TMainForm::StepSong(int step) {
  const HandlerScope scope(nesting_);
  const int target = selectedSong_ + step;
  if (selectedSong_ < 0 || !HasSongAt(target)) return 0;
  const HandlerNesting::Ticket ticket = nesting_.NewSelection();
  selectedSong_ = target;
  {
    const QSignalBlocker quiet(SongsListBox);
    SongsListBox->setCurrentRow(selectedSong_);
  }
  StopIfActive();
  ShowSongInfo();
  // The button pressed is set by position with the others.
  if (nesting_.Current(ticket)) UpdatePlayerButtons();
  return ticket;
}

void TMainForm::ContCheckBoxClick() {
  if (ContCheckBox->isChecked()) RepeatCheckBox->setChecked(false);
}

void TMainForm::RepeatCheckBoxClick() {
  if (RepeatCheckBox->isChecked()) ContCheckBox->setChecked(false);
}

void TMainForm::PosMP3ScrollBarScroll(ScrollAction action, int position) {
  const HandlerScope scope(nesting_);
  switch (action) {
    case ScrollAction::kThumbTrack:
      seekDragging_ = true;  // the position updates leave the thumb to the user
      break;
    case ScrollAction::kEndScroll: {
      seekDragging_ = false;
      if (player::IsStarted(MPEGPlayer.Mode())) {
        MPEGPlayer.Seek(position * 1000);
        playback_.Jump(std::int64_t{position} * 1000);
      }
      break;
    }
    case ScrollAction::kOther: break;
  }
}

void TMainForm::PosMP3ScrollBarChange() {
  ShowText(MP3CurrentPos, MinSec(PosMP3ScrollBar->value()));
  ShowText(PosMP3PercLabel,
           QString::number(PercentOf(PosMP3ScrollBar->value(), PosMP3ScrollBar->maximum())) + QLatin1Char('%'));
}

void TMainForm::MPEGPlayerPosUpdate(std::int32_t position, std::int32_t /*length*/) {
  const HandlerScope scope(nesting_);
  const std::int32_t seconds = position / 1000;
  if (!seekDragging_) PosMP3ScrollBar->setValue(seconds);
  ShowText(MP3CurrentPos, MinSec(seconds));
  playback_.SetPosition(position);
}

// The stream has ended, played out or cut by its output: the panel shows stopped, the stream is closed.
void TMainForm::CloseEndedStream() {
  ++streamEnds_;
  ShowText(MP3CurrentPos, QStringLiteral("00:00"));
  PosMP3ScrollBar->setValue(0);
  playback_.SetMode(PlaybackMode::kStopped);
  MPEGPlayer.Close();
}

// Neither "Continua" nor "Ripeti" goes on: the output that failed would fail the next song too.
void TMainForm::MPEGPlayerPlayFault() {
  const HandlerScope scope(nesting_);
  CloseEndedStream();
}

void TMainForm::MPEGPlayerPlayEnd() {
  const HandlerScope scope(nesting_);
  CloseEndedStream();
  if (ContCheckBox->isChecked() && playback_.CanGoNext()) {
    // Only the song reached by this step plays: a selection made meanwhile (during its analysis or
    // its message box) is the user's, and waits for play.
    const HandlerNesting::Ticket ticket = StepSong(+1);
    if (ticket != 0 && nesting_.Current(ticket) && playback_.SongPlayable()) ButtonPlayClick();
    return;
  }
  if (RepeatCheckBox->isChecked()) ButtonPlayClick();
}

}  // namespace app
