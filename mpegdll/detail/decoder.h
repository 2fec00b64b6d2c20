// One opened MPEG audio stream decoded by libmpg123 (gapless, sample-exact seeking).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <sys/types.h>

#include "mpegdll/detail/input.h"
#include "mpegdll/detail/pcm_format.h"
#include "mpegdll/detail/status.h"

struct mpg123_handle_struct;

namespace mpegdll::detail {

class StreamView;

// What is known of a stream once it is open.
struct StreamFacts {
  PcmFormat format;               // of the first frame
  std::int64_t lengthMs = 0;      // play time, 0 when unknown
  std::int64_t lengthFrames = 0;  // in the first format, 0 when unknown
  // The length comes from the stream's Xing/Info frame count (otherwise it is an estimate from a
  // VBRI count, or from the size and the first frame's bit rate).
  bool lengthExact = false;
  int bitRateKbps = 0;  // of the first frame
  int layer = 0;
  bool seekable = false;
};

// Gives a new libmpg123 handle the settings every decoding here uses: gapless, quiet, exact
// seeking, a limit on the junk passed over, and the reader functions of StreamView. False when
// libmpg123 refuses them.
bool SetUpHandle(mpg123_handle_struct* handle);

class Decoder {
 public:
  // Input a Read of one slice may need: several of the largest frames of any layer and rate.
  static constexpr std::size_t kReadyBytes = 16 * 1024;

  enum class Result { kData, kNewFormat, kDone, kDecodeError, kInputError };

  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Finds the first frame of `input` and opens libmpg123 on it. The length comes from a frame
  // count in the first frame, or is estimated from the size (never by reading the whole stream).
  // Sets `status` to kInputError for input holding no playable frames, kDecoderError when
  // libmpg123 cannot be set up.
  static std::unique_ptr<Decoder> Open(std::unique_ptr<Input> input, Status* status);

  const StreamFacts& facts() const { return facts_; }
  // A second reader of the stream's bytes, for measuring it elsewhere; nullptr for a stream of
  // callbacks. `firstFrame()` is where its first frame starts.
  std::unique_ptr<Input> Twin() const { return input_->Twin(); }
  std::int64_t firstFrame() const { return firstFrame_; }
  // The format of the samples that Read gives now.
  PcmFormat CurrentFormat() const;

  // Restricts the output to `format` (libmpg123 resamples and remixes later frames into it), or
  // with nothing allows every rate and channel count the stream has.
  void ForceFormat(const PcmFormat* format);

  // Back to the first frame; false when the input cannot go back.
  bool Rewind();
  // To the sample `frame` (in the current format); false when past the end or not seekable.
  bool SeekFrame(std::int64_t frame);

  // Decodes into `buffer`; `bytes` is what was written (whole frames of CurrentFormat()).
  Result Read(std::uint8_t* buffer, std::size_t size, std::size_t* bytes);
  // True when a Read of a few frames will not wait on the medium; otherwise InputFd() becomes
  // readable once the input has read on (a stream without one is always ready).
  bool InputReady() { return input_->Ready(kReadyBytes); }
  int InputFd() const { return input_->ReadyFd(); }

 private:
  Decoder() = default;
  bool Attach();
  void Detach();
  void ReadHead(const std::vector<std::uint8_t>& readAhead);
  void MeasureLength();
  std::int64_t TrailingTagBytes();

  std::unique_ptr<Input> input_;
  std::int64_t firstFrame_ = -1;    // offset of the first frame once found
  std::vector<std::uint8_t> head_;  // the first bytes of the first frame
  // The frame offsets libmpg123 has learnt so far, given again to every fresh start: seeking
  // after a restart then needs no reading of the frames before the furthest point known.
  std::vector<off_t> index_;
  off_t indexStep_ = 0;
  std::unique_ptr<StreamView> view_;
  mpg123_handle_struct* handle_ = nullptr;
  StreamFacts facts_;
};

}  // namespace mpegdll::detail
