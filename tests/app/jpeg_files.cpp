// JPEG pictures drawn and encoded by the tests.
#include "tests/app/jpeg_files.h"

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
