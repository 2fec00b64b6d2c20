// TMainForm: opening an album, listing its songs and switching between the discs of a multi-disc album.
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/album_paths.h"
#include "app/display_order.h"
#include "app/main_form.h"
#include "platform/paths.h"
#include "platform/ui/display_text.h"

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
    ButtonPlay->setEnabled(false);
    SongsListBox->addItem(QStringLiteral("Nessuna canzone."));
    SongsListBox->setEnabled(false);
    selectedSong_ = -1;
    return;
  }
  SongsListBox->setEnabled(true);
  QStringList shown;
  shown.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& name : names) shown.push_back(platform::DisplayText(name));
  for (int i : DisplayOrder(shown)) {
    auto* item = new QListWidgetItem(shown[i]);
    // The name as the disk spells it, whatever the display made of its bytes.
    item->setData(Qt::UserRole, QByteArray::fromStdString(names[static_cast<std::size_t>(i)]));
    SongsListBox->addItem(item);
  }
  SongsListBox->setCurrentRow(selectedSong_);
  ButtonPlay->setEnabled(true);
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
  ButtonPause->setEnabled(false);
  ButtonStop->setEnabled(false);
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
  if (currentDisc_ == disc) return;
  ClearSongList();
  StopIfActive();
  ShowDisc(disc);
  selectedSong_ = 0;
  ListSongs(SelectedAlbumFolder() + std::string(Disc(disc).pattern));
  ButtonPause->setEnabled(false);
  ButtonStop->setEnabled(false);
  SongsListBox->repaint();
  ShowSongInfo();
  UpdatePlayerButtons();
}

void TMainForm::StopIfActive() {
  if (player::IsStarted(MPEGPlayer.Mode())) {
    MPEGPlayer.Stop();
    MPEGPlayer.Close();
  }
}

void TMainForm::AlbumListBoxClick() {
  const int row = AlbumListBox->currentRow();
  if (row == selectedAlbum_ || row < 0) return;
  selectedAlbum_ = row;
  ClearSongList();
  StopIfActive();
  OpenAlbum();
  ShowSongInfo();
  UpdatePlayerButtons();
  reportedCovers_.clear();
  LoadCovers();
}

}  // namespace app
