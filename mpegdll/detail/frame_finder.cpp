// Buffered frame search: memchr for sync bytes, then the chain of frames that follow.
#include "mpegdll/detail/frame_finder.h"

#include <algorithm>
#include <cstring>

#include "mpegdll/detail/frame_header.h"

namespace mpegdll::detail {
namespace {

// Reads start small, so that a stream whose first frame comes early costs little to open, and
// grow for long stretches of junk.
constexpr std::size_t kFirstChunk = 8 * 1024;
constexpr std::size_t kChunk = 256 * 1024;
// A forward-only input keeps the bytes from a bare frame pair on while a better start is sought,
// up to this much; a seekable one goes back to the pair instead.
constexpr std::int64_t kPairPatience = 16 * 1024 * 1024;
// Frames of one stream that make a start beyond doubt.
constexpr int kChainLength = 4;
// Room for an ID3v1 tag after the last frame.
constexpr std::int64_t kTailRoom = 128 + 4;

// A forward-only window over the input that keeps what may still be needed.
class ScanWindow {
 public:
  explicit ScanWindow(Input& input) : input_(input) {}

  // Makes [pos, pos + n) available, dropping bytes before `keepFrom`; false at the end of input.
  bool Ensure(std::int64_t pos, std::size_t n, std::int64_t keepFrom) {
    while (pos + static_cast<std::int64_t>(n) > end()) {
      if (eof_) return false;
      if (keepFrom > base_) {
        const auto drop = static_cast<std::size_t>(std::min<std::int64_t>(keepFrom, end()) - base_);
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(drop));
        base_ += static_cast<std::int64_t>(drop);
      }
      const std::size_t old = buffer_.size();
      buffer_.resize(old + chunk_);
      const long got = input_.Read(buffer_.data() + old, chunk_);
      chunk_ = std::min(chunk_ * 2, kChunk);
      buffer_.resize(old + static_cast<std::size_t>(got > 0 ? got : 0));
      if (got <= 0) eof_ = true;
    }
    return true;
  }
  const std::uint8_t* At(std::int64_t pos) const { return buffer_.data() + (pos - base_); }
  std::int64_t end() const { return base_ + static_cast<std::int64_t>(buffer_.size()); }
  std::vector<std::uint8_t> From(std::int64_t pos) const {
    return {buffer_.begin() + static_cast<std::ptrdiff_t>(pos - base_), buffer_.end()};
  }

 private:
  Input& input_;
  std::vector<std::uint8_t> buffer_;
  std::size_t chunk_ = kFirstChunk;
  std::int64_t base_ = 0;
  bool eof_ = false;
};

struct Chain {
  bool pair = false;    // the next header is valid
  bool strong = false;  // a run of frames of one stream, or frames to the end of the input
};

Chain Follow(ScanWindow& window, std::int64_t pos, const FrameHeader& first, std::int64_t keepFrom) {
  Chain chain;
  FrameHeader current = first;
  std::int64_t next = pos + first.length;
  for (int count = 1; count < kChainLength; ++count) {
    if (!window.Ensure(next, 4, keepFrom)) {
      // The frame ends the input (or is cut short by it): a run of frames up to the end counts.
      chain.strong = count >= 2 && next <= window.end();
      return chain;
    }
    const auto header = ParseFrameHeader(window.At(next));
    if (count == 1) chain.pair = header.has_value();
    if (!header || !header->SameStream(current)) {
      chain.strong = count >= 2 && !window.Ensure(next, kTailRoom, keepFrom);
      return chain;
    }
    current = *header;
    next += current.length;
  }
  chain.strong = true;
  return chain;
}

// The length of an ID3v2 tag at the start of `bytes`, or 0.
std::int64_t Id3v2Length(const std::uint8_t* b) {
  if (std::memcmp(b, "ID3", 3) != 0 || b[3] == 0xFF || b[4] == 0xFF) return 0;
  if ((b[6] | b[7] | b[8] | b[9]) & 0x80) return 0;
  const std::int64_t size = (std::int64_t{b[6]} << 21) | (std::int64_t{b[7]} << 14) | (std::int64_t{b[8]} << 7) | b[9];
  const bool footer = (b[5] & 0x10) != 0;
  return 10 + size + (footer ? 10 : 0);
}

}  // namespace

std::optional<FirstFrame> FindFirstFrame(Input& input) {
  ScanWindow window(input);
  std::int64_t pos = 0;
  if (window.Ensure(0, 10, 0)) {
    const std::int64_t tag = Id3v2Length(window.At(0));
    const std::int64_t size = input.Size();
    if (tag > 0 && (size < 0 || tag < size)) pos = tag;
  }
  const bool seekable = input.Seekable();
  std::int64_t pair = -1;  // the first bare frame pair, -1 while there is none
  auto keepFrom = [&] { return seekable || pair < 0 ? pos : pair; };
  while (window.Ensure(pos, 4, keepFrom())) {
    const auto avail = static_cast<std::size_t>(window.end() - pos);
    const void* sync = std::memchr(window.At(pos), 0xFF, avail - 3);
    if (!sync) {
      pos += static_cast<std::int64_t>(avail - 3);
      continue;
    }
    pos += static_cast<const std::uint8_t*>(sync) - window.At(pos);
    const auto header = ParseFrameHeader(window.At(pos));
    if (header) {
      const Chain chain = Follow(window, pos, *header, keepFrom());
      if (chain.strong) return FirstFrame{pos, window.From(pos)};
      if (chain.pair && pair < 0) pair = pos;
    }
    if (!seekable && pair >= 0 && pos - pair > kPairPatience) pair = -1;
    ++pos;
  }
  if (pair < 0) return std::nullopt;
  if (seekable) return FirstFrame{pair, {}};
  return FirstFrame{pair, window.From(pair)};
}

}  // namespace mpegdll::detail
