// The sound device behind a stream that has ended, until it is taken over, played out or dropped.
#include "mpegdll/detail/output_tail.h"

namespace mpegdll::detail {
namespace {

// A wait while the tail plays out ends at least this often to look whether it has.
constexpr int kPlayOutStepMs = 20;

}  // namespace

void OutputTail::Keep(std::unique_ptr<Output> output, const PcmFormat& format) {
  Drop();
  output_ = std::move(output);
  format_ = format;
}

std::unique_ptr<Output> OutputTail::Take() { return std::move(output_); }

bool OutputTail::Playing() {
  if (!output_) return false;
  if (!output_->Drained()) return true;
  Drop();
  return false;
}

void OutputTail::Wait(int wakeFd, int timeoutMs) {
  if (output_) output_->WaitPlayed(wakeFd, timeoutMs);
}

void OutputTail::PlayOut() {
  while (Playing()) output_->WaitPlayed(-1, kPlayOutStepMs);
}

void OutputTail::Drop() {
  if (output_) output_->Close();
  output_.reset();
}

}  // namespace mpegdll::detail
