// An in-memory stream behind the six stream callbacks, counting how it is used.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "tests/mpegdll/library.h"

namespace mpegdlltest {

struct MemoryStream {
  std::string data;
  bool nonseekable = false;
  bool restartSucceeds = true;
  bool failReads = false;
  bool failSeeks = false;   // says it is seekable, yet every seek fails
  bool reportsSize = true;  // the size callback gives the size (-1 otherwise)
  // Once `paced` is set, the next read waits this long (once) and sets `stalled` while it waits.
  std::atomic<int> stallMs{0};
  std::atomic<bool> stalled{false};
  // Each read waits this long once `paced` is set: a slow source that keeps playback going.
  int readDelayUs = 0;
  std::atomic<bool> paced{false};

  std::size_t pos = 0;
  std::atomic<int> opens{0};
  std::atomic<int> closes{0};
  std::atomic<int> restarts{0};
  std::atomic<std::size_t> bytesRead{0};
  void* const context = this;

  // Opens it through `dll.Open` with all six callbacks; gives LastError.
  int OpenWith(const MpegDll& dll);

  // A stream still open in the library is closed before it goes, so that no close callback
  // reaches a stream that is gone.
  ~MemoryStream();
  MemoryStream() = default;
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

 private:
  const MpegDll* openedWith_ = nullptr;

 public:
};

}  // namespace mpegdlltest
