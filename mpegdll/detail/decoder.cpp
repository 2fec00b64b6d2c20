// libmpg123 behind the stream view: set-up, measuring, seeking and decoding.
#include "mpegdll/detail/decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>

#include "mpegdll/detail/frame_count.h"
#include "mpegdll/detail/frame_finder.h"
#include "mpegdll/detail/stream_view.h"

namespace mpegdll::detail {
namespace {

// Junk inside a stream that libmpg123 passes over before giving up; its search goes byte by byte.
constexpr long kResyncLimit = 256 * 1024;
// Bytes of the first frame kept for its Xing/Info or VBRI header.
constexpr std::size_t kHeadBytes = 192;

int ChannelFlag(int channels) { return channels == 1 ? MPG123_MONO : MPG123_STEREO; }

}  // namespace

bool SetUpHandle(mpg123_handle* h) {
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
  mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_FUZZY, 0.0);
  mpg123_param(h, MPG123_RESYNC_LIMIT, kResyncLimit, 0.0);
  return mpg123_replace_reader_handle(h, &StreamView::ReadThunk, &StreamView::SeekThunk, nullptr) == MPG123_OK;
}

Decoder::~Decoder() {
  Detach();
  if (handle_) mpg123_delete(handle_);
}

std::unique_ptr<Decoder> Decoder::Open(std::unique_ptr<Input> input, Status* status) {
  *status = Status::kInputError;
  if (!input) return nullptr;
  std::unique_ptr<Decoder> decoder(new Decoder);
  decoder->input_ = std::move(input);
  int error = MPG123_OK;
  decoder->handle_ = mpg123_new(nullptr, &error);
  if (!decoder->handle_) {
    *status = Status::kDecoderError;
    return nullptr;
  }
  mpg123_handle* h = decoder->handle_;
  decoder->ForceFormat(nullptr);
  if (!SetUpHandle(h)) {
    *status = Status::kDecoderError;
    return nullptr;
  }
  if (!decoder->Attach()) return nullptr;

  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK || rate <= 0) return nullptr;
  StreamFacts& facts = decoder->facts_;
  facts.format = PcmFormat{rate, channels};
  mpg123_frameinfo info{};
  if (mpg123_info(h, &info) == MPG123_OK) {
    facts.bitRateKbps = info.bitrate;
    facts.layer = info.layer;
  }
  facts.seekable = decoder->input_->Seekable();
  decoder->MeasureLength();
  // Back to a fresh start, so that the first play decodes exactly as every later one.
  if (facts.seekable && !decoder->Rewind()) return nullptr;
  *status = Status::kOk;
  return decoder;
}

// A Xing/Info count is what libmpg123 itself reads, with the encoder's delay and padding: exact.
// A VBRI count gives the frames; without a count the stream's size at the first frame's bit rate
// does, as for a constant bit rate (a forward-only stream's size comes from its size callback).
void Decoder::MeasureLength() {
  const auto count = ReadFrameCount(head_.data(), head_.size());
  const auto first = head_.size() >= 4 ? ParseFrameHeader(head_.data()) : std::nullopt;
  std::int64_t frames = 0;
  if (count && count->kind == FrameCount::Kind::kXing) {
    const off_t samples = mpg123_length(handle_);
    frames = samples > 0 ? static_cast<std::int64_t>(samples) : 0;
  } else if (first && count) {
    frames = count->frames * SamplesPerFrame(*first) * facts_.format.rate / first->sampleRateHz;
  } else if (first) {
    const std::int64_t bytes = input_->Size() - firstFrame_ - TrailingTagBytes();
    if (bytes > 0) frames = bytes * 8 * facts_.format.rate / (std::int64_t{first->bitRateKbps} * 1000);
  }
  facts_.lengthExact = count && count->kind == FrameCount::Kind::kXing && frames > 0;
  facts_.lengthFrames = frames;
  facts_.lengthMs = frames * 1000 / facts_.format.rate;
}

// The bytes of the tags after the last frame: an ID3v1 tag, an APE tag before it or at the end.
// Only a seekable input can be looked at from its end.
std::int64_t Decoder::TrailingTagBytes() {
  constexpr std::int64_t kId3v1 = 128, kApeFooter = 32;
  std::uint8_t tail[kId3v1 + kApeFooter] = {};
  const std::int64_t size = input_->Size();
  if (!input_->Seekable() || size < static_cast<std::int64_t>(sizeof tail)) return 0;
  if (input_->Seek(-static_cast<long>(sizeof tail), SEEK_END) < 0 ||
      input_->Read(tail, sizeof tail) != static_cast<long>(sizeof tail)) {
    return 0;
  }
  const bool id3v1 = std::memcmp(tail + kApeFooter, "TAG", 3) == 0;
  const std::uint8_t* footer = id3v1 ? tail : tail + kId3v1;
  std::int64_t bytes = id3v1 ? kId3v1 : 0;
  if (std::memcmp(footer, "APETAGEX", 8) == 0) {
    const auto le32 = [footer](int at) {
      return static_cast<std::uint32_t>(footer[at]) | static_cast<std::uint32_t>(footer[at + 1]) << 8 |
             static_cast<std::uint32_t>(footer[at + 2]) << 16 | static_cast<std::uint32_t>(footer[at + 3]) << 24;
    };
    const std::int64_t tag = std::int64_t{le32(12)} + ((le32(20) & 0x80000000u) ? kApeFooter : 0);
    if (tag >= kApeFooter && bytes + tag <= size - firstFrame_) bytes += tag;
  }
  return bytes;
}

bool Decoder::Attach() {
  if (firstFrame_ >= 0 && input_->Seekable()) {
    view_ = std::make_unique<StreamView>(*input_, firstFrame_, std::vector<std::uint8_t>{});
  } else {
    auto first = FindFirstFrame(*input_);
    if (!first) return false;
    firstFrame_ = first->offset;
    if (head_.empty()) ReadHead(first->readAhead);
    view_ = std::make_unique<StreamView>(*input_, first->offset, std::move(first->readAhead));
  }
  if (view_->failed()) return false;
  if (mpg123_open_handle(handle_, view_.get()) != MPG123_OK) return false;
  if (!index_.empty()) mpg123_set_index(handle_, index_.data(), indexStep_, index_.size());
  return true;
}

// From the bytes the search read on, or read again from a seekable input.
void Decoder::ReadHead(const std::vector<std::uint8_t>& readAhead) {
  if (readAhead.size() >= kHeadBytes || !input_->Seekable()) {
    head_.assign(readAhead.begin(),
                 readAhead.begin() + static_cast<std::ptrdiff_t>(std::min(readAhead.size(), kHeadBytes)));
    return;
  }
  head_.resize(kHeadBytes);
  const long got = input_->Seek(firstFrame_, SEEK_SET) == firstFrame_ ? input_->Read(head_.data(), kHeadBytes) : -1;
  head_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
}

void Decoder::Detach() {
  if (handle_ && view_) {
    // Keep what libmpg123 learnt of the frame offsets when it knows more than was kept.
    off_t* offsets = nullptr;
    off_t step = 0;
    std::size_t fill = 0;
    if (mpg123_index(handle_, &offsets, &step, &fill) == MPG123_OK && offsets &&
        static_cast<std::int64_t>(fill) * step > static_cast<std::int64_t>(index_.size()) * indexStep_) {
      index_.assign(offsets, offsets + fill);
      indexStep_ = step;
    }
  }
  if (handle_) mpg123_close(handle_);
  view_.reset();
}

PcmFormat Decoder::CurrentFormat() const {
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) return facts_.format;
  return PcmFormat{rate, channels};
}

void Decoder::ForceFormat(const PcmFormat* format) {
  mpg123_format_none(handle_);
  if (format) {
    mpg123_format(handle_, format->rate, ChannelFlag(format->channels), MPG123_ENC_SIGNED_16);
    return;
  }
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i) {
    mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
}

// A fresh start rather than a seek to 0: libmpg123 then decodes exactly as on the first play.
bool Decoder::Rewind() {
  Detach();
  if (!input_->Seekable() && !input_->Rewind()) return false;
  return Attach();
}

bool Decoder::SeekFrame(std::int64_t frame) {
  if (!facts_.seekable) return false;
  if (facts_.lengthExact && frame >= facts_.lengthFrames) return false;
  return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

Decoder::Result Decoder::Read(std::uint8_t* buffer, std::size_t size, std::size_t* bytes) {
  *bytes = 0;
  const int result = mpg123_read(handle_, buffer, size, bytes);
  switch (result) {
    case MPG123_OK: return Result::kData;
    case MPG123_NEW_FORMAT: return Result::kNewFormat;
    case MPG123_DONE:
      // libmpg123 takes a read that fails at a frame header for the end of the stream.
      return view_ && view_->failed() ? Result::kInputError : Result::kDone;
    default: return view_ && view_->failed() ? Result::kInputError : Result::kDecodeError;
  }
}

}  // namespace mpegdll::detail
