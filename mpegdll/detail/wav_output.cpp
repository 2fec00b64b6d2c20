// The 44-byte canonical header, rewritten with the final sizes on pause, stop and close.
#include "mpegdll/detail/wav_output.h"

#include <array>
#include <cstring>

namespace mpegdll::detail {
namespace {

constexpr std::size_t kHeaderBytes = 44;
constexpr std::size_t kFileBuffer = 256 * 1024;

void Put16(std::uint8_t* at, std::uint32_t v) {
  at[0] = static_cast<std::uint8_t>(v);
  at[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* at, std::uint32_t v) {
  Put16(at, v);
  Put16(at + 2, v >> 16);
}

}  // namespace

WavOutput::WavOutput(std::string path) : path_(std::move(path)) {}

WavOutput::~WavOutput() { Close(); }

bool WavOutput::Create() {
  file_ = std::fopen(path_.c_str(), "wb");
  if (!file_) return false;
  // A buffer of its own: given none, the C library keeps to the file system's block size.
  buffer_.resize(kFileBuffer);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  return true;
}

bool WavOutput::Open(const PcmFormat& format) {
  if (!file_ && (format_.rate != 0 || !Create())) return false;
  // The file keeps its first format; the decoder converts whatever follows into it.
  if (format_.rate == 0) {
    format_ = format;
    if (!WriteHeader()) return false;
  }
  return format == format_;
}

// Layout: "RIFF" size "WAVE", "fmt " 16 PCM(1) channels rate byte-rate block-align 16, "data" size.
bool WavOutput::WriteHeader() {
  std::array<std::uint8_t, kHeaderBytes> h{};
  const std::uint64_t limit = 0xFFFFFFFFu - (kHeaderBytes - 8);
  const auto data = static_cast<std::uint32_t>(dataBytes_ > limit ? limit : dataBytes_);
  const auto block = static_cast<std::uint32_t>(format_.FrameBytes());
  std::memcpy(h.data(), "RIFF", 4);
  Put32(&h[4], data + kHeaderBytes - 8);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  Put32(&h[16], 16);
  Put16(&h[20], 1);
  Put16(&h[22], static_cast<std::uint32_t>(format_.channels));
  Put32(&h[24], static_cast<std::uint32_t>(format_.rate));
  Put32(&h[28], static_cast<std::uint32_t>(format_.rate) * block);
  Put16(&h[32], block);
  Put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], data);
  const long end = static_cast<long>(kHeaderBytes + dataBytes_);
  const bool ok = std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h.data(), 1, h.size(), file_) == h.size() &&
                  std::fseek(file_, end, SEEK_SET) == 0;
  if (!ok) failed_ = true;
  return ok;
}

long WavOutput::Write(const std::int16_t* samples, long frames) {
  if (!file_ || failed_ || format_.rate == 0) return -1;
  const std::size_t bytes = static_cast<std::size_t>(frames) * static_cast<std::size_t>(format_.FrameBytes());
  // Samples are little-endian in the file, as they are in memory here.
  if (std::fwrite(samples, 1, bytes, file_) != bytes) {
    failed_ = true;
    return -1;
  }
  dataBytes_ += bytes;
  return frames;
}

void WavOutput::Wait(int /*wakeFd*/, int /*timeoutMs*/) {}

// A file that cannot be brought up to date now fails the next write.
void WavOutput::Pause() {
  if (file_ && format_.rate != 0 && (!WriteHeader() || std::fflush(file_) != 0)) failed_ = true;
}

// The header's final sizes and the buffered samples reach the file here: either may fail (a full
// disc), and so may the close itself.
bool WavOutput::Close() {
  if (!file_) return !failed_;
  bool ok = format_.rate == 0 || WriteHeader();
  ok = std::fclose(file_) == 0 && ok && !failed_;
  file_ = nullptr;
  failed_ = !ok;
  return ok;
}

}  // namespace mpegdll::detail
