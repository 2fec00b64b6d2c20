// Opening a song file once and reading its size, time stamp, attributes and volume from that one open.
#include "zodizidu/analysis/detail/song_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <mutex>

#include "platform/file_facts.h"
#include "platform/interrupted.h"
#include "platform/paths.h"
#include "platform/volume_label.h"

namespace zodizidu::detail {

namespace {

// Without O_NONBLOCK the open of a FIFO would wait for a writer; reads of a regular file are
// not affected by it.
int OpenReadOnly(const std::string& path) {
  return platform::RetryInterrupted([&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
}

}  // namespace

SongFile::SongFile(const std::string& path) : resolved_(path) {
  // The name as written is tried first: it is what nearly always exists, and it saves looking
  // at every component of the path.
  fd_ = OpenReadOnly(resolved_);
  error_ = fd_ < 0 ? errno : 0;
  if (error_ == ENOENT || error_ == ENOTDIR) {
    resolved_ = platform::ResolvePath(path);
    if (resolved_ != path) {
      fd_ = OpenReadOnly(resolved_);
      error_ = fd_ < 0 ? errno : 0;
    }
  }
  if (fd_ < 0) {
    // Only a name that leads nowhere is missing; anything else (no permission, no handles left)
    // is an error of an existing file, unless the file system says there is no such file at all.
    const bool missing = error_ == ENOENT || error_ == ENOTDIR || error_ == ENAMETOOLONG || error_ == ELOOP ||
                         !platform::FileExists(resolved_);
    state_ = missing ? State::kMissing : State::kError;
    return;
  }
  if (::fstat(fd_, &info_) != 0) {
    error_ = errno;
    state_ = State::kError;
    return;
  }
  if (!S_ISREG(info_.st_mode)) {
    state_ = State::kMissing;
    return;
  }
  size_ = info_.st_size;
  state_ = State::kOpen;
}

std::int32_t SongFile::DosStamp() const { return platform::DosStampOf(info_.st_mtime); }

std::uint16_t SongFile::Attributes() const { return platform::AttributeBits(info_, resolved_, fd_); }

SongFile::~SongFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string CachedVolumeLabel(const SongFile& file) {
  using Clock = std::chrono::steady_clock;
  static std::mutex mutex;
  static bool known = false;
  static dev_t device = 0;
  static Clock::time_point when;
  static std::string label;

  const std::lock_guard lock(mutex);
  const Clock::time_point now = Clock::now();
  if (!known || device != file.info().st_dev || now - when > std::chrono::seconds(1)) {
    label = platform::VolumeLabel(file.resolvedPath());
    device = file.info().st_dev;
    when = now;
    known = true;
  }
  return label;
}

}  // namespace zodizidu::detail
