// Decoding a cover picture with libjpeg (PNG with Qt's reader): errors come back as text, never as
// an exit or a throw.
#include "app/cover_picture.h"

#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

// jpeglib.h wants FILE and size_t declared first.
#include <jpeglib.h>

#include "platform/paths.h"
#include "platform/regular_file.h"

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

// The bytes of coefficients the decoder keeps for the whole picture when it comes in several
// scans (it sizes its buffer so, padded to whole sampling units); 0 for a single scan, which is
// decoded row by row.
std::uint64_t CoefficientBytes(j_decompress_ptr info) {
  if (!jpeg_has_multiple_scans(info)) return 0;
  const auto roundUp = [](std::uint64_t value, std::uint64_t unit) { return (value + unit - 1) / unit * unit; };
  std::uint64_t bytes = 0;
  for (int c = 0; c < info->num_components; ++c) {
    const jpeg_component_info& component = info->comp_info[c];
    bytes += roundUp(component.width_in_blocks, static_cast<std::uint64_t>(component.h_samp_factor)) *
             roundUp(component.height_in_blocks, static_cast<std::uint64_t>(component.v_samp_factor)) * sizeof(JBLOCK);
  }
  return bytes;
}

// What a picture may still cost while it is read, and how far it got. libjpeg calls CountScan
// between the rows of blocks it reads and FillCounted for every buffer of the file; either stops
// the decoding once a budget is spent.
struct DecodeBudget {
  jpeg_progress_mgr monitor;
  boolean (*fill)(j_decompress_ptr) = nullptr;  // the file source's own
  long long blocksLeft = 0;
  long long dataLeft = 0;
  int dataWeight = 1;
  int scansCounted = 0;
};

void CountScan(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  auto* budget = static_cast<DecodeBudget*>(info->client_data);
  if (info->input_scan_number == budget->scansCounted) return;
  budget->scansCounted = info->input_scan_number;
  budget->blocksLeft -= static_cast<long long>(info->MCUs_per_row) * info->MCU_rows_in_scan * info->blocks_in_MCU;
  if (budget->blocksLeft >= 0) return;
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  std::snprintf(errors->message, sizeof errors->message, "Picture has too many scans to decode (scan %d of %ux%u)",
                info->input_scan_number, info->image_width, info->image_height);
  std::longjmp(errors->escape, 1);
}

boolean FillCounted(j_decompress_ptr info) {
  auto* budget = static_cast<DecodeBudget*>(info->client_data);
  const boolean filled = budget->fill(info);
  budget->dataLeft -= static_cast<long long>(info->src->bytes_in_buffer) * budget->dataWeight;
  if (budget->dataLeft >= 0) return filled;
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  if (info->image_width == 0) {  // still in the markers before the frame header
    std::snprintf(errors->message, sizeof errors->message, "Picture has too much data to decode");
  } else {
    std::snprintf(errors->message, sizeof errors->message, "Picture has too much data to decode (%ux%u)",
                  info->image_width, info->image_height);
  }
  std::longjmp(errors->escape, 1);
}

// The libjpeg part, kept free of objects with destructors: an error jumps straight out of it.
// Returns false with the message in `errors` on failure.
bool Decode(std::FILE* file, QSize area, const CoverLimits& limits, QImage& image, const CoverProgress& progress,
            ErrorManager& errors, DecodeBudget& budget, jpeg_decompress_struct& info) {
  if (setjmp(errors.escape)) return false;
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  budget.fill = info.src->fill_input_buffer;
  budget.blocksLeft = limits.scanBlocks;
  budget.dataLeft = limits.dataBytes;
  info.client_data = &budget;
  info.src->fill_input_buffer = FillCounted;
  jpeg_read_header(&info, TRUE);
  if (static_cast<long long>(info.image_width) * info.image_height > limits.pixels) {
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
  // Everything large is known from the header: refused before anything is allocated.
  jpeg_calc_output_dimensions(&info);
  const std::uint64_t memory =
      CoefficientBytes(&info) + std::uint64_t{info.output_width} * info.output_height * sizeof(QRgb);
  if (memory > limits.memoryBytes) {
    std::snprintf(errors.message, sizeof errors.message, "Picture too large to decode (%ux%u needs %llu MB)",
                  info.image_width, info.image_height, static_cast<unsigned long long>((memory + (1 << 20) - 1) >> 20));
    return false;
  }
  // Data sent in several scans is read bit plane by bit plane, at several times the cost.
  if (jpeg_has_multiple_scans(&info)) budget.dataWeight = kScanDataWeight;
  budget.monitor.progress_monitor = CountScan;
  info.progress = &budget.monitor;
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

CoverPicture Refused(std::string error) {
  CoverPicture picture;
  picture.error = std::move(error);
  return picture;
}

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// A PNG picture: its size and sample depth are read from its header (the first chunk, IHDR) and
// checked before Qt's reader decodes it whole; a large one is then reduced as a JPEG would be.
CoverPicture DecodePng(std::span<const std::uint8_t> bytes, QSize area, const CoverLimits& limits) {
  constexpr std::size_t kHeaderEnd = 8 + 8 + 13;  // signature, chunk length and type, IHDR data
  if (bytes.size() < kHeaderEnd || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
    return Refused("Not a PNG picture");
  }
  const std::uint32_t width = BigEndian32(bytes.data() + 16);
  const std::uint32_t height = BigEndian32(bytes.data() + 20);
  // Both sides are below 2^32, so their product fits in 64 unsigned bits.
  const std::uint64_t pixels = std::uint64_t{width} * height;
  if (width == 0 || height == 0 || pixels > static_cast<std::uint64_t>(limits.pixels)) {
    return Refused("Picture too large (" + std::to_string(width) + "x" + std::to_string(height) + ")");
  }
  // Qt's reader gives 16-bit samples eight bytes a pixel, everything else at most four.
  const std::uint64_t memory = pixels * (bytes[24] == 16 ? 8 : 4);
  if (memory > limits.memoryBytes) {
    return Refused("Picture too large to decode (" + std::to_string(width) + "x" + std::to_string(height) + " needs " +
                   std::to_string((memory + (1 << 20) - 1) >> 20) + " MB)");
  }
  QByteArray data =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  reader.setDecideFormatFromContent(false);
  QImage image;
  if (!reader.read(&image)) return Refused("Cannot decode the PNG picture: " + reader.errorString().toStdString());
  const unsigned denominator = ScaleDenominator(width, height, area);
  if (denominator > 1) {
    image = image.scaled(static_cast<int>(width / denominator), static_cast<int>(height / denominator),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  CoverPicture picture;
  picture.image =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  return picture;
}

}  // namespace

CoverPicture DecodeCoverBytes(std::span<const std::uint8_t> bytes, QSize area, const CoverLimits& limits) {
  if (bytes.size() >= sizeof kPngSignature && std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0) {
    return DecodePng(bytes, area, limits);
  }
  if (bytes.empty()) return Refused("Empty picture");
  // libjpeg reads the bytes as the file they were taken from.
  std::unique_ptr<std::FILE, FileCloser> file(::fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb"));
  if (!file) return Refused("Not enough memory for the picture");
  return DecodeCover(file.get(), area, {}, limits);
}

CoverPicture DecodeCover(const std::string& path, QSize area, const CoverProgress& progress,
                         const CoverLimits& limits) {
  // A FIFO or a device is refused at once instead of waiting for data that may never come.
  const int fd = platform::OpenRegularFile(platform::ResolvePath(path));
  std::unique_ptr<std::FILE, FileCloser> file(fd < 0 ? nullptr : ::fdopen(fd, "rb"));
  if (!file) {
    if (fd >= 0) ::close(fd);
    return Refused("Cannot open " + path);
  }
  return DecodeCover(file.get(), area, progress, limits);
}

CoverPicture DecodeCover(std::FILE* file, QSize area, const CoverProgress& progress, const CoverLimits& limits) {
  CoverPicture picture;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.emit_message = IgnoreMessage;
  DecodeBudget budget{};
  QImage image;
  const bool decoded = Decode(file, area, limits, image, progress, errors, budget, info);
  jpeg_destroy_decompress(&info);
  if (!decoded) {
    picture.error = errors.message;
    return picture;
  }
  picture.image = std::move(image);
  return picture;
}

}  // namespace app
