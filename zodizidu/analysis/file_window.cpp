// Buffered positional reads of one file.
#include "zodizidu/analysis/detail/file_window.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/interrupted.h"

namespace zodizidu::detail {

namespace {

// The first read covers the usual tag in front of the first frame and the frame pair after it in
// one system call; a search through junk then reads ever larger blocks, as fast as plain reads.
constexpr std::size_t kFirstBlock = 8 * 1024;
constexpr std::size_t kLargestBlock = 1024 * 1024;
constexpr std::size_t kGrowth = 4;

// A first block's buffer kept from one window to the next on this thread: an analysis then asks
// the allocator for nothing as large, which would make it tidy up after the small blocks a tag
// reader left behind.
thread_local std::unique_ptr<std::uint8_t[]> tSpareBuffer;

}  // namespace

FileWindow::FileWindow(int fd) : fd_(fd), block_(kFirstBlock) {}

FileWindow::~FileWindow() {
  if (capacity_ == kFirstBlock && !tSpareBuffer) tSpareBuffer = std::move(buffer_);
}

void FileWindow::Fill(std::int64_t pos) {
  if (capacity_ < block_) {
    buffer_ = block_ == kFirstBlock && tSpareBuffer ? std::move(tSpareBuffer)
                                                    : std::make_unique_for_overwrite<std::uint8_t[]>(block_);
    capacity_ = block_;
  }
  start_ = pos;
  size_ = 0;
  const ssize_t got =
      platform::RetryInterrupted([&] { return ::pread(fd_, buffer_.get(), block_, static_cast<off_t>(pos)); });
  // A short read of a file means its end; an error ends the data here as well.
  if (got > 0) size_ = static_cast<std::size_t>(got);
}

std::span<const std::uint8_t> FileWindow::View(std::int64_t pos) {
  if (!Holds(pos)) {
    if (pos == start_ + static_cast<std::int64_t>(size_)) block_ = std::min(block_ * kGrowth, kLargestBlock);
    Fill(pos);
    if (size_ == 0) return {};
  }
  const auto offset = static_cast<std::size_t>(pos - start_);
  return {buffer_.get() + offset, size_ - offset};
}

std::size_t FileWindow::ReadOnce(std::int64_t pos, std::span<std::uint8_t> out) {
  if (Holds(pos) && Holds(pos + static_cast<std::int64_t>(out.size()) - 1)) return Read(pos, out);
  std::size_t copied = 0;
  while (copied < out.size()) {
    const ssize_t got = platform::RetryInterrupted([&] {
      return ::pread(fd_, out.data() + copied, out.size() - copied,
                     static_cast<off_t>(pos) + static_cast<off_t>(copied));
    });
    if (got <= 0) break;
    copied += static_cast<std::size_t>(got);
  }
  return copied;
}

std::size_t FileWindow::Read(std::int64_t pos, std::span<std::uint8_t> out) {
  std::size_t copied = 0;
  while (copied < out.size()) {
    const std::int64_t at = pos + static_cast<std::int64_t>(copied);
    if (!Holds(at)) {
      Fill(at);
      if (size_ == 0) break;
    }
    const auto offset = static_cast<std::size_t>(at - start_);
    const std::size_t n = std::min(out.size() - copied, size_ - offset);
    std::memcpy(out.data() + copied, buffer_.get() + offset, n);
    copied += n;
  }
  return copied;
}

}  // namespace zodizidu::detail
