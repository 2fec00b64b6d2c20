// What the window plays and shows, kept in one place: the mode, the song chosen (where it is, its
// file, its name), its position and length, its tags and the album's cover. The window's handlers
// change it and set the player buttons from it; the desktop's media controls and any other watcher
// read it and follow its Changed signal instead of looking at the window's controls.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

namespace app {

enum class PlaybackMode { kStopped, kPlaying, kPaused };

// The song the window has chosen.
struct ChosenSong {
  std::int32_t album = -1;  // row of the album list; -1 without albums
  std::int32_t disc = 0;    // 0 for a single-disc album, else 1 to 4
  std::int32_t row = -1;    // row of the song list; -1 when the list holds no song
  std::int32_t count = 0;   // songs in the list
  std::string path;         // the file, as the player is given it
  QString name;             // the file name as the list shows it
  bool analysed = false;    // false while the analysis of the file still runs
  bool valid = false;       // the analysis accepted the file

  bool operator==(const ChosenSong&) const = default;
};

// The song's tag texts as the ID3 panel shows them.
struct SongTags {
  QString title;
  QString artist;
  QString album;
  QString year;
  QString genre;
  QString comment;

  bool operator==(const SongTags&) const = default;
};

class PlaybackState : public QObject {
  Q_OBJECT

 public:
  PlaybackState() = default;

  PlaybackMode Mode() const { return mode_; }
  const ChosenSong& Song() const { return song_; }
  const SongTags& Tags() const { return tags_; }
  // The song's play time in milliseconds; 0 without a valid song.
  std::int64_t LengthMs() const { return lengthMs_; }
  // Where the song is, in milliseconds: the position last reported, moved on by a steady clock
  // while the song plays, never past the length.
  std::int64_t PositionMs() const;
  // The album's front cover file; empty when it has none.
  const std::string& Cover() const { return cover_; }

  // What the player panel allows now.
  bool HasSong() const { return song_.row >= 0; }
  bool SongPlayable() const { return HasSong() && song_.analysed && song_.valid; }
  bool CanPlay() const { return mode_ == PlaybackMode::kPaused || (mode_ == PlaybackMode::kStopped && SongPlayable()); }
  bool CanPause() const { return mode_ == PlaybackMode::kPlaying; }
  bool CanStop() const { return mode_ != PlaybackMode::kStopped; }
  bool CanGoPrevious() const { return HasSong() && song_.row > 0; }
  bool CanGoNext() const { return HasSong() && song_.row + 1 < song_.count; }
  // The position bar takes the user's moves: on with a valid song, off without a song, and left as
  // it was while a rejected song is shown.
  bool BarEnabled() const { return barEnabled_; }
  // A started song can be moved to another position.
  bool CanSeek() const { return barEnabled_ && SongPlayable() && mode_ != PlaybackMode::kStopped; }

  void SetMode(PlaybackMode mode);
  // A new song chosen, not analysed yet: its tags, length and position are cleared.
  void ChooseSong(const ChosenSong& song);
  // The analysis of the chosen song ended: accepted with its tags and length, or rejected.
  void SongAnalysed(bool valid, const SongTags& tags, std::int64_t lengthMs);
  // The position reported by the player (or set by the window: a start, a stop, a seek).
  void SetPosition(std::int64_t milliseconds);
  // The user or the desktop moved the song to `milliseconds`.
  void Jump(std::int64_t milliseconds);
  void SetCover(const std::string& path);

 signals:
  // Anything but the position changed (the position moves all the time; read it when needed).
  void Changed();
  // The song was moved to another position (PositionMs tells where).
  void Jumped();

 private:
  PlaybackMode mode_ = PlaybackMode::kStopped;
  ChosenSong song_;
  SongTags tags_;
  std::int64_t lengthMs_ = 0;
  std::int64_t positionMs_ = 0;
  QElapsedTimer sincePosition_;
  bool barEnabled_ = false;
  std::string cover_;
};

}  // namespace app
