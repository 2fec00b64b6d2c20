// libmpg123 behind the stream view: set-up, measuring, seeking and decoding.
#include "mpegdll/detail/decoder.h"

#include <mpg123.h>

#include "mpegdll/detail/frame_finder.h"
#include "mpegdll/detail/stream_view.h"

namespace mpegdll {
namespace {

// Junk inside a stream that libmpg123 passes over before giving up; its search goes byte by byte.
constexpr long kResyncLimit = 256 * 1024;

int ChannelFlag(int channels) { return channels == 1 ? MPG123_MONO : MPG123_STEREO; }

}  // namespace

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
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
  mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_FUZZY, 0.0);
  mpg123_param(h, MPG123_RESYNC_LIMIT, kResyncLimit, 0.0);
  decoder->ForceFormat(nullptr);
  if (mpg123_replace_reader_handle(h, &StreamView::ReadThunk, &StreamView::SeekThunk, nullptr) != MPG123_OK) {
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
  // A full scan makes the length exact for files without a Xing header. Decoding after the scan's
  // seek back is not always bit-identical to a fresh start, so the stream is opened again.
  if (facts.seekable && mpg123_scan(h) == MPG123_OK) {
    off_t* offsets = nullptr;
    std::size_t fill = 0;
    if (mpg123_index(h, &offsets, &decoder->indexStep_, &fill) == MPG123_OK && offsets) {
      decoder->index_.assign(offsets, offsets + fill);
    }
  }
  const off_t samples = mpg123_length(h);
  facts.lengthFrames = samples > 0 ? static_cast<std::int64_t>(samples) : 0;
  facts.lengthMs = facts.lengthFrames * 1000 / rate;
  if (facts.seekable && !decoder->Rewind()) return nullptr;
  *status = Status::kOk;
  return decoder;
}

bool Decoder::Attach() {
  if (firstFrame_ >= 0 && input_->Seekable()) {
    view_ = std::make_unique<StreamView>(*input_, firstFrame_, std::vector<std::uint8_t>{});
  } else {
    auto first = FindFirstFrame(*input_);
    if (!first) return false;
    firstFrame_ = first->offset;
    view_ = std::make_unique<StreamView>(*input_, first->offset, std::move(first->readAhead));
  }
  if (view_->failed()) return false;
  if (mpg123_open_handle(handle_, view_.get()) != MPG123_OK) return false;
  if (!index_.empty()) mpg123_set_index(handle_, index_.data(), indexStep_, index_.size());
  return true;
}

void Decoder::Detach() {
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
  if (facts_.lengthFrames > 0 && frame >= facts_.lengthFrames) return false;
  return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

Decoder::Result Decoder::Read(std::uint8_t* buffer, std::size_t size, std::size_t* bytes) {
  *bytes = 0;
  const int result = mpg123_read(handle_, buffer, size, bytes);
  switch (result) {
    case MPG123_OK:
      return Result::kData;
    case MPG123_NEW_FORMAT:
      return Result::kNewFormat;
    case MPG123_DONE:
      return Result::kDone;
    default:
      return view_ && view_->failed() ? Result::kInputError : Result::kDecodeError;
  }
}

}  // namespace mpegdll
