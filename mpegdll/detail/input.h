// Byte inputs of a stream: a file on disk or the six callbacks of the application.
#pragma once

#include <cstddef>
#include <cstdint>
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
};

// The regular file at `path` (used as given), or nullptr when it cannot be opened for reading or
// is no regular file (a FIFO, a device, a folder): opening never waits for a writer.
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
