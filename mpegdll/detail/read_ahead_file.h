// A regular file read ahead by a thread of its own, so that whoever decodes it need never wait on
// the medium: a read that blocks for seconds (a scratched disc) holds up that thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "mpegdll/detail/input.h"

namespace mpegdll::detail {

class ReadAheadFile final : public Input {
 public:
  // Takes over `fd`, a regular file open for reading, and starts reading it from its first byte;
  // nullptr (and `fd` closed) when no thread can be made.
  static std::unique_ptr<ReadAheadFile> Open(int fd);
  // Ends the reading thread. A read it is stuck in is abandoned: the thread ends, and closes the
  // file, once that read returns, touching nothing but what it holds itself.
  ~ReadAheadFile() override;
  ReadAheadFile(const ReadAheadFile&) = delete;
  ReadAheadFile& operator=(const ReadAheadFile&) = delete;

  // Waits for bytes not read ahead yet (unless interrupted).
  long Read(void* buffer, std::size_t size) override;
  // Only moves the position; reading from there begins when it is asked for.
  std::int64_t Seek(std::int64_t offset, int whence) override;
  std::int64_t Size() override;
  bool Seekable() const override { return true; }
  bool Rewind() override { return Seek(0, SEEK_SET) == 0; }
  // The same open file through /proc: still the same bytes after a rename or a removal.
  std::unique_ptr<Input> Twin() const override;
  bool Ready(std::size_t bytes) override;
  int ReadyFd() const override;
  std::function<void()> Interrupter() override;

  struct Shared;

 private:
  explicit ReadAheadFile(std::shared_ptr<Shared> shared);

  std::shared_ptr<Shared> shared_;
  std::thread reader_;
};

}  // namespace mpegdll::detail
