// The search for the first MPEG audio frame of a stream, past tags and junk of any length.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "mpegdll/detail/input.h"

namespace mpegdll::detail {

struct FirstFrame {
  std::int64_t offset = 0;              // of the frame's first byte in the input
  std::vector<std::uint8_t> readAhead;  // the bytes from `offset` on that the search has read
};

// Reads `input` from its current position (its first byte) and finds the first frame. A leading
// ID3v2 tag is passed over by its size. A frame counts when its header is valid and the header
// of the frame after it is valid too; one followed by three more frames of the same stream, or
// by frames up to the end of the input, is preferred to a bare pair (random junk holds false
// pairs every few megabytes). Nothing when the input holds no frame pair.
std::optional<FirstFrame> FindFirstFrame(Input& input);

}  // namespace mpegdll::detail
