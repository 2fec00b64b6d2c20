// Finding a decoded piece of music in a recording of the sound server's monitor.
#pragma once

#include <cstdint>
#include <vector>

namespace testsupport {

struct SoundMatch {
  long offset = -1;            // the recording's frame where the piece begins; -1 when not found
  std::size_t mismatches = 0;  // frames of the piece whose samples differ by more than the tolerance
  std::size_t missing = 0;     // frames of the piece the recording ends before
};

// Looks for `piece` (interleaved stereo) in `recording` (interleaved stereo) from frame `from` on:
// the piece's first sound is aligned with the first matching stretch of the recording, then every
// frame is compared within `tolerance`.
SoundMatch FindPiece(const std::vector<std::int16_t>& recording, const std::vector<std::int16_t>& piece,
                     std::size_t from = 0, int tolerance = 2);

// Length in frames of the longest run of silent frames (both samples within `threshold`) in
// recording frames [from, to).
std::size_t LongestSilence(const std::vector<std::int16_t>& recording, std::size_t from, std::size_t to,
                           int threshold = 8);

}  // namespace testsupport
