// Decoding a cover picture with libjpeg: errors come back as text, never as an exit or a throw.
#include "app/cover_picture.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

// jpeglib.h wants FILE and size_t declared first.
#include <jpeglib.h>

#include "platform/paths.h"

namespace app {

namespace {

constexpr int kProgressSteps = 4;  // the picture appears in this many bands while it is decoded

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->escape, 1);
}

void IgnoreMessage(j_common_ptr, int) {}  // warnings about damaged data: decode what is there

// The largest reduction (denominator 1, 2, 4 or 8) that keeps the picture at least as large as the area.
unsigned ScaleDenominator(unsigned width, unsigned height, QSize area) {
  unsigned denominator = 1;
  while (denominator < 8 && width / (denominator * 2) >= static_cast<unsigned>(area.width()) &&
         height / (denominator * 2) >= static_cast<unsigned>(area.height())) {
    denominator *= 2;
  }
  return denominator;
}

// Pixels in the order of QImage::Format_RGB32 (0xffRRGGBB in native byte order).
constexpr J_COLOR_SPACE kRgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// One row of CMYK samples as RGB32 pixels. Print programs store the inks inverted (255 = no ink)
// and say so with an Adobe marker; without the marker the samples are the inks themselves.
void CmykToRgb(const JSAMPLE* in, QRgb* out, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4) {
    // The share of light each ink lets through, with black over all three.
    const unsigned c = inverted ? in[0] : 255u - in[0];
    const unsigned m = inverted ? in[1] : 255u - in[1];
    const unsigned y = inverted ? in[2] : 255u - in[2];
    const unsigned k = inverted ? in[3] : 255u - in[3];
    out[x] = qRgb(static_cast<int>((c * k + 127) / 255), static_cast<int>((m * k + 127) / 255),
                  static_cast<int>((y * k + 127) / 255));
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The libjpeg part, kept free of objects with destructors: an error jumps straight out of it.
// Returns false with the message in `errors` on failure.
bool Decode(std::FILE* file, QSize area, QImage& image, const CoverProgress& progress, ErrorManager& errors,
            jpeg_decompress_struct& info) {
  if (setjmp(errors.escape)) return false;
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  if (static_cast<long long>(info.image_width) * info.image_height > kMaxCoverPixels) {
    std::snprintf(errors.message, sizeof errors.message, "Picture too large (%ux%u)", info.image_width,
                  info.image_height);
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = ScaleDenominator(info.image_width, info.image_height, area);
  // Print scans come in CMYK or YCCK, which libjpeg turns into CMYK only; the rest straight into
  // the picture's own pixel format.
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : kRgb32Space;
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
  if (image.isNull()) {  // no memory for it: the rows would have nowhere to go
    std::snprintf(errors.message, sizeof errors.message, "Not enough memory for the picture (%ux%u)", info.output_width,
                  info.output_height);
    return false;
  }
  image.fill(Qt::white);
  // Released with the decompressor, so that an error jumping out leaks nothing.
  JSAMPARRAY inks =
      cmyk ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1)
           : nullptr;
  const JDIMENSION band = info.output_height / kProgressSteps + 1;
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    JSAMPROW row = cmyk ? inks[0] : image.scanLine(y);
    if (jpeg_read_scanlines(&info, &row, 1) == 1 && cmyk) {
      CmykToRgb(inks[0], reinterpret_cast<QRgb*>(image.scanLine(y)), info.output_width, info.saw_Adobe_marker);
    }
    if (progress && info.output_scanline % band == 0 && info.output_scanline < info.output_height) progress(image);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

CoverPicture DecodeCover(const std::string& path, QSize area, const CoverProgress& progress) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(platform::ResolvePath(path).c_str(), "rb"));
  if (!file) {
    CoverPicture picture;
    picture.error = "Cannot open " + path;
    return picture;
  }
  return DecodeCover(file.get(), area, progress);
}

CoverPicture DecodeCover(std::FILE* file, QSize area, const CoverProgress& progress) {
  CoverPicture picture;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.emit_message = IgnoreMessage;
  QImage image;
  const bool decoded = Decode(file, area, image, progress, errors, info);
  jpeg_destroy_decompress(&info);
  if (!decoded) {
    picture.error = errors.message;
    return picture;
  }
  picture.image = std::move(image);
  return picture;
}

}  // namespace app
