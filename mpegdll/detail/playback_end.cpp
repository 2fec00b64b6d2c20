// The end of a run: the end byte, and the last frames still heard from the sound device, kept as
// the tail that the next stream takes up without a gap.
#include <algorithm>

#include "mpegdll/detail/playback.h"

namespace mpegdll::detail {
namespace {

// The end byte is set while this much of the stream is still to be heard from the sound device:
// the caller's move to the next stream (closing this one, opening and starting the next) then
// reaches the device before its last frame has played, and the next stream's first frame
// follows that last frame at once. That move takes 5 to 20 ms here, also with both processors
// kept busy by others; the caller shows the next song this much before it is heard, which stays
// under the tenth of a second or so by which a picture may lead its sound unnoticed.
constexpr long kTailLeadMs = 100;

}  // namespace

void Playback::End() {
  if (output_->Drained()) return Finish();
  const long delay = output_->Delay();
  const long lead = output_->Lingers() ? format_.rate * kTailLeadMs / 1000 : 0;
  if (delay > lead) {
    const long untilLead = (delay - lead) * 1000 / format_.rate;
    output_->WaitPlayed(wakeFd_, static_cast<int>(std::clamp<long>(untilLead, 1, kDrainWaitMs)));
    Publish();
    return;
  }
  // The device plays the last frames on its own; the position goes on until they are heard.
  ending_ = true;
  mode_ = Mode::kEnded;
  Publish();
  if (endByte_) __atomic_store_n(endByte_, std::uint8_t{1}, __ATOMIC_SEQ_CST);
}

void Playback::PlayOutEnd() {
  if (output_->Drained()) {
    Publish(Seen::kAll);
    StopOutput();
    return;
  }
  output_->WaitPlayed(wakeFd_, kDrainWaitMs);
  Publish();
}

void Playback::Finish() {
  // Everything has been heard or stored: a device's delay may still read a few frames.
  Publish(Seen::kAll);
  if (!StopOutput()) return Fail(Status::kOutputError);
  mode_ = Mode::kEnded;
  if (endByte_) __atomic_store_n(endByte_, std::uint8_t{1}, __ATOMIC_SEQ_CST);
}

// The fault before the mode: whoever sees the stream stopped by it is told why by the same call.
void Playback::Fail(Status status) {
  Publish(Seen::kStopping);
  StopOutput();
  fault_ = status;
  mode_ = Mode::kStopped;
}

void Playback::KeepTail() {
  ending_ = false;
  tail_.Keep(std::move(output_), format_);
  outputOpen_ = false;
  pcmPos_ = pcmLen_ = 0;
}

}  // namespace mpegdll::detail
