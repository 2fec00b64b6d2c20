// TMPEGPlayer: opening a stream, starting, restarting, pausing and seeking it.
#include <QTimer>

#include <algorithm>
#include <array>

#include "player/detail/decoder_binding.h"
#include "player/detail/stream_callbacks.h"
#include "player/mpeg_player.h"

namespace player {

namespace {
using detail::EntryPoint;

// Sizes of the zero-terminated buffers the decoder is handed: a stream name and an output file
// name, each with its terminating zero.
constexpr std::size_t kStreamNameBuffer = 512;
constexpr std::size_t kOutFileNameBuffer = 260;

// The name in a zero-terminated buffer of `size` bytes. A name that does not fit, or that holds a
// zero byte, is refused: cut short it would name another file.
template <std::size_t size>
std::array<char, size> NameBuffer(const std::string& name, const char* what) {
  if (name.size() >= size || name.find('\0') != std::string::npos) {
    throw TMPEGError(
        std::string(what) + " too long or malformed (at most " + std::to_string(size - 1) + " bytes): " + name,
        kErrorNameTooLong);
  }
  std::array<char, size> buffer{};
  std::copy(name.begin(), name.end(), buffer.begin());
  return buffer;
}
}  // namespace

void TMPEGPlayer::Open() {
  RequireLibrary();
  if (streamOpen_) Close();
  streamOpen_ = false;
  if (fromStream_) {
    using detail::StreamCallbacks;
    decoder_->Get<MpegDll_Open_t>(EntryPoint::Open)(nullptr, 1, &StreamCallbacks::Open, &StreamCallbacks::Close,
                                                    &StreamCallbacks::Restart, &StreamCallbacks::Read,
                                                    &StreamCallbacks::Seek, &StreamCallbacks::GetSize, this);
  } else {
    if (streamName_.empty()) throw TMPEGError("Can't play non-specified stream", kErrorNotSpecified);
    const auto name = NameBuffer<kStreamNameBuffer>(streamName_, "Stream name");
    decoder_->Get<MpegDll_Open_t>(EntryPoint::Open)(name.data(), 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                    nullptr, nullptr);
  }
  lastErrorCode_ = LastError();
  if (lastErrorCode_ > 0) RaiseLastError();
  streamOpen_ = true;
  streamFromEvents_ = fromStream_;
  playedXTimes_ = 1;
  streamLength_ = GetLength();
  if (autoPlay_) Play();
}

void TMPEGPlayer::Play() {
  RequireLibrary();
  if (paused_) {
    Pause(false);
    return;
  }
  if (playing_) return;
  if (!streamOpen_) Open();
  if (!streamOpen_) return;
  if (playedXTimes_ > 1) {
    Restart();
    return;
  }
  decoder_->Get<MpegDll_SetPriority_t>(EntryPoint::SetPriority)(priorityValue_);
  Check();
  {
    const auto outFile = NameBuffer<kOutFileNameBuffer>(outFilename_, "Output file name");
    decoder_->Get<MpegDll_SetOutputDevice_t>(EntryPoint::SetOutputDevice)(outputDeviceCode_, outFile.data());
  }
  Check();
  // A byte left set by an earlier stream (when nobody took its end) must not end this one at once.
  ClearEndReached();
  const std::int32_t result = decoder_->Get<MpegDll_Play_t>(EntryPoint::Play)(startPos_, endPos_, endReached_);
  lastErrorCode_ = LastError();
  if (lastErrorCode_ > 0 || result != 0) {
    if (lastErrorCode_ < 0) lastErrorCode_ = 0;
    RaiseLastError();
  }
  playing_ = true;
  ++playedXTimes_;
  StartPositionTimer();
}

void TMPEGPlayer::Restart() {
  RequireLibrary();
  if (!streamOpen_) throw TMPEGError(ErrorMessage(kErrorIncorrectMode), kErrorIncorrectMode);
  ClearEndReached();
  decoder_->Get<MpegDll_Restart_t>(EntryPoint::Restart)();
  Check();
  playing_ = true;
  ++playedXTimes_;
  StartPositionTimer();
}

void TMPEGPlayer::Pause(bool pause) {
  RequireLibrary();
  if (!playing_ || EndReached()) {
    paused_ = false;
    if (pause) throw TMPEGError(ErrorMessage(kErrorIncorrectMode), kErrorIncorrectMode);
    return;
  }
  decoder_->Get<MpegDll_Pause_t>(EntryPoint::Pause)(pause ? 0 : 1);
  Check();
  paused_ = pause;
  // Nothing moves while paused; on resuming, the position is looked at again at once.
  if (!positionTimer_) return;
  if (pause) {
    positionTimer_->stop();
    endWatch_->stop();
  } else {
    LookSoon();
  }
}

void TMPEGPlayer::Seek(std::int32_t milliseconds) {
  RequireLibrary();
  decoder_->Get<MpegDll_Seek_t>(EntryPoint::Seek)(milliseconds);
  Check();
  // The whole seconds of the new position fall elsewhere, and it may lie out of the last stretch
  // the end watch covers: the next look is at once, and it watches the end again if needed.
  if (!endWatch_) return;
  endWatch_->stop();
  if (playing_) LookSoon();
}

// Polling starts with the stream, and the start position is reported at once.
void TMPEGPlayer::StartPositionTimer() {
  positionFaultReported_ = false;
  faultSeen_ = false;
  nextSecondAt_ = -1;
  lastMovedAt_ = std::chrono::steady_clock::now();
  if (!useTimer_ || !positionTimer_ || pollPeriod_ == 0) return;
  positionTimer_->start(pollPeriod_);
  TimerTick();
}

}  // namespace player
