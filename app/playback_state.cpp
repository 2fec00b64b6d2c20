// What the window plays and shows.
#include "app/playback_state.h"

#include <algorithm>

namespace app {

std::int64_t PlaybackState::PositionMs() const {
  std::int64_t position = positionMs_;
  if (mode_ == PlaybackMode::kPlaying && sincePosition_.isValid()) position += sincePosition_.elapsed();
  return std::clamp<std::int64_t>(position, 0, std::max<std::int64_t>(lengthMs_, 0));
}

void PlaybackState::SetMode(PlaybackMode mode) {
  if (mode == mode_) return;
  // The position runs on from where it is now, or stands where the song was paused.
  positionMs_ = PositionMs();
  sincePosition_.start();
  mode_ = mode;
  if (mode == PlaybackMode::kStopped) positionMs_ = 0;
  emit Changed();
}

void PlaybackState::ChooseSong(const ChosenSong& song) {
  ChosenSong chosen = song;
  chosen.analysed = false;
  chosen.valid = false;
  if (chosen.row < 0) {
    chosen = ChosenSong();
    chosen.album = song.album;
    chosen.disc = song.disc;
    barEnabled_ = false;
  }
  song_ = chosen;
  tags_ = {};
  lengthMs_ = 0;
  positionMs_ = 0;
  emit Changed();
}

void PlaybackState::SongAnalysed(bool valid, const SongTags& tags, std::int64_t lengthMs) {
  if (!HasSong()) return;
  song_.analysed = true;
  song_.valid = valid;
  tags_ = valid ? tags : SongTags{};
  lengthMs_ = valid ? std::max<std::int64_t>(lengthMs, 0) : 0;
  positionMs_ = 0;
  if (valid) barEnabled_ = true;
  emit Changed();
}

void PlaybackState::SetPosition(std::int64_t milliseconds) {
  positionMs_ = milliseconds;
  sincePosition_.start();
}

void PlaybackState::Jump(std::int64_t milliseconds) {
  SetPosition(milliseconds);
  emit Jumped();
}

void PlaybackState::SetCover(const std::string& path) {
  if (path == cover_) return;
  cover_ = path;
  emit Changed();
}

}  // namespace app
