// TMainForm: the main window with the album and song lists, covers, ID3 panel and player panel.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "albums_inf/album_index.h"
#include "app/cover_slot.h"
#include "app/detail/list_box.h"
#include "app/detail/track_bar.h"
#include "app/handler_scope.h"
#include "app/index_reading.h"
#include "app/playback_state.h"
#include "app/song_cover.h"
#include "player/mpeg_player.h"
#include "volume/vol_control.h"
#include "zodizidu/analysis/mpeg_audio.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QScrollBar;
class QTabWidget;

namespace dialogs {
class TMP3InfoForm;
}

namespace app {

using albums_inf::AlbumEntry;

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // When the Back page decodes the first album's picture: at once, or once the window's first
  // frame is out (the program's start: that page is not the one shown first, and a large
  // progressive picture takes tens of milliseconds).
  enum class BackCover { kAtOnce, kAfterFirstFrame };

  // Lays out the window and runs FormCreate with the current directory as the compilation root.
  explicit TMainForm(QWidget* parent = nullptr, BackCover backCover = BackCover::kAtOnce);
  ~TMainForm() override;

  // ---- controls, named as the window's layout names them ----
  QTabWidget* CoverPageControl = nullptr;
  QWidget* FCTabSheet = nullptr;
  QLabel* FrontCoverImage = nullptr;
  QLabel* FCNDStaticText = nullptr;
  QWidget* BCTabSheet = nullptr;
  QLabel* BackCoverImage = nullptr;
  QLabel* BCNDStaticText = nullptr;
  QGroupBox* AlbumGroupBox = nullptr;
  QLabel* Label6 = nullptr;
  detail::ListBox* AlbumListBox = nullptr;
  QToolButton* CD1SB = nullptr;
  QToolButton* CD2SB = nullptr;
  QToolButton* CD3SB = nullptr;
  QToolButton* CD4SB = nullptr;
  QGroupBox* SongsGroupBox = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* CDLabel = nullptr;
  detail::ListBox* SongsListBox = nullptr;
  QGroupBox* InfoGroupBox = nullptr;
  QLabel* Label8 = nullptr;
  QLineEdit* MP3TitleEdit = nullptr;
  QLineEdit* MP3ArtistEdit = nullptr;
  QLineEdit* MP3AlbumEdit = nullptr;
  QLineEdit* MP3YearEdit = nullptr;
  QLineEdit* MP3GenreEdit = nullptr;
  QLineEdit* MP3CommentEdit = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label9 = nullptr;
  QToolButton* MP3InfoSpeedButton = nullptr;
  QToolButton* InfoSpeedButton = nullptr;
  QToolButton* SpeedButtonEsci = nullptr;
  QGroupBox* MP3PlayerGroupBox = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* PosMP3PercLabel = nullptr;
  QLabel* MP3CurrentPos = nullptr;
  QLabel* MP3TotalTime = nullptr;
  QScrollBar* PosMP3ScrollBar = nullptr;
  QToolButton* ButtonPrev = nullptr;
  QToolButton* ButtonPlay = nullptr;
  QToolButton* ButtonPause = nullptr;
  QToolButton* ButtonStop = nullptr;
  QToolButton* ButtonNext = nullptr;
  QCheckBox* ContCheckBox = nullptr;
  QCheckBox* RepeatCheckBox = nullptr;
  detail::TrackBar* VolTrackBar = nullptr;
  QLabel* VolPos = nullptr;

  // The playback component.
  player::TMPEGPlayer MPEGPlayer;
  // The volume component, on the wave output.
  volume::TmVolControl VolControl;

  // ---- state ----
  // Index of the selected album list entry; -1 without albums.
  std::int32_t SelectedAlbum() const { return selectedAlbum_; }
  // Index of the selected song list entry; -1 without songs.
  std::int32_t SelectedSong() const { return selectedSong_; }
  // 0 for a single-disc album, else the disc shown (1 to 4).
  std::int32_t CurrentDisc() const { return currentDisc_; }
  // Empty, or "CD1/" to "CD4/".
  const std::string& DiscFolder() const { return discFolder_; }
  // The albums of the index in file order.
  const std::vector<AlbumEntry>& AlbumEntries() const { return albums_; }
  // The album of the list entry at display position `row`.
  const AlbumEntry& AlbumOfEntry(int row) const;
  // The analysis of the last selected song; null before the first selection.
  const zodizidu::TMPEGAudio* SongAnalysis() const { return songAnalysis_.get(); }
  // True while the user drags the thumb of the position bar.
  bool SeekDragging() const { return seekDragging_; }
  // What plays and what is shown: the state the player buttons are set from and the desktop's
  // media controls follow.
  const PlaybackState& Playback() const { return playback_; }
  // True while the selected song's own picture is read for the front page.
  bool ReadingSongCover() const { return songCovers_.Pending(); }
  // The MP3 Info dialog the "&MP3 Info" button shows (created by the program entry); it reads
  // SongAnalysis each time it is shown.
  void SetMP3InfoForm(dialogs::TMP3InfoForm* form);

  // ---- operations and handlers ----
  void FormCreate();
  void FormActivate();
  void SpeedButtonEsciClick();
  void InfoSpeedButtonClick();
  void MP3InfoSpeedButtonClick();
  void AlbumListBoxClick();
  void CD1SBClick() { SwitchDisc(1); }
  void CD2SBClick() { SwitchDisc(2); }
  void CD3SBClick() { SwitchDisc(3); }
  void CD4SBClick() { SwitchDisc(4); }
  void SongsListBoxClick();
  // Fills the (empty) song list from the files matching `pattern`.
  void ListSongs(const std::string& pattern);
  // Lists the selected album's songs, choosing the first disc of a multi-disc album.
  void OpenAlbum();
  // Stops and closes a playing or paused stream.
  void StopIfActive();
  // Analyses the selected song and fills the ID3 panel and the total time.
  void ShowSongInfo();
  // Sets the player buttons from the playback state.
  void UpdatePlayerButtons();
  // ---- player panel ----
  void ButtonPlayClick();
  void ButtonPauseClick();
  void ButtonStopClick();
  void ButtonPrevClick() { StepSong(-1); }
  void ButtonNextClick() { StepSong(+1); }
  void ContCheckBoxClick();
  void RepeatCheckBoxClick();
  // A scroll action of the user on the position bar: thumb dragged, or the action ended.
  enum class ScrollAction { kThumbTrack, kEndScroll, kOther };
  void PosMP3ScrollBarScroll(ScrollAction action, int position);
  // The position bar's position changed (by the user, the position updates or a new maximum).
  void PosMP3ScrollBarChange();
  // The playback component's position (milliseconds) and the end of the song.
  void MPEGPlayerPosUpdate(std::int32_t position, std::int32_t length);
  void MPEGPlayerPlayEnd();
  // The stream stopped by itself (its output failed): the song ends where it is, stopped.
  void MPEGPlayerPlayFault();
  // Shows the selected album's covers; a picture that cannot be decoded is reported (once per
  // choice of the album) and its page says that no picture is available. Without a front cover
  // file the front page shows the selected song's own picture, read after the handler's work.
  void LoadCovers();
  // Volume slider: the component's first report, its polling ticks and the user's moves.
  void VolControlInit();
  void VolControlChange();
  void VolTrackBarChange();

 protected:
  bool event(QEvent* event) override;

 private:
  void BuildControls();
  // The end of a stream, played out or cut by its output: panel stopped, stream closed.
  void CloseEndedStream();
  void NameControls();
  void BuildCoverPages();
  void BuildAlbumPanels();
  void BuildInfoPanel();
  void BuildPlayerPanel();
  void ConnectHandlers();
  void SetUpPlayer();
  void SetUpVolume();
  void ShowVolumePercent(std::uint8_t volume);
  void LoadIndex(IndexReading reading);
  void SetEmptyState();
  void SwitchDisc(int disc);
  // Selects the song `step` rows away; the ticket of that selection, or 0 when there is no such song.
  HandlerNesting::Ticket StepSong(int step);
  // After every handler: the lists highlight the selection, the playback state knows the selected
  // song, the player buttons follow the state.
  void Settle() noexcept;
  // Stops and closes the stream. A stream that has ended meanwhile counts as stopped; a fault it
  // reports is shown once the handler has ended (see app/handler_scope.h).
  void StopStream();
  // The state of the song at the selected row, as chosen before its analysis.
  ChosenSong SelectedSongFacts() const;
  void ShowDisc(int disc);
  void ClearSongList();
  // Fills the six ID3 fields, each repainted at once unless `repaint` is false.
  void SetSongFields(const SongTags& tags, bool repaint = true);
  std::string SelectedAlbumFolder() const;
  // True when `row` of the song list names a song of the selected album.
  bool HasSongAt(int row) const;
  // The path of the song at `row` of the song list; empty when there is no such song.
  std::string SongPath(int row) const;
  QToolButton* DiscButton(int disc) const;
  // The facts of a cover file of the compilation; nothing when there is no such file.
  static std::optional<CoverFileFacts> CoverFile(const std::string& path);
  void ShowCover(const std::string& path, const std::optional<CoverFileFacts>& facts, QLabel* picture, QLabel* note,
                 CoverSlot& slot, std::string& failures);
  // Asks for the selected song's own picture when the front page follows the song and the song changed.
  void FollowSongCover();
  void ShowSongCover(const SongCover& cover);

  std::int32_t selectedAlbum_ = 0;
  std::int32_t selectedSong_ = 0;
  std::int32_t currentDisc_ = 0;
  bool seekDragging_ = false;
  PlaybackState playback_;
  HandlerNesting nesting_;
  // Counts the ends of streams (played out or failed) that the player reported.
  std::uint64_t streamEnds_ = 0;
  std::string discFolder_;
  std::vector<AlbumEntry> albums_;
  std::vector<int> albumOfRow_;  // album list row -> index into albums_
  // Shared with a ShowSongInfo still analysing it, so a newer selection never frees it under that analysis.
  std::shared_ptr<zodizidu::TMPEGAudio> songAnalysis_;
  bool closing_ = false;
  dialogs::TMP3InfoForm* mp3InfoForm_ = nullptr;
  // Covers of the selected album that failed to decode and have been reported.
  std::set<std::string> reportedCovers_;
  // The pictures the two pages show, with the facts of their files.
  CoverSlot frontCover_;
  CoverSlot backCover_;
  // The album has no front cover file: the front page shows the selected song's own picture.
  bool frontFromSong_ = false;
  // Until the first frame is out, the Back page's picture waits (see BackCover); `backWaiting_`
  // says a picture is waiting for it.
  bool backAfterFirstFrame_ = false;
  bool backWaiting_ = false;
  // The song whose picture was asked for last; nothing when it is to be asked for again.
  std::optional<std::string> coverSong_;
  // The song picture decoded last (null when it could not be), whichever song it came from.
  std::optional<zodizidu::PictureIdentity> songPictureIdentity_;
  QPixmap songPicture_;
  SongCoverReader songCovers_{this};
  // The index, read while the window is built; taken by the creation when it lists the albums.
  std::future<IndexReading> indexAhead_;
  // The first album's front cover, decoded with the index; taken when that album's covers load.
  std::optional<CoverAhead> frontAhead_;
};

}  // namespace app
