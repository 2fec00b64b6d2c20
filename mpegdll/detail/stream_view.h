// What libmpg123 reads: the input from its first frame on, so that junk before it is never seen.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mpegdll/detail/input.h"

namespace mpegdll::detail {

class StreamView {
 public:
  // A view of `input` whose position 0 is the input's `base`. A seekable input is positioned
  // there now; a forward-only one is read on after `readAhead`, the bytes from `base` on that
  // were already taken from it.
  StreamView(Input& input, std::int64_t base, std::vector<std::uint8_t> readAhead);

  // The reader functions handed to libmpg123 (the handle is the view).
  static ssize_t ReadThunk(void* view, void* buffer, std::size_t size);
  static off_t SeekThunk(void* view, off_t offset, int whence);

  ssize_t Read(void* buffer, std::size_t size);
  off_t Seek(off_t offset, int whence);
  // True once a read of the input failed (as opposed to reaching its end), or the input ended
  // before the size it had when the view was made (a file cut short while it plays).
  bool failed() const { return failed_; }

 private:
  Input& input_;
  std::int64_t base_;
  std::vector<std::uint8_t> readAhead_;
  std::size_t readAheadPos_ = 0;
  bool failed_ = false;
  std::int64_t openedSize_ = -1;  // the size of a seekable input when the view was made
};

}  // namespace mpegdll::detail
