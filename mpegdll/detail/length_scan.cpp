// mpg123_scan over a view of the second reader; a stop request fails its next read.
#include "mpegdll/detail/length_scan.h"

#include <mpg123.h>
#include <pthread.h>

#include <system_error>

#include "mpegdll/detail/decoder.h"
#include "mpegdll/detail/stream_view.h"

namespace mpegdll::detail {
namespace {

class StoppableInput final : public Input {
 public:
  StoppableInput(Input& input, const std::atomic<bool>& stop) : input_(input), stop_(stop) {}
  long Read(void* buffer, std::size_t size) override { return stop_.load() ? -1 : input_.Read(buffer, size); }
  std::int64_t Seek(std::int64_t offset, int whence) override {
    return stop_.load() ? -1 : input_.Seek(offset, whence);
  }
  std::int64_t Size() override { return input_.Size(); }
  bool Seekable() const override { return input_.Seekable(); }
  bool Rewind() override { return input_.Rewind(); }

 private:
  Input& input_;
  const std::atomic<bool>& stop_;
};

}  // namespace

LengthScan::LengthScan(std::unique_ptr<Input> input, std::int64_t firstFrame)
    : input_(std::move(input)), interrupt_(input_->Interrupter()), firstFrame_(firstFrame) {
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    done_ = true;  // the length stays the estimate
  }
}

LengthScan::~LengthScan() {
  stop_ = true;
  // A read waiting on a slow medium gives up at once; the file's own reader is left to its read.
  if (interrupt_) interrupt_();
  if (thread_.joinable()) thread_.join();
}

void LengthScan::Run() {
  pthread_setname_np(pthread_self(), "mpegdll-length");
  StoppableInput input(*input_, stop_);
  StreamView view(input, firstFrame_, {});
  int error = MPG123_OK;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  if (h) {
    if (!view.failed() && SetUpHandle(h) && mpg123_open_handle(h, &view) == MPG123_OK && mpg123_scan(h) == MPG123_OK &&
        !stop_.load()) {
      const off_t samples = mpg123_length(h);
      if (samples > 0) frames_ = static_cast<std::int64_t>(samples);
    }
    mpg123_close(h);
    mpg123_delete(h);
  }
  done_ = true;
}

}  // namespace mpegdll::detail
