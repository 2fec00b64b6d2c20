// The decode thread's side of the player: one stream, its output and the mode they are in.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "mpegdll/detail/decoder.h"
#include "mpegdll/detail/heard_position.h"
#include "mpegdll/detail/output.h"
#include "mpegdll/detail/output_tail.h"
#include "mpegdll/detail/status.h"

namespace mpegdll::detail {

struct StartRequest {
  std::int32_t startMs = 0;         // first position played, milliseconds
  std::int32_t endMs = 0;           // position where playing ends, milliseconds; 0 = the end of the stream
  std::uint8_t* endByte = nullptr;  // set non-zero once the range has been heard
  std::unique_ptr<Output> output;
};

class Playback {
 public:
  // `wakeFd` becomes readable when a command waits; waits for the output end early then.
  explicit Playback(int wakeFd);
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Commands, on the decode thread; each gives the status of its call. Stop, Pause, Seek and
  // Close of a started stream silence the sound device at once. A stream that has ended leaves the
  // device playing what it still holds: a stream started next in the same format is written
  // behind it without a gap; one in another format is heard after it.
  void Attach(std::unique_ptr<Decoder> decoder);
  Status Start(StartRequest request);
  Status Pause(bool pause);
  Status Stop();
  Status Seek(std::int32_t positionMs);
  void ResetMode();
  Status Close();
  // Closes the stream and silences everything.
  void Quit();

  // True while there is decoding or output to do without a command.
  bool Active() const { return mode_.load() == Mode::kPlaying || ending_ || tail_.Holds(); }
  // One slice of work: decodes and writes, or waits at most a few milliseconds for the output.
  void Step();

  // Read from any thread (the position from one at a time).
  Mode mode() const { return mode_.load(); }
  std::int32_t positionMs() { return heard_.Ms(); }
  // The fault met while playing (once), kOk when there was none.
  Status TakeFault() { return fault_.exchange(Status::kOk); }
  // The play time found by decoding to the end of the stream, milliseconds; 0 until then.
  std::int64_t decodedLengthMs() const { return decodedLength_.load(); }

 private:
  void Decode();
  void WritePending();
  void OnNewFormat(const PcmFormat& format);
  void RestartCounters(std::int64_t frame);
  // How the output is looked at: as it is now; as it is, but about to fall silent (a stop, a
  // fault); or with everything it took heard (played out, stored).
  enum class Seen { kNow, kStopping, kAll };
  void Publish(Seen seen = Seen::kNow);
  // Everything has been written: the end byte once no more than the lead is left to be heard.
  void End();
  void PlayOutEnd();
  void Finish();
  void Fail(Status status);
  // Lets go of the output (a sound device falls silent at once); false when a file it completes
  // could not be written.
  bool StopOutput();
  // The output of a stream that has ended becomes the tail the next stream may take up.
  void KeepTail();
  // Takes up the tail when it plays this run's format on the same kind of output.
  void JoinTail();
  std::int64_t FrameAt(std::int64_t ms) const;

  // Longest wait within one slice while the output plays out, milliseconds.
  static constexpr int kDrainWaitMs = 50;

  int wakeFd_;
  std::unique_ptr<Decoder> decoder_;
  std::unique_ptr<Output> output_;
  bool outputOpen_ = false;
  bool ending_ = false;      // ended, while the output plays out the stream's last frames
  OutputTail tail_;          // the end of a stream before this run, still heard
  bool behindTail_ = false;  // nothing is written before the tail (of another format) was heard
  bool atStart_ = false;     // the decoder has not moved since the stream was opened
  bool decoderDone_ = false;
  bool reformat_ = false;  // the output plays out before it is opened again for `nextFormat_`
  PcmFormat format_;       // of the output
  PcmFormat nextFormat_;
  PcmFormat decodeFormat_;  // of what the decoder gives now
  std::uint8_t* endByte_ = nullptr;
  std::int32_t startMs_ = 0;
  std::int32_t endMs_ = 0;

  // Decoding side: frames of the current decoder format counted from `decodedBaseMs_`.
  std::int64_t decodedBaseMs_ = 0;
  std::int64_t decodedFrame_ = 0;
  std::int64_t skipUntil_ = 0;  // frames before this are not played (a forward-only stream)
  std::int64_t endFrame_ = -1;

  // Heard side: the output's frames counted from `segmentOrigin_`, in its format.
  std::int64_t segmentBaseMs_ = 0;
  std::int64_t segmentOrigin_ = 0;
  std::int64_t handed_ = 0;
  bool newSegment_ = false;  // the next look starts a new stretch of the heard position

  std::vector<std::uint8_t> pcm_;
  std::size_t pcmPos_ = 0;
  std::size_t pcmLen_ = 0;

  std::atomic<Mode> mode_{Mode::kClosed};
  HeardPosition heard_;
  std::atomic<Status> fault_{Status::kOk};
  std::atomic<std::int64_t> decodedLength_{0};
};

}  // namespace mpegdll::detail
