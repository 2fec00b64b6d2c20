// An mpegdll::detail::Input over bytes in memory, seekable or forward-only, for tests of the parts.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "mpegdll/detail/input.h"

namespace mpegdlltest {

class MemoryInput final : public mpegdll::detail::Input {
 public:
  MemoryInput(std::string data, bool seekable) : data_(std::move(data)), seekable_(seekable) {}

  long Read(void* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    bytesRead += n;
    return static_cast<long>(n);
  }
  std::int64_t Seek(std::int64_t offset, int whence) override {
    if (!seekable_) return -1;
    const std::int64_t base = whence == SEEK_SET ? 0 : (whence == SEEK_CUR ? static_cast<std::int64_t>(pos_) : Size());
    if (base + offset < 0 || base + offset > Size()) return -1;
    pos_ = static_cast<std::size_t>(base + offset);
    return static_cast<std::int64_t>(pos_);
  }
  std::int64_t Size() override { return seekable_ ? static_cast<std::int64_t>(data_.size()) : -1; }
  bool Seekable() const override { return seekable_; }
  bool Rewind() override {
    pos_ = 0;
    return true;
  }

  std::size_t bytesRead = 0;

 private:
  std::string data_;
  bool seekable_;
  std::size_t pos_ = 0;
};

}  // namespace mpegdlltest
