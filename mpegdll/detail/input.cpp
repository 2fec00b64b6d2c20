// File and callback inputs.
#include "mpegdll/detail/input.h"

#include <climits>
#include <cstdio>

#include "mpegdll/detail/read_ahead_file.h"
#include "platform/regular_file.h"

namespace mpegdll::detail {
namespace {

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
  return ReadAheadFile::Open(fd);
}

std::unique_ptr<Input> OpenCallbackInput(const StreamCallbacks& callbacks) {
  if (!callbacks.read) return nullptr;
  return std::make_unique<CallbackInput>(callbacks);
}

}  // namespace mpegdll::detail
