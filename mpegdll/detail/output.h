// Where decoded sound goes: the sound device or a WAV file, driven by the decode thread only.
#pragma once

#include <cstdint>

#include "mpegdll/detail/pcm_format.h"

namespace mpegdll::detail {

// What the output holds at a look.
struct Backlog {
  long unheard = 0;  // frames taken but not heard yet
  long playing = 0;  // of them, the frames the device is playing on its own (none while it is still)
};

class Output {
 public:
  virtual ~Output() = default;

  // Readies the output for `format` (opens the device, creates the file); a second call follows a
  // format change of the stream, after Drained(). False when the output cannot take it.
  virtual bool Open(const PcmFormat& format) = 0;
  // Hands over up to `frames` frames without waiting: the count taken (0 when full), -1 when the
  // output has failed for good.
  virtual long Write(const std::int16_t* samples, long frames) = 0;
  // Frames taken but not heard yet.
  virtual long Delay() = 0;
  // Delay() and how much of it plays on as time goes; an output that never plays on its own
  // (a file) has nothing playing.
  virtual Backlog Look() { return {Delay(), 0}; }
  // Waits at most `timeoutMs` for room, returning early when `wakeFd` becomes readable.
  virtual void Wait(int wakeFd, int timeoutMs) = 0;
  // Waits at most `timeoutMs` while what was taken plays out (room or not), returning early when
  // `wakeFd` becomes readable.
  virtual void WaitPlayed(int wakeFd, int timeoutMs) = 0;
  // Stops sound at once; what was not heard yet is heard after Resume().
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Forgets what was not heard yet (a seek).
  virtual void Discard() = 0;
  // True once everything taken has been heard; starts a device that has not started yet.
  virtual bool Drained() = 0;
  // Finishes (a WAV file gets its final sizes) and lets go of the device or file at once; false
  // when what was taken could not all be stored (a write, the header or the close of a file failed).
  virtual bool Close() = 0;
  // True when the output keeps the stream's first format throughout (the decoder converts).
  virtual bool KeepsFirstFormat() const = 0;
  // True when what the output holds plays out on its own after the last write (a sound device),
  // so that a stream that follows can be written behind it without a gap.
  virtual bool Lingers() const { return false; }
  // The frames taken from now on belong to a stream that follows the one before without a gap:
  // what that one left plays out first, and a Pause() hands back only the new frames.
  virtual void Continue() {}
};

}  // namespace mpegdll::detail
