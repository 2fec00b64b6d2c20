// libFuzzer target: any bytes as a cover picture (JPEG, or PNG when they begin as one) are decoded
// or refused with a reason, never a crash, an endless loop or a read out of bounds, and a decoded
// picture keeps to the size rules.
#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/cover_picture.h"

namespace {
const QSize kArea(193, 173);  // the picture area of a cover page
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  // A PNG (as a song's tag may carry) is read from memory, within the same size rules.
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0) {
    const app::CoverPicture picture = app::DecodeCoverBytes({data, size}, kArea);
    if (picture.image.isNull() == picture.error.empty()) std::abort();
    if (static_cast<long long>(picture.image.width()) * picture.image.height() > app::kMaxCoverPixels) std::abort();
    return 0;
  }
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (!file) std::abort();
  QSize shown;
  int steps = 0;
  const app::CoverPicture picture = app::DecodeCover(file, kArea, [&](const QImage& partial) {
    // Every band shown while decoding is the whole picture, of one size throughout.
    if (partial.isNull() || (steps > 0 && partial.size() != shown)) std::abort();
    shown = partial.size();
    ++steps;
  });
  std::fclose(file);
  if (picture.image.isNull() == picture.error.empty()) std::abort();  // a picture or a reason, never both
  if (!picture.image.isNull()) {
    const QImage& image = picture.image;
    if (image.format() != QImage::Format_RGB32) std::abort();
    if (static_cast<long long>(image.width()) * image.height() > app::kMaxCoverPixels) std::abort();
    if (steps > 0 && image.size() != shown) std::abort();
  }
  return 0;
}
