// Byte inputs of a stream: a file on disk or the six callbacks of the application.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "mpegdll/mpegdll.h"

namespace mpegdll::detail {

class Input {
 public:
  virtual ~Input() = default;
  // Reads up to `size` bytes: the count read, 0 at the end, -1 when reading failed.
  virtual long Read(void* buffer, std::size_t size) = 0;
  // Moves to `offset` from SEEK_SET, SEEK_CUR or SEEK_END: the new position, or -1.
  virtual std::int64_t Seek(std::int64_t offset, int whence) = 0;
  // Size in bytes, -1 when unknown.
  virtual std::int64_t Size() = 0;
  // False when the input can only be read forward.
  virtual bool Seekable() const = 0;
  // Back to the first byte (a seek, or the restart callback of a forward-only stream).
  virtual bool Rewind() = 0;
  // A second reader of the same bytes with a position of its own, or nullptr when there can be
  // none (a stream of callbacks).
  virtual std::unique_ptr<Input> Twin() const { return nullptr; }
  // True when `bytes` from the position can be read without waiting on the medium (or the input
  // ends before them). A stream of callbacks cannot tell and always says so.
  virtual bool Ready(std::size_t /*bytes*/) { return true; }
  // A descriptor that becomes readable once more has been read after Ready() said no; -1 when
  // there is none.
  virtual int ReadyFd() const { return -1; }
  // A function that makes every read of the input that waits on the medium, now or later, fail
  // at once; it may be called from any thread, also after the input is gone. Empty when the
  // input's reads cannot be cut short (a stream of callbacks).
  virtual std::function<void()> Interrupter() { return {}; }
};

// The regular file at `path` (used as given), read ahead on a thread of its own; nullptr when it
// cannot be opened for reading or is no regular file (a FIFO, a device, a folder): opening never
// waits for a writer.
std::unique_ptr<Input> OpenFileInput(const std::string& path);

struct StreamCallbacks {
  MpegOpenStreamCallback open = nullptr;
  MpegCloseStreamCallback close = nullptr;
  MpegRestartStreamCallback restart = nullptr;
  MpegReadStreamCallback read = nullptr;
  MpegSeekStreamCallback seek = nullptr;
  MpegGetStreamSizeCallback size = nullptr;
  void* user = nullptr;
};

// The stream of `callbacks`: calls the open callback now and the close callback when the input
// is destroyed. nullptr (and no callback called) when there is no read callback. A stream that
// says it is seekable is read forward only when its seek callback cannot go to the first byte.
std::unique_ptr<Input> OpenCallbackInput(const StreamCallbacks& callbacks);

}  // namespace mpegdll::detail
