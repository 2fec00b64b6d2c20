// Decoding a cover picture (a JPEG file, or a JPEG or PNG picture a song carries) for a picture
// area of a given size.
#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

namespace app {

struct CoverPicture {
  QImage image;       // null when the file could not be decoded
  std::string error;  // why, when it could not
};

// Called while the picture is decoded, with the rows decoded so far (the rest still blank).
using CoverProgress = std::function<void(const QImage& partial)>;

// The picture area of each of the main window's two cover pages.
inline constexpr QSize kCoverPageArea(193, 173);

inline constexpr long long kMaxCoverPixels = 100LL * 1000 * 1000;
inline constexpr int kScanDataWeight = 4;

// What decoding one picture may cost at most, so that no file, whatever size it claims or however
// many scans it holds, can fill the memory or hold the window for long.
struct CoverLimits {
  // The size a picture may claim, in pixels.
  long long pixels = kMaxCoverPixels;
  // The memory the decoding needs: a picture sent in several scans (progressive) keeps every
  // coefficient of the whole picture until its last scan; the decoded picture comes on top.
  std::size_t memoryBytes = std::size_t{144} << 20;
  // The work of reading the scans: the 8x8 blocks each scan covers, summed over the scans. A
  // progressive picture's usual ten scans cover its blocks about five times over.
  long long scanBlocks = 10LL * 1000 * 1000;
  // The compressed data read; data of a picture in several scans counts kScanDataWeight times.
  long long dataBytes = 40LL << 20;
};

// Decodes the JPEG file at `path`. A picture much larger than `area` is decoded at a reduced
// scale (1/2, 1/4 or 1/8) that still covers the area. A picture beyond `limits` is refused with
// the reason. Anything but a regular file (a FIFO, a device) is refused at once, as a missing one.
CoverPicture DecodeCover(const std::string& path, QSize area, const CoverProgress& progress = {},
                         const CoverLimits& limits = {});

// The same from a file already open for reading (left open, its position at wherever decoding stopped).
CoverPicture DecodeCover(std::FILE* file, QSize area, const CoverProgress& progress = {},
                         const CoverLimits& limits = {});

// Decodes a picture held in memory: a JPEG as DecodeCover does, or a PNG, whose size is checked
// against the same pixel and memory bounds before anything is decoded and which is then reduced
// by the same scales. Anything else is refused with the reason.
CoverPicture DecodeCoverBytes(std::span<const std::uint8_t> bytes, QSize area, const CoverLimits& limits = {});

}  // namespace app
