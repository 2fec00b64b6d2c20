// Decoding into the output, seeking, pausing and format changes.
#include "mpegdll/detail/playback.h"

#include <poll.h>

#include <algorithm>

namespace mpegdll::detail {
namespace {

// Longest wait for room in the output within one slice, milliseconds. The device's descriptors
// and the command queue end the wait as soon as there is something to do; a longer wait only
// saves wake-ups that find nothing to do.
constexpr int kWriteWaitMs = 250;

}  // namespace

Playback::Playback(int wakeFd) : wakeFd_(wakeFd) {}

Playback::~Playback() { Quit(); }

void Playback::Attach(std::unique_ptr<Decoder> decoder) {
  Close();
  decoder_ = std::move(decoder);
  decodedLength_ = 0;
  atStart_ = true;
  mode_ = decoder_ ? Mode::kOpened : Mode::kClosed;
}

Status Playback::Close() {
  const Mode mode = mode_.load();
  if (mode == Mode::kPlaying || mode == Mode::kPaused) tail_.Drop();
  if (ending_) KeepTail();
  const Status result = StopOutput() ? Status::kOk : Status::kOutputError;
  decoder_.reset();
  endByte_ = nullptr;
  mode_ = Mode::kClosed;
  heard_.Publish({.restart = true});
  decodedLength_ = 0;
  fault_ = Status::kOk;
  return result;
}

void Playback::Quit() {
  tail_.Drop();
  ending_ = false;
  Close();
}

bool Playback::StopOutput() {
  const bool stored = !output_ || output_->Close();
  output_.reset();
  outputOpen_ = false;
  ending_ = false;
  behindTail_ = false;
  pcmPos_ = pcmLen_ = 0;
  return stored;
}

// Rounded up, so that the position of the frame reads back as `ms`.
std::int64_t Playback::FrameAt(std::int64_t ms) const {
  return (std::max<std::int64_t>(0, ms - decodedBaseMs_) * decodeFormat_.rate + 999) / 1000;
}

void Playback::RestartCounters(std::int64_t frame) {
  decodedBaseMs_ = 0;
  decodedFrame_ = frame;
  skipUntil_ = 0;
  endFrame_ = endMs_ > 0 ? FrameAt(endMs_) : -1;
  segmentBaseMs_ = 0;
  segmentOrigin_ = frame;
  handed_ = 0;
  newSegment_ = true;
  pcmPos_ = pcmLen_ = 0;
  reformat_ = false;
  decoderDone_ = endFrame_ >= 0 && frame >= endFrame_;
}

Status Playback::Pause(bool pause) {
  const Mode mode = mode_.load();
  if (mode == Mode::kStopped || mode == Mode::kEnded) return Status::kOk;
  if (mode != Mode::kPlaying && mode != Mode::kPaused) return Status::kWrongMode;
  if (pause && mode == Mode::kPlaying) {
    tail_.Drop();
    behindTail_ = false;
    if (outputOpen_) output_->Pause();
    mode_ = Mode::kPaused;
    Publish();
  } else if (!pause && mode == Mode::kPaused) {
    if (outputOpen_) output_->Resume();
    mode_ = Mode::kPlaying;
  }
  return Status::kOk;
}

Status Playback::Stop() {
  const Mode mode = mode_.load();
  if (mode == Mode::kClosed) return Status::kWrongMode;
  if (mode == Mode::kPlaying || mode == Mode::kPaused) {
    Publish(Seen::kStopping);
    tail_.Drop();
    const bool stored = StopOutput();
    mode_ = Mode::kStopped;
    if (!stored) return Status::kOutputError;
  }
  return Status::kOk;
}

Status Playback::Seek(std::int32_t positionMs) {
  const Mode mode = mode_.load();
  if (mode == Mode::kStopped || mode == Mode::kEnded) return Status::kOk;
  if (mode != Mode::kPlaying && mode != Mode::kPaused) return Status::kWrongMode;
  if (!decoder_->facts().seekable) return Status::kNotSeekable;
  tail_.Drop();
  behindTail_ = false;
  if (outputOpen_) output_->Discard();
  decodedBaseMs_ = 0;
  const std::int64_t frame = FrameAt(std::max<std::int32_t>(0, positionMs));
  RestartCounters(frame);
  if (!decoderDone_ && !decoder_->SeekFrame(frame)) decoderDone_ = true;
  // Seeking across a format change: the sound device is opened again for the format found there.
  const PcmFormat now = decoder_->CurrentFormat();
  if (!output_->KeepsFirstFormat() && now != format_) {
    output_->Close();
    outputOpen_ = false;
    format_ = now;
  }
  decodeFormat_ = now;
  Publish();
  return Status::kOk;
}

void Playback::ResetMode() {
  const Mode mode = mode_.load();
  if (ending_) KeepTail();
  if (mode == Mode::kStopped || mode == Mode::kEnded) mode_ = Mode::kOpened;
}

void Playback::Step() {
  if (ending_) return PlayOutEnd();
  if (mode_.load() != Mode::kPlaying) {
    if (tail_.Playing()) tail_.Wait(wakeFd_, kDrainWaitMs);
    return;
  }
  // A tail of another format is heard to its end first; one beside a file just plays out.
  if (tail_.Playing() && behindTail_) return tail_.Wait(wakeFd_, kDrainWaitMs);
  behindTail_ = false;
  if (!outputOpen_) {
    if (!output_->Open(format_)) return Fail(Status::kOutputError);
    outputOpen_ = true;
  }
  if (pcmPos_ == pcmLen_ && !decoderDone_ && !reformat_) {
    if (decoder_->InputReady()) return Decode();
    // The medium is slow: wait for it here, where a command ends the wait, rather than in a read.
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {decoder_->InputFd(), POLLIN, 0}};
    ::poll(fds, 2, kWriteWaitMs);
    Publish();
    return;
  }
  if (pcmPos_ < pcmLen_) return WritePending();
  if (reformat_) {
    if (!output_->Drained()) {
      output_->WaitPlayed(wakeFd_, kDrainWaitMs);
      Publish();
      return;
    }
    // Everything of the old format has been heard: go on in the new one from here.
    segmentBaseMs_ += (segmentOrigin_ + handed_) * 1000 / format_.rate;
    segmentOrigin_ = handed_ = 0;
    newSegment_ = true;
    format_ = nextFormat_;
    reformat_ = false;
    if (!output_->Open(format_)) Fail(Status::kOutputError);
    return;
  }
  End();
}

void Playback::Decode() {
  std::size_t bytes = 0;
  const Decoder::Result result = decoder_->Read(pcm_.data(), pcm_.size(), &bytes);
  const auto frameBytes = static_cast<std::size_t>(decodeFormat_.FrameBytes());
  const auto frames = static_cast<std::int64_t>(bytes / frameBytes);
  std::int64_t first = std::max(decodedFrame_, skipUntil_);
  std::int64_t last = decodedFrame_ + frames;
  if (endFrame_ >= 0 && last >= endFrame_) {
    last = endFrame_;
    decoderDone_ = true;
  }
  first = std::min(first, last);
  pcmPos_ = static_cast<std::size_t>(first - decodedFrame_) * frameBytes;
  pcmLen_ = static_cast<std::size_t>(std::max(first, last) - decodedFrame_) * frameBytes;
  decodedFrame_ += frames;
  switch (result) {
    case Decoder::Result::kData: break;
    case Decoder::Result::kNewFormat: OnNewFormat(decoder_->CurrentFormat()); break;
    case Decoder::Result::kInputError:
      fault_ = Status::kInputError;
      decoderDone_ = true;
      break;
    case Decoder::Result::kDone:
      // The decoder counts samples exactly, seeks included: this is the stream's true length.
      decodedLength_ = decodedBaseMs_ + decodedFrame_ * 1000 / decodeFormat_.rate;
      decoderDone_ = true;
      break;
    case Decoder::Result::kDecodeError:
      // A stream that cannot be decoded further has ended for the listener.
      decoderDone_ = true;
      break;
  }
}

void Playback::OnNewFormat(const PcmFormat& format) {
  if (format == decodeFormat_) return;
  decodedBaseMs_ += decodedFrame_ * 1000 / decodeFormat_.rate;
  decodeFormat_ = format;
  decodedFrame_ = 0;
  skipUntil_ = startMs_ > 0 && !decoder_->facts().seekable ? FrameAt(startMs_) : 0;
  endFrame_ = endMs_ > 0 ? FrameAt(endMs_) : -1;
  if (format != format_) {
    reformat_ = true;
    nextFormat_ = format;
  }
}

void Playback::WritePending() {
  const auto frameBytes = static_cast<std::size_t>(format_.FrameBytes());
  const auto frames = static_cast<long>((pcmLen_ - pcmPos_) / frameBytes);
  const long taken = output_->Write(reinterpret_cast<const std::int16_t*>(pcm_.data() + pcmPos_), frames);
  if (taken < 0) return Fail(Status::kOutputError);
  if (taken == 0) {
    output_->Wait(wakeFd_, kWriteWaitMs);
  } else {
    pcmPos_ += static_cast<std::size_t>(taken) * frameBytes;
    handed_ += taken;
  }
  Publish();
}

void Playback::Publish(Seen seen) {
  if (format_.rate <= 0) return;
  Backlog backlog;
  if (outputOpen_ && seen != Seen::kAll) backlog = output_->Look();
  // What plays on is heard only while the stream plays (or its end plays out).
  const bool moving = seen == Seen::kNow && (mode_.load() == Mode::kPlaying || ending_);
  // The backlog may hold the end of the stream before, still heard: this one has not begun then.
  heard_.Publish({.baseMs = segmentBaseMs_,
                  .rate = format_.rate,
                  .least = segmentOrigin_,
                  .heard = segmentOrigin_ + handed_ - backlog.unheard,
                  .playing = moving ? backlog.playing : 0,
                  .restart = newSegment_});
  newSegment_ = false;
}

}  // namespace mpegdll::detail
