// TMainForm: the selected song's analysis in the ID3 panel, the player buttons and the covers.
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <stdexcept>
#include <utility>

#include "app/album_paths.h"
#include "app/cover_picture.h"
#include "app/cover_slot.h"
#include "app/format_min_sec.h"
#include "app/main_form.h"
#include "app/shown_text.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/message_box.h"

namespace app {

namespace {
void SetCaption(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
  label->repaint();
}
}  // namespace

bool TMainForm::HasSongAt(int row) const {
  // "Nessuna canzone." names no file.
  return !SongsListBox->EntryBytes(row).isEmpty() && selectedAlbum_ >= 0 &&
         static_cast<std::size_t>(selectedAlbum_) < albumOfRow_.size();
}

std::string TMainForm::SongPath(int row) const {
  if (!HasSongAt(row)) return {};
  const QByteArray song = SongsListBox->EntryBytes(row);
  return platform::ResolvePath(SelectedAlbumFolder() + "/" + discFolder_ + song.toStdString());
}

ChosenSong TMainForm::SelectedSongFacts() const {
  ChosenSong song;
  song.album = selectedAlbum_;
  song.disc = currentDisc_;
  if (HasSongAt(selectedSong_)) {
    song.row = selectedSong_;
    song.count = SongsListBox->count();
    song.path = SongPath(selectedSong_);
    song.name = SongsListBox->EntryText(selectedSong_);
  }
  return song;
}

void TMainForm::SetSongFields(const SongTags& tags, bool repaint) {
  const std::array<std::pair<QLineEdit*, const QString*>, 6> fields = {{{MP3TitleEdit, &tags.title},
                                                                        {MP3ArtistEdit, &tags.artist},
                                                                        {MP3AlbumEdit, &tags.album},
                                                                        {MP3YearEdit, &tags.year},
                                                                        {MP3GenreEdit, &tags.genre},
                                                                        {MP3CommentEdit, &tags.comment}}};
  for (const auto& [field, text] : fields) {
    field->setText(*text);
    field->setCursorPosition(0);  // a long text shows its beginning
    if (repaint) field->repaint();
  }
}

void TMainForm::ShowSongInfo() {
  const HandlerNesting::Ticket ticket = nesting_.Latest();
  if (!HasSongAt(selectedSong_)) selectedSong_ = -1;
  playback_.ChooseSong(SelectedSongFacts());
  UpdatePlayerButtons();  // play and the song's info wait for the analysis
  if (selectedSong_ == -1) {
    PosMP3ScrollBar->setMaximum(0);
    SetSongFields({});
    SetCaption(MP3TotalTime, QStringLiteral("00:00"));
  } else {
    const std::string path = playback_.Song().path;
    // The panel holds nothing of the song before, should other handlers run during the analysis.
    SetSongFields({}, false);
    MP3TotalTime->setText(QStringLiteral("00:00"));
    auto analysis = std::make_shared<zodizidu::TMPEGAudio>();
    songAnalysis_ = analysis;
    analysis->SetFileName(path);  // handles pending window messages while it searches the file
    // A selection made while this file was analysed (a song, or an album or disc without songs)
    // has filled the panel already; the latest wins.
    if (!nesting_.Current(ticket)) return;
    if (analysis->IsValid()) {
      const zodizidu::TMPEGData& data = analysis->Data();
      const SongTags tags = {ShownText(analysis->Title()),     ShownText(analysis->Artist()),
                             ShownText(data.Album.str()),      ShownText(data.Year.str()),
                             ShownText(analysis->GenreText()), ShownText(data.Comment.str())};
      SetSongFields(tags);
      MPEGPlayer.SetStreamName(path);
      PosMP3ScrollBar->setMaximum(data.Duration);
      SetCaption(MP3TotalTime, QString::fromStdString(FormatMinSec(data.Duration)));
      playback_.SongAnalysed(true, tags, std::int64_t{data.Duration} * 1000);
    } else {
      platform::ShowMessageBox(QStringLiteral("Error"), QStringLiteral("File MP3 selezionato non corretto"),
                               platform::MessageIcon::kError);
      if (!nesting_.Current(ticket)) return;  // chosen again while the box was up
      SetSongFields({});
      SetCaption(MP3TotalTime, QStringLiteral("00:00"));
      PosMP3ScrollBar->setMaximum(0);
      playback_.SongAnalysed(false, {}, 0);
    }
  }
  PosMP3ScrollBar->setValue(0);
  SetCaption(MP3CurrentPos, QStringLiteral("00:00"));
}

void TMainForm::SongsListBoxClick() {
  const HandlerScope scope(nesting_);
  const int row = SongsListBox->currentRow();
  if (row == selectedSong_ || !HasSongAt(row)) return;
  const HandlerNesting::Ticket ticket = nesting_.NewSelection();
  StopIfActive();
  selectedSong_ = row;
  ShowSongInfo();
  if (nesting_.Current(ticket)) UpdatePlayerButtons();
}

namespace {
// Enables or disables `control`; a control whose state changes is repainted at once.
void SetEnabled(QWidget* control, bool on) {
  if (control->testAttribute(Qt::WA_Disabled) != on) return;
  control->setEnabled(on);
  control->repaint();
}
}  // namespace

void TMainForm::UpdatePlayerButtons() {
  const PlaybackState& state = playback_;
  SetEnabled(MP3InfoSpeedButton, state.SongPlayable());
  SetEnabled(ButtonPlay, state.CanPlay());
  SetEnabled(ButtonPause, state.CanPause());
  SetEnabled(ButtonStop, state.CanStop());
  SetEnabled(ButtonPrev, state.CanGoPrevious());
  SetEnabled(ButtonNext, state.CanGoNext());
  SetEnabled(PosMP3ScrollBar, state.BarEnabled());
}

namespace {
// Puts the list's highlight on `row` (none for -1), without announcing a choice.
void Highlight(detail::ListBox* list, int row) {
  if (list->currentRow() == row && (row < 0 || row >= list->count() || list->EntrySelected(row))) return;
  const QSignalBlocker quiet(list);
  list->setCurrentRow(row);
}
}  // namespace

// Whatever a handler cut short by an error left half done: the lists highlight the selection, and
// a selection the state does not know yet waits, unanalysed and not playable, for a new choice.
void TMainForm::Settle() noexcept {
  Highlight(AlbumListBox, selectedAlbum_);
  Highlight(SongsListBox, HasSongAt(selectedSong_) ? selectedSong_ : -1);
  const ChosenSong& known = playback_.Song();
  const std::int32_t row = HasSongAt(selectedSong_) ? selectedSong_ : -1;
  if (known.album != selectedAlbum_ || known.disc != currentDisc_ || known.row != row) {
    try {
      playback_.ChooseSong(SelectedSongFacts());
    } catch (...) {
      playback_.ChooseSong(ChosenSong());  // the song cannot even be named: no song
    }
    SetSongFields({}, false);
  }
  UpdatePlayerButtons();
  // The song's picture is read once the outermost handler's work is done, off this thread.
  if (nesting_.Outermost()) {
    try {
      FollowSongCover();
    } catch (...) {
      coverSong_.reset();  // asked again after the next handler
    }
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
    playback_.SetCover({});
    frontFromSong_ = false;
    backWaiting_ = false;
    songCovers_.Cancel();
    return;
  }
  const std::string folder = SelectedAlbumFolder() + "/";
  const std::string frontPath = folder + "front.jpg";
  const std::string backPath = folder + "back.jpg";
  const std::optional<CoverFileFacts> front = CoverFile(frontPath);
  const std::optional<CoverFileFacts> back = CoverFile(backPath);
  // The desktop is given a cover file only: a song's picture would have to be written out first.
  playback_.SetCover(front ? platform::ResolvePath(frontPath) : std::string());
  // A page whose file is unchanged keeps its picture, as does a song's picture until the song's
  // tag is read again; the others are cleared before any decoding.
  if (front ? !frontCover_.Holds(frontPath, *front) : !frontFromSong_) FrontCoverImage->clear();
  if (!back || !backCover_.Holds(backPath, *back)) BackCoverImage->clear();
  frontFromSong_ = !front;
  coverSong_.reset();
  if (front) songCovers_.Cancel();
  // The picture decoded with the index is taken while its file is the one decoded.
  if (std::optional<CoverAhead> ahead = std::exchange(frontAhead_, std::nullopt);
      ahead && front && ahead->path == frontPath && ahead->facts == *front && !frontCover_.Holds(frontPath, *front)) {
    const CoverPicture picture = ahead->picture.get();
    frontCover_.Keep(frontPath, *front, picture.image.isNull() ? QPixmap() : QPixmap::fromImage(picture.image),
                     picture.error);
  }
  std::string failures;
  ShowCover(frontPath, front, FrontCoverImage, FCNDStaticText, frontCover_, failures);
  backWaiting_ = backAfterFirstFrame_ && back && !backCover_.Holds(backPath, *back);
  if (backWaiting_) {
    BCNDStaticText->hide();  // the page is not shown before its picture is decoded
  } else {
    ShowCover(backPath, back, BackCoverImage, BCNDStaticText, backCover_, failures);
  }
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
    if (picture->pixmap().isNull()) note->show();  // a song's picture stays until its tag is read
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

void TMainForm::FollowSongCover() {
  if (!frontFromSong_) return;
  const std::string& song = playback_.Song().path;
  if (coverSong_ == song) return;
  coverSong_ = song;
  if (song.empty()) {
    songCovers_.Cancel();
    ShowSongCover({});
    return;
  }
  songCovers_.Read(song, FrontCoverImage->size(), songPictureIdentity_,
                   [this](const SongCover& cover) { ShowSongCover(cover); });
}

void TMainForm::ShowSongCover(const SongCover& cover) {
  if (!frontFromSong_) return;
  if (cover.kind == SongCover::Kind::kNone) {
    FrontCoverImage->clear();
    FCNDStaticText->show();
    return;
  }
  if (cover.kind == SongCover::Kind::kDecoded) {
    // Kept even when it cannot be decoded, so that the same picture is not tried again.
    songPictureIdentity_ = cover.identity;
    songPicture_ = cover.image.isNull() ? QPixmap() : QPixmap::fromImage(cover.image);
  }
  if (songPicture_.isNull()) {
    FrontCoverImage->clear();
    FCNDStaticText->show();
    return;
  }
  FCNDStaticText->hide();
  if (FrontCoverImage->pixmap().cacheKey() == songPicture_.cacheKey()) return;  // shown already
  FrontCoverImage->setPixmap(songPicture_);
  FrontCoverImage->repaint();
}

}  // namespace app
