// Decoding a cover picture (a JPEG file) for a picture area of a given size.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdio>
#include <functional>
#include <string>

namespace app {

struct CoverPicture {
  QImage image;       // null when the file could not be decoded
  std::string error;  // why, when it could not
};

// Called while the picture is decoded, with the rows decoded so far (the rest still blank).
using CoverProgress = std::function<void(const QImage& partial)>;

// Decodes the JPEG file at `path`. A picture much larger than `area` is decoded at a reduced
// scale (1/2, 1/4 or 1/8) that still covers the area; one of more than kMaxCoverPixels pixels
// is refused, so that no file can claim a picture that fills the memory.
CoverPicture DecodeCover(const std::string& path, QSize area, const CoverProgress& progress = {});

// The same from a file already open for reading (left open, its position at wherever decoding stopped).
CoverPicture DecodeCover(std::FILE* file, QSize area, const CoverProgress& progress = {});

inline constexpr long long kMaxCoverPixels = 100LL * 1000 * 1000;

}  // namespace app
