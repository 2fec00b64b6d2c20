// The layout of decoded sound: signed 16-bit little-endian samples, channels interleaved.
#pragma once

namespace mpegdll::detail {

struct PcmFormat {
  long rate = 0;     // frames per second
  int channels = 0;  // 1 or 2

  int FrameBytes() const { return channels * 2; }
  bool operator==(const PcmFormat&) const = default;
};

}  // namespace mpegdll::detail
