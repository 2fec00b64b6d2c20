// TMainForm: the selected song's analysis in the ID3 panel, the player buttons and the covers.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QScrollBar>
#include <QToolButton>

#include <stdexcept>

#include "app/album_paths.h"
#include "app/cover_picture.h"
#include "app/cover_slot.h"
#include "app/format_min_sec.h"
#include "app/main_form.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/display_text.h"
#include "platform/ui/message_box.h"

namespace app {

namespace {
void SetCaption(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
  label->repaint();
}
}  // namespace

std::string TMainForm::SongPath() const {
  const QByteArray song = SongsListBox->item(selectedSong_)->data(Qt::UserRole).toByteArray();
  return platform::ResolvePath(SelectedAlbumFolder() + "/" + discFolder_ + song.toStdString());
}

void TMainForm::SetSongFields(const std::array<std::string, 6>& values) {
  const std::array<QLineEdit*, 6> fields = {MP3TitleEdit, MP3ArtistEdit, MP3AlbumEdit,
                                            MP3YearEdit,  MP3GenreEdit,  MP3CommentEdit};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i]->setText(platform::DisplayText(values[i]));
    fields[i]->setCursorPosition(0);  // a long text shows its beginning
    fields[i]->repaint();
  }
}

void TMainForm::ShowSongInfo() {
  if (selectedSong_ == -1) {
    ++songsShown_;
    PosMP3ScrollBar->setMaximum(0);
    SetSongFields({});
    SetCaption(MP3TotalTime, QStringLiteral("00:00"));
  } else {
    auto analysis = std::make_shared<zodizidu::TMPEGAudio>();
    songAnalysis_ = analysis;
    const std::uint64_t shown = ++songsShown_;
    const std::string path = SongPath();
    analysis->SetFileName(path);  // handles pending window messages while it searches the file
    // A selection made while this file was analysed (a song, or an album or disc without songs)
    // has filled the panel already; the latest wins.
    if (songsShown_ != shown) return;
    if (analysis->IsValid()) {
      const zodizidu::TMPEGData& data = analysis->Data();
      SetSongFields(
          {analysis->Title(), analysis->Artist(), data.Album, data.Year, analysis->GenreText(), data.Comment});
      MPEGPlayer.SetStreamName(path);
      PosMP3ScrollBar->setMaximum(data.Duration);
      SetCaption(MP3TotalTime, QString::fromStdString(FormatMinSec(data.Duration)));
    } else {
      platform::ShowMessageBox(QStringLiteral("Error"), QStringLiteral("File MP3 selezionato non corretto"),
                               platform::MessageIcon::Error);
      SetSongFields({});
      SetCaption(MP3TotalTime, QStringLiteral("00:00"));
      PosMP3ScrollBar->setMaximum(0);
    }
  }
  PosMP3ScrollBar->setValue(0);
  SetCaption(MP3CurrentPos, QStringLiteral("00:00"));
}

void TMainForm::SongsListBoxClick() {
  const int row = SongsListBox->currentRow();
  if (row == selectedSong_ || row < 0) return;
  StopIfActive();
  selectedSong_ = row;
  ShowSongInfo();
  UpdatePlayerButtons();
}

void TMainForm::UpdatePlayerButtons() {
  if (selectedSong_ == -1) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{MP3InfoSpeedButton, ButtonPlay, ButtonPrev, ButtonNext, PosMP3ScrollBar}) {
      control->setEnabled(false);
    }
  } else {
    const bool valid = songAnalysis_ && songAnalysis_->IsValid();
    MP3InfoSpeedButton->setEnabled(valid);
    ButtonPlay->setEnabled(valid);
    if (valid) PosMP3ScrollBar->setEnabled(true);
    ButtonPrev->setEnabled(selectedSong_ > 0);
    ButtonNext->setEnabled(selectedSong_ + 1 < SongsListBox->count());
  }
  ButtonStop->setEnabled(false);
  ButtonPause->setEnabled(false);
  for (QWidget* control : std::initializer_list<QWidget*>{MP3InfoSpeedButton, ButtonPlay, ButtonPrev, ButtonNext,
                                                          PosMP3ScrollBar, ButtonStop, ButtonPause}) {
    control->repaint();
  }
}

void TMainForm::LoadCovers() {
  if (selectedAlbum_ < 0) {  // no album, no covers
    FrontCoverImage->clear();
    BackCoverImage->clear();
    frontCover_.Forget();
    backCover_.Forget();
    FCNDStaticText->show();
    BCNDStaticText->show();
    return;
  }
  const std::string folder = SelectedAlbumFolder() + "/";
  const std::string frontPath = folder + "front.jpg";
  const std::string backPath = folder + "back.jpg";
  const std::optional<CoverFileFacts> front = CoverFile(frontPath);
  const std::optional<CoverFileFacts> back = CoverFile(backPath);
  // A page whose file is unchanged keeps its picture; the others are cleared before any decoding.
  if (!front || !frontCover_.Holds(frontPath, *front)) FrontCoverImage->clear();
  if (!back || !backCover_.Holds(backPath, *back)) BackCoverImage->clear();
  std::string failures;
  ShowCover(frontPath, front, FrontCoverImage, FCNDStaticText, frontCover_, failures);
  ShowCover(backPath, back, BackCoverImage, BCNDStaticText, backCover_, failures);
  if (!failures.empty()) throw std::runtime_error(failures);
}

std::optional<CoverFileFacts> TMainForm::CoverFile(const std::string& path) {
  if (!InsideCompilation(path)) return std::nullopt;
  return ExamineCoverFile(platform::ResolvePath(path));
}

void TMainForm::ShowCover(const std::string& path, const std::optional<CoverFileFacts>& facts, QLabel* picture,
                          QLabel* note, CoverSlot& slot, std::string& failures) {
  if (!facts) {
    slot.Forget();
    note->show();
    return;
  }
  if (!slot.Holds(path, *facts)) {
    note->hide();
    const CoverPicture cover = DecodeCover(path, picture->size(), [picture](const QImage& partial) {
      picture->setPixmap(QPixmap::fromImage(partial));
      picture->repaint();
    });
    slot.Keep(path, *facts, cover.image.isNull() ? QPixmap() : QPixmap::fromImage(cover.image), cover.error);
  }
  if (slot.pixmap().isNull()) {
    // The page says there is no picture rather than staying blank; the damage is reported once
    // per choice of the album, not again at every return to the window.
    picture->clear();
    note->show();
    if (reportedCovers_.insert(path).second) {
      if (!failures.empty()) failures += "\n";
      failures += slot.error() + " (" + platform::ToUtf8(path) + ")";
    }
    return;
  }
  note->hide();
  if (picture->pixmap().cacheKey() == slot.pixmap().cacheKey()) return;  // shown already
  picture->setPixmap(slot.pixmap());
  picture->repaint();
}

}  // namespace app
