// The frame count a stream's first frame may carry: a Xing or Info header, or a VBRI header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "mpegdll/detail/frame_header.h"

namespace mpegdll {

struct FrameCount {
  enum class Kind { kXing, kVbri };
  Kind kind = Kind::kXing;
  std::int64_t frames = 0;  // MPEG frames of the stream, the header's own frame not counted
};

// The count in the frame whose first `size` bytes are at `frame`; nothing when the frame holds
// no such header or one without a count.
std::optional<FrameCount> ReadFrameCount(const std::uint8_t* frame, std::size_t size);

// Samples (per channel) that one frame of `header` decodes to.
int SamplesPerFrame(const FrameHeader& header);

}  // namespace mpegdll
