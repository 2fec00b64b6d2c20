// Offsets of the view are the input's offsets less the position of the first frame.
#include "mpegdll/detail/stream_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mpegdll::detail {

StreamView::StreamView(Input& input, std::int64_t base, std::vector<std::uint8_t> readAhead)
    : input_(input), base_(base), readAhead_(std::move(readAhead)) {
  if (input_.Seekable()) {
    openedSize_ = input_.Size();
    readAhead_.clear();
    if (input_.Seek(base_, SEEK_SET) != base_) failed_ = true;
  }
}

ssize_t StreamView::ReadThunk(void* view, void* buffer, std::size_t size) {
  return static_cast<StreamView*>(view)->Read(buffer, size);
}

off_t StreamView::SeekThunk(void* view, off_t offset, int whence) {
  return static_cast<StreamView*>(view)->Seek(offset, whence);
}

ssize_t StreamView::Read(void* buffer, std::size_t size) {
  if (failed_) return -1;
  std::size_t done = 0;
  if (readAheadPos_ < readAhead_.size()) {
    done = std::min(size, readAhead_.size() - readAheadPos_);
    std::memcpy(buffer, readAhead_.data() + readAheadPos_, done);
    readAheadPos_ += done;
    if (readAheadPos_ == readAhead_.size()) {
      readAhead_.clear();
      readAhead_.shrink_to_fit();
      readAheadPos_ = 0;
    }
    if (done == size) return static_cast<ssize_t>(done);
  }
  const long got = input_.Read(static_cast<std::uint8_t*>(buffer) + done, size - done);
  if (got < 0) {
    failed_ = true;
    return done > 0 ? static_cast<ssize_t>(done) : -1;
  }
  if (got == 0 && openedSize_ > 0) {
    const std::int64_t here = input_.Seek(0, SEEK_CUR);
    if (here >= 0 && here < openedSize_) {
      failed_ = true;  // the medium lost the rest of the file
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
  }
  return static_cast<ssize_t>(done + static_cast<std::size_t>(got));
}

off_t StreamView::Seek(off_t offset, int whence) {
  if (!input_.Seekable() || failed_) return -1;
  std::int64_t target = offset;
  if (whence == SEEK_SET) {
    target += base_;
  } else if (whence == SEEK_CUR) {
    const std::int64_t here = input_.Seek(0, SEEK_CUR);
    if (here < 0) return -1;
    target += here;
  } else if (whence == SEEK_END) {
    const std::int64_t size = input_.Size();
    if (size < 0) return -1;
    target += size;
  } else {
    return -1;
  }
  if (target < base_) return -1;
  const std::int64_t now = input_.Seek(target, SEEK_SET);
  return now < 0 ? -1 : static_cast<off_t>(now - base_);
}

}  // namespace mpegdll::detail
