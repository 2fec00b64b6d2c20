// The end of a stream that has been played to its end but not yet heard: the sound device plays
// it out while the next stream is opened, and takes that stream up behind it without a gap.
#pragma once

#include <memory>

#include "mpegdll/detail/output.h"
#include "mpegdll/detail/pcm_format.h"

namespace mpegdll::detail {

class OutputTail {
 public:
  OutputTail() = default;
  ~OutputTail() { Drop(); }
  OutputTail(const OutputTail&) = delete;
  OutputTail& operator=(const OutputTail&) = delete;

  bool Holds() const { return output_ != nullptr; }
  const PcmFormat& format() const { return format_; }

  // Keeps `output`, open for `format`, while what it holds plays out (a tail kept before is
  // silenced).
  void Keep(std::unique_ptr<Output> output, const PcmFormat& format);
  // The output, for the stream that follows in the same format.
  std::unique_ptr<Output> Take();
  // True while the tail is still heard; once it has played out the device is closed.
  bool Playing();
  // Waits at most `timeoutMs` while it plays, returning early when `wakeFd` becomes readable.
  void Wait(int wakeFd, int timeoutMs);
  // Waits until it has been heard to its end (at most the little it holds) and closes the device.
  void PlayOut();
  // Silences it at once and closes the device.
  void Drop();

 private:
  std::unique_ptr<Output> output_;
  PcmFormat format_;
};

}  // namespace mpegdll::detail
