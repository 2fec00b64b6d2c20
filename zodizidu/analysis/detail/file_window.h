// A read-only window on an open file: reads blocks that grow while a search runs on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zodizidu::detail {

class FileWindow {
 public:
  // `fd` stays owned by the caller.
  explicit FileWindow(int fd);
  ~FileWindow();
  FileWindow(const FileWindow&) = delete;
  FileWindow& operator=(const FileWindow&) = delete;

  // Copies the bytes at file position `pos` into `out`; returns how many were copied, fewer at
  // the end of the file or after a read error.
  std::size_t Read(std::int64_t pos, std::span<std::uint8_t> out);

  // The same for bytes read once, far from the rest (the tags at the end of the file): they are
  // read straight into `out` unless buffered already, and the buffer keeps what it holds.
  std::size_t ReadOnce(std::int64_t pos, std::span<std::uint8_t> out);

  // The buffered bytes from file position `pos` on, reading a block there when `pos` is not
  // buffered; empty at the end of the file or after a read error. Successive calls for positions
  // further on read larger blocks, so a long search costs few system calls.
  std::span<const std::uint8_t> View(std::int64_t pos);

 private:
  bool Holds(std::int64_t pos) const { return pos >= start_ && pos - start_ < static_cast<std::int64_t>(size_); }
  void Fill(std::int64_t pos);

  int fd_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t block_;       // bytes the next read asks for
  std::int64_t start_ = 0;  // file position of buffer_[0]
  std::size_t size_ = 0;    // bytes held
};

}  // namespace zodizidu::detail
