// Starting a run: the play range, the decoder back at its start, and the output it goes to (the
// device still playing the end of the stream before, when it can take this one up).
#include <algorithm>

#include "mpegdll/detail/playback.h"

namespace mpegdll::detail {
namespace {

// Decoded bytes per slice, about two frames: commands are served between slices, so a slow
// stream delays them little; a file gains nothing from more (its writes are buffered).
constexpr std::size_t kChunk = 8 * 1024;

}  // namespace

Status Playback::Start(StartRequest request) {
  if (!decoder_ || !request.output) return Status::kWrongMode;
  const Mode mode = mode_.load();
  const bool started = mode != Mode::kOpened;
  if (mode == Mode::kPlaying || mode == Mode::kPaused) tail_.Drop();
  if (ending_) KeepTail();
  StopOutput();
  output_ = std::move(request.output);
  endByte_ = request.endByte;
  // An end of the run before may have set the byte after the caller cleared it.
  if (endByte_) __atomic_store_n(endByte_, std::uint8_t{0}, __ATOMIC_SEQ_CST);
  startMs_ = std::max<std::int32_t>(0, request.startMs);
  endMs_ = std::max<std::int32_t>(0, request.endMs);

  const PcmFormat first = decoder_->facts().format;
  const bool keepFirst = output_->KeepsFirstFormat();
  decoder_->ForceFormat(keepFirst ? &first : nullptr);
  if (!atStart_ && !decoder_->Rewind()) {
    StopOutput();
    if (started) mode_ = Mode::kStopped;
    return decoder_->facts().seekable ? Status::kInputError : Status::kNotSeekable;
  }
  atStart_ = false;
  decodeFormat_ = decoder_->CurrentFormat();
  format_ = keepFirst ? first : decodeFormat_;

  std::int64_t frame = 0;
  if (startMs_ > 0 && decoder_->facts().seekable) frame = FrameAt(startMs_);
  RestartCounters(frame);
  if (endMs_ > 0 && endMs_ <= startMs_) decoderDone_ = true;
  if (frame > 0 && !decoderDone_ && !decoder_->SeekFrame(frame)) decoderDone_ = true;
  // A forward-only stream reaches its start position by decoding.
  if (startMs_ > 0 && !decoder_->facts().seekable) skipUntil_ = FrameAt(startMs_);

  pcm_.resize(kChunk);
  JoinTail();
  // Opened here, so that a device or file that cannot be had is the answer to this very call. A
  // device that cannot be opened a second time while the tail plays is opened after it.
  if (!outputOpen_) outputOpen_ = output_->Open(format_);
  if (!outputOpen_ && behindTail_) {
    tail_.PlayOut();
    behindTail_ = false;
    outputOpen_ = output_->Open(format_);
  }
  if (!outputOpen_) {
    StopOutput();
    mode_ = started ? Mode::kStopped : Mode::kOpened;
    return Status::kOutputError;
  }
  mode_ = Mode::kPlaying;
  Publish();
  return Status::kOk;
}

void Playback::JoinTail() {
  if (!output_->Lingers() || !tail_.Playing()) return;
  if (tail_.format() == format_) {
    output_ = tail_.Take();
    output_->Continue();
    outputOpen_ = true;
  } else {
    behindTail_ = true;
  }
}

}  // namespace mpegdll::detail
