// Aligning a decoded piece with a recording: the piece's first audible frame anchors the search,
// a short window of frames that must agree confirms the offset, then the whole piece is compared.
#include "tests/support/sound_match.h"

#include <cstdlib>

namespace testsupport {

namespace {

constexpr std::size_t kConfirmFrames = 64;

bool Near(std::int16_t a, std::int16_t b, int tolerance) { return std::abs(int{a} - int{b}) <= tolerance; }

bool FramesAgree(const std::vector<std::int16_t>& recording, std::size_t at, const std::vector<std::int16_t>& piece,
                 std::size_t from, std::size_t count, int tolerance) {
  for (std::size_t i = 0; i < count * 2; ++i) {
    if (!Near(recording[at * 2 + i], piece[from * 2 + i], tolerance)) return false;
  }
  return true;
}

}  // namespace

SoundMatch FindPiece(const std::vector<std::int16_t>& recording, const std::vector<std::int16_t>& piece,
                     std::size_t from, int tolerance) {
  SoundMatch match;
  const std::size_t pieceFrames = piece.size() / 2;
  const std::size_t recordFrames = recording.size() / 2;
  std::size_t anchor = 0;  // first audible frame of the piece
  while (anchor < pieceFrames && std::abs(int{piece[anchor * 2]}) < 64 && std::abs(int{piece[anchor * 2 + 1]}) < 64) {
    ++anchor;
  }
  if (anchor + kConfirmFrames > pieceFrames) return match;
  for (std::size_t at = from + anchor; at + kConfirmFrames <= recordFrames; ++at) {
    if (!FramesAgree(recording, at, piece, anchor, kConfirmFrames, tolerance)) continue;
    match.offset = static_cast<long>(at - anchor);
    break;
  }
  if (match.offset < 0) return match;
  for (std::size_t i = 0; i < pieceFrames; ++i) {
    const std::size_t at = static_cast<std::size_t>(match.offset) + i;
    if (at >= recordFrames) {
      match.missing = pieceFrames - i;
      break;
    }
    if (!FramesAgree(recording, at, piece, i, 1, tolerance)) ++match.mismatches;
  }
  return match;
}

std::size_t LongestSilence(const std::vector<std::int16_t>& recording, std::size_t from, std::size_t to,
                           int threshold) {
  std::size_t longest = 0, run = 0;
  for (std::size_t f = from; f < to && f * 2 + 1 < recording.size(); ++f) {
    const bool silent =
        std::abs(int{recording[f * 2]}) <= threshold && std::abs(int{recording[f * 2 + 1]}) <= threshold;
    run = silent ? run + 1 : 0;
    if (run > longest) longest = run;
  }
  return longest;
}

}  // namespace testsupport
