// JPEG pictures drawn and encoded by the tests.
#include "tests/app/jpeg_files.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace testsupport {

std::string JpegPicture(QSize size, QColor colour) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&info, &buffer, &length);
  info.image_width = static_cast<JDIMENSION>(size.width());
  info.image_height = static_cast<JDIMENSION>(size.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(size.width()) * 3);
  while (info.next_scanline < info.image_height) {
    const bool band = info.next_scanline >= info.image_height * 3 / 4;
    for (int x = 0; x < size.width(); ++x) {
      row[static_cast<std::size_t>(x) * 3] = band ? 255 : static_cast<unsigned char>(colour.red());
      row[static_cast<std::size_t>(x) * 3 + 1] = band ? 255 : static_cast<unsigned char>(colour.green());
      row[static_cast<std::size_t>(x) * 3 + 2] = band ? 255 : static_cast<unsigned char>(colour.blue());
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), length);
  std::free(buffer);
  return bytes;
}

namespace {

// Compresses rows that `row` fills (`components` samples a pixel) in `space`, stored as `stored`.
template <typename RowFiller>
std::string Compress(QSize size, int components, J_COLOR_SPACE space, J_COLOR_SPACE stored, bool adobeMarker,
                     bool progressive, RowFiller row, int restartRows = 0) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&info, &buffer, &length);
  info.image_width = static_cast<JDIMENSION>(size.width());
  info.image_height = static_cast<JDIMENSION>(size.height());
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, stored);
  info.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
  jpeg_set_quality(&info, 90, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  info.restart_in_rows = restartRows;
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> samples(static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(components));
  while (info.next_scanline < info.image_height) {
    row(static_cast<int>(info.next_scanline), samples.data());
    JSAMPROW rows[1] = {samples.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), length);
  std::free(buffer);
  return bytes;
}

}  // namespace

std::string JpegInks(QSize size, int cyan, int magenta, int yellow, int black, InkForm form) {
  const bool adobe = form != InkForm::kPlainCmyk;
  const auto stored = [adobe](int ink) { return static_cast<unsigned char>(adobe ? 255 - ink : ink); };
  return Compress(size, 4, JCS_CMYK, form == InkForm::kAdobeYcck ? JCS_YCCK : JCS_CMYK, adobe, false,
                  [&](int, unsigned char* samples) {
                    for (int x = 0; x < size.width(); ++x) {
                      unsigned char* pixel = samples + static_cast<std::ptrdiff_t>(x) * 4;
                      pixel[0] = stored(cyan);
                      pixel[1] = stored(magenta);
                      pixel[2] = stored(yellow);
                      pixel[3] = stored(black);
                    }
                  });
}

namespace {

// Shapes and noise, so that the picture compresses like a photograph.
std::string Photo(QSize size, bool progressive, int restartRows) {
  std::uint32_t noise = 12345;
  return Compress(
      size, 3, JCS_RGB, JCS_YCbCr, false, progressive,
      [&](int y, unsigned char* samples) {
        for (int x = 0; x < size.width(); ++x) {
          noise = noise * 1664525u + 1013904223u;
          const int grain = static_cast<int>(noise >> 27);  // 0..31
          const int dx = x - size.width() / 2;
          const int dy = y - size.height() / 2;
          const bool inside = dx * dx + dy * dy < size.width() * size.width() / 9;
          samples[x * 3] =
              static_cast<unsigned char>(std::clamp((inside ? 200 : x * 255 / size.width()) - grain / 2 + 8, 0, 255));
          samples[x * 3 + 1] = static_cast<unsigned char>(y * 200 / size.height() + grain);
          samples[x * 3 + 2] = static_cast<unsigned char>(inside ? 60 + grain : 180 - grain);
        }
      },
      restartRows);
}

}  // namespace

std::string JpegPhoto(QSize size, bool progressive) { return Photo(size, progressive, 0); }

std::string JpegWithRestarts(QSize size, int rows) { return Photo(size, false, rows); }

std::string JpegGrey(QSize size) {
  std::uint32_t noise = 777;
  return Compress(size, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, false, false, [&](int y, unsigned char* samples) {
    for (int x = 0; x < size.width(); ++x) {
      noise = noise * 1664525u + 1013904223u;
      samples[x] = static_cast<unsigned char>(((x ^ y) & 0x3F) * 3 + static_cast<int>(noise >> 28));
    }
  });
}

std::string JpegRepeatingLastScan(QSize size, int repeats) {
  std::string bytes = Compress(size, 3, JCS_RGB, JCS_YCbCr, false, true, [&](int, unsigned char* samples) {
    std::fill_n(samples, static_cast<std::size_t>(size.width()) * 3, 128);
  });
  // The last scan runs from its SOS marker to the EOI marker that ends the file; a marker's FF
  // never occurs inside entropy-coded data, where FF is always followed by 00.
  const std::size_t end = bytes.size() - 2;
  const std::size_t last = bytes.rfind("\xFF\xDA", end);
  if (last == std::string::npos || bytes.compare(end, 2, "\xFF\xD9") != 0)
    throw std::logic_error("no last scan in the encoded picture");
  const std::string scan = bytes.substr(last, end - last);
  std::string copies;
  for (int i = 0; i < repeats; ++i) copies += scan;
  bytes.insert(end, copies);
  return bytes;
}

std::string JpegClaiming(QSize claimed) {
  std::string bytes = JpegPicture(QSize(16, 16), Qt::gray);
  // The baseline frame header: FF C0, length (2 bytes), precision (1), height (2), width (2).
  const std::size_t frame = bytes.find("\xFF\xC0");
  if (frame == std::string::npos) throw std::logic_error("no frame header in the encoded picture");
  bytes[frame + 5] = static_cast<char>(claimed.height() >> 8);
  bytes[frame + 6] = static_cast<char>(claimed.height() & 0xFF);
  bytes[frame + 7] = static_cast<char>(claimed.width() >> 8);
  bytes[frame + 8] = static_cast<char>(claimed.width() & 0xFF);
  return bytes;
}

}  // namespace testsupport
