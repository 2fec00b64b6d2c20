// TMainForm: opening an album, listing its songs and switching between the discs of a multi-disc album.
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

#include <exception>

#include "app/album_paths.h"
#include "app/display_order.h"
#include "app/main_form.h"
#include "app/shown_text.h"
#include "platform/paths.h"

namespace app {

namespace {

const DiscInfo& Disc(int disc) { return kDiscs[static_cast<std::size_t>(disc - 1)]; }
}  // namespace

QToolButton* TMainForm::DiscButton(int disc) const {
  const std::array<QToolButton*, 4> buttons = {CD1SB, CD2SB, CD3SB, CD4SB};
  return buttons[static_cast<std::size_t>(disc - 1)];
}

void TMainForm::ClearSongList() {
  const QSignalBlocker quiet(SongsListBox);
  SongsListBox->clear();
}

void TMainForm::ListSongs(const std::string& pattern) {
  const std::vector<std::string> names =
      InsideCompilation(pattern) ? platform::FindMatching(pattern) : std::vector<std::string>{};
  const QSignalBlocker quiet(SongsListBox);
  if (names.empty()) {
    SongsListBox->addItem(QStringLiteral("Nessuna canzone."));
    SongsListBox->setEnabled(false);
    selectedSong_ = -1;
    return;
  }
  SongsListBox->setEnabled(true);
  QStringList shown;
  shown.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& name : names) shown.push_back(ShownText(name));
  for (int i : DisplayOrder(shown)) {
    // The name as the disk spells it, whatever the display made of its bytes.
    SongsListBox->addItem(shown[i], QByteArray::fromStdString(names[static_cast<std::size_t>(i)]));
  }
  SongsListBox->setCurrentRow(selectedSong_);
}

void TMainForm::OpenAlbum() {
  selectedSong_ = 0;
  const std::string folder = SelectedAlbumFolder();
  if (!AlbumOfEntry(selectedAlbum_).MultiDisc()) {
    ListSongs(folder + std::string(kSongPattern));
    discFolder_.clear();
    currentDisc_ = 0;
    for (int disc = 1; disc <= 4; ++disc) DiscButton(disc)->setEnabled(false);
    CDLabel->hide();
    CDLabel->repaint();
  } else {
    const bool reachable = InsideCompilation(folder);
    for (int disc = 1; disc <= 4; ++disc) {
      DiscButton(disc)->setEnabled(reachable && platform::DirectoryExists(folder + std::string(Disc(disc).directory)));
    }
    CDLabel->show();
    int chosen = 4;  // disc 4 when none of the first three exists, whether or not it does
    for (int disc = 3; disc >= 1; --disc) {
      if (DiscButton(disc)->isEnabled()) chosen = disc;
    }
    ShowDisc(chosen);
    selectedSong_ = 0;
    ListSongs(folder + std::string(Disc(chosen).pattern));
  }
  // Play, pause and stop follow the song shown next (ShowSongInfo), which nothing plays.
  SongsListBox->repaint();
}

void TMainForm::ShowDisc(int disc) {
  discFolder_ = Disc(disc).discFolder;
  currentDisc_ = disc;
  CDLabel->setText(QString::fromLatin1(Disc(disc).caption.data(), static_cast<int>(Disc(disc).caption.size())));
  CDLabel->adjustSize();
  CDLabel->repaint();
}

void TMainForm::SwitchDisc(int disc) {
  const HandlerScope scope(nesting_);
  if (currentDisc_ == disc || disc < 1 || disc > 4 || selectedAlbum_ < 0) return;
  const HandlerNesting::Ticket ticket = nesting_.NewSelection();
  ClearSongList();
  StopIfActive();
  ShowDisc(disc);
  selectedSong_ = 0;
  ListSongs(SelectedAlbumFolder() + std::string(Disc(disc).pattern));
  SongsListBox->repaint();
  ShowSongInfo();
  if (nesting_.Current(ticket)) UpdatePlayerButtons();
}

void TMainForm::StopIfActive() {
  bool started = playback_.Mode() != PlaybackMode::kStopped;
  try {
    started = player::IsStarted(MPEGPlayer.Mode()) || started;
  } catch (const player::TMPEGError&) {
    nesting_.Defer(std::current_exception());  // the stream failed: it is closed all the same
    started = true;
  }
  // A song that ended or failed a moment ago and whose end the player has not told yet is closed
  // too: its end must not carry "Continua" on from a selection the user has left.
  if (started) StopStream();
}

void TMainForm::StopStream() {
  playback_.SetMode(PlaybackMode::kStopped);
  std::exception_ptr fault;
  if (!MPEGPlayer.EndReached()) {
    try {
      MPEGPlayer.Stop();
    } catch (const player::TMPEGError& error) {
      // "Incorrect mode": the song ended between the look at it and the stop; it is stopped.
      if (error.ErrorCode() != player::kErrorIncorrectMode) fault = std::current_exception();
    }
  }
  try {
    MPEGPlayer.Close();
  } catch (const player::TMPEGError&) {
    if (!fault) fault = std::current_exception();
  }
  if (fault) nesting_.Defer(fault);
}

void TMainForm::AlbumListBoxClick() {
  const HandlerScope scope(nesting_);
  const int row = AlbumListBox->currentRow();
  if (row == selectedAlbum_ || row < 0 || static_cast<std::size_t>(row) >= albumOfRow_.size()) return;
  const HandlerNesting::Ticket ticket = nesting_.NewSelection();
  selectedAlbum_ = row;
  ClearSongList();
  StopIfActive();
  OpenAlbum();
  ShowSongInfo();
  if (!nesting_.Current(ticket)) return;
  UpdatePlayerButtons();
  reportedCovers_.clear();
  LoadCovers();
}

}  // namespace app
