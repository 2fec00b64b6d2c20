// File and callback inputs.
#include "mpegdll/detail/input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/interrupted.h"
#include "platform/regular_file.h"

namespace mpegdll::detail {
namespace {

// A file read through a buffer of its own: libmpg123 reads frame by frame, a few hundred bytes
// at a time, which would otherwise cost two system calls per frame.
class FileInput final : public Input {
 public:
  explicit FileInput(int fd) : fd_(fd), buffer_(kBufferSize) {}
  ~FileInput() override { ::close(fd_); }
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;

  long Read(void* buffer, std::size_t size) override {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      if (pos_ == fill_) {
        bufferStart_ += static_cast<std::int64_t>(fill_);
        pos_ = fill_ = 0;
        if (size - done >= kBufferSize) return Done(done, ReadFile(out + done, size - done));
        const long got = ReadFile(buffer_.data(), kBufferSize);
        if (got <= 0) return Done(done, got);
        fill_ = static_cast<std::size_t>(got);
      }
      const std::size_t n = std::min(size - done, fill_ - pos_);
      std::memcpy(out + done, buffer_.data() + pos_, n);
      pos_ += n;
      done += n;
    }
    return static_cast<long>(done);
  }
  std::int64_t Seek(std::int64_t offset, int whence) override {
    std::int64_t target = offset;
    if (whence == SEEK_CUR) target += bufferStart_ + static_cast<std::int64_t>(pos_);
    if (whence == SEEK_END) target += Size();
    if (target < 0) return -1;
    // Within the buffer: no system call.
    if (target >= bufferStart_ && target <= bufferStart_ + static_cast<std::int64_t>(fill_)) {
      pos_ = static_cast<std::size_t>(target - bufferStart_);
      return target;
    }
    const off_t now = ::lseek(fd_, static_cast<off_t>(target), SEEK_SET);
    if (now < 0) return -1;
    bufferStart_ = now;
    pos_ = fill_ = 0;
    return now;
  }
  std::int64_t Size() override {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
  }
  bool Seekable() const override { return true; }
  bool Rewind() override { return Seek(0, SEEK_SET) == 0; }
  // The same open file through /proc: still the same bytes after a rename or a removal.
  std::unique_ptr<Input> Twin() const override { return OpenFileInput("/proc/self/fd/" + std::to_string(fd_)); }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // Reads straight from the file, past the buffer (which is empty then).
  long ReadFile(void* buffer, std::size_t size) {
    const ssize_t got = platform::RetryInterrupted([&] { return ::read(fd_, buffer, size); });
    if (got < 0) return -1;
    if (buffer != buffer_.data()) bufferStart_ += got;
    return static_cast<long>(got);
  }
  static long Done(std::size_t done, long last) {
    if (last < 0) return done > 0 ? static_cast<long>(done) : -1;
    return static_cast<long>(done) + last;
  }

  int fd_;
  std::vector<std::uint8_t> buffer_;
  std::int64_t bufferStart_ = 0;  // file offset of buffer_[0]
  std::size_t pos_ = 0;           // next byte of the buffer to hand out
  std::size_t fill_ = 0;          // bytes in the buffer
};

class CallbackInput final : public Input {
 public:
  explicit CallbackInput(const StreamCallbacks& cb) : cb_(cb) {
    MpegBool nonseekable = 0;
    if (cb_.open) cb_.open(cb_.user, &nonseekable, &context_);
    seekable_ = nonseekable == 0 && cb_.seek != nullptr;
    // A stream may say it is seekable and still refuse every seek (a seek callback left at its
    // default): going to the first byte, where it stands now, tells.
    if (seekable_ && Seek(0, SEEK_SET) != 0) seekable_ = false;
  }
  ~CallbackInput() override {
    if (cb_.close) cb_.close(cb_.user, context_);
  }
  CallbackInput(const CallbackInput&) = delete;
  CallbackInput& operator=(const CallbackInput&) = delete;

  long Read(void* buffer, std::size_t size) override {
    const auto want = static_cast<std::int32_t>(size > INT32_MAX ? INT32_MAX : size);
    std::int32_t got = 0;
    MpegBool ok = 0;
    cb_.read(cb_.user, context_, buffer, want, &got, &ok);
    if (!ok || got < 0 || got > want) return -1;
    return got;
  }
  std::int64_t Seek(std::int64_t offset, int whence) override {
    if (!seekable_ || offset < INT32_MIN || offset > INT32_MAX) return -1;
    // Move methods of the callback: 0 from the first byte, 1 from the current position, 2 from the end.
    const std::int32_t method = whence == SEEK_SET ? 0 : (whence == SEEK_CUR ? 1 : 2);
    std::int32_t result = -1;
    cb_.seek(cb_.user, context_, static_cast<std::int32_t>(offset), method, &result);
    return result < 0 ? -1 : result;
  }
  std::int64_t Size() override {
    std::int32_t result = -1;
    if (cb_.size) cb_.size(cb_.user, context_, &result);
    return result < 0 ? -1 : result;
  }
  bool Seekable() const override { return seekable_; }
  bool Rewind() override {
    if (seekable_) return Seek(0, SEEK_SET) == 0;
    MpegBool ok = 0;
    if (cb_.restart) cb_.restart(cb_.user, context_, &ok);
    return ok != 0;
  }

 private:
  StreamCallbacks cb_;
  void* context_ = nullptr;
  bool seekable_ = false;
};

}  // namespace

std::unique_ptr<Input> OpenFileInput(const std::string& path) {
  const int fd = platform::OpenRegularFile(path);
  if (fd < 0) return nullptr;
  return std::make_unique<FileInput>(fd);
}

std::unique_ptr<Input> OpenCallbackInput(const StreamCallbacks& callbacks) {
  if (!callbacks.read) return nullptr;
  return std::make_unique<CallbackInput>(callbacks);
}

}  // namespace mpegdll::detail
