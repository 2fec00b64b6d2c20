// The callbacks: the user pointer is the MemoryStream, and so is the context it hands out.
#include "tests/mpegdll/memory_stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace mpegdlltest {
namespace {

MemoryStream& Of(void* user) { return *static_cast<MemoryStream*>(user); }

void OpenCb(void* user, MpegBool* nonseekable, void** context) {
  MemoryStream& s = Of(user);
  ++s.opens;
  s.pos = 0;
  *nonseekable = s.nonseekable ? 1 : 0;
  *context = s.context;
}

void CloseCb(void* user, void* context) {
  if (context == Of(user).context) ++Of(user).closes;
}

void RestartCb(void* user, void*, MpegBool* res) {
  MemoryStream& s = Of(user);
  ++s.restarts;
  if (s.restartSucceeds) s.pos = 0;
  *res = s.restartSucceeds ? 1 : 0;
}

void ReadCb(void* user, void*, void* buffer, int32_t bytesToRead, int32_t* bytesRead, MpegBool* res) {
  MemoryStream& s = Of(user);
  if (s.paced && s.readDelayUs > 0) std::this_thread::sleep_for(std::chrono::microseconds(s.readDelayUs));
  if (s.paced) {
    if (const int stall = s.stallMs.exchange(0); stall > 0) {
      s.stalled = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(stall));
      s.stalled = false;
    }
  }
  if (s.failReads) {
    *bytesRead = 0;
    *res = 0;
    return;
  }
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytesToRead), s.data.size() - s.pos);
  std::memcpy(buffer, s.data.data() + s.pos, n);
  s.pos += n;
  s.bytesRead += n;
  *bytesRead = static_cast<int32_t>(n);
  *res = 1;
}

void SeekCb(void* user, void*, int32_t numbytes, int32_t moveMethod, int32_t* res) {
  MemoryStream& s = Of(user);
  const std::int64_t from =
      moveMethod == 0 ? 0
                      : (moveMethod == 1 ? static_cast<std::int64_t>(s.pos) : static_cast<std::int64_t>(s.data.size()));
  const std::int64_t target = from + numbytes;
  if (s.nonseekable || s.failSeeks || target < 0 || target > static_cast<std::int64_t>(s.data.size())) {
    *res = -1;
    return;
  }
  s.pos = static_cast<std::size_t>(target);
  *res = static_cast<int32_t>(target);
}

void SizeCb(void* user, void*, int32_t* res) {
  MemoryStream& s = Of(user);
  *res = s.reportsSize ? static_cast<int32_t>(s.data.size()) : -1;
}

}  // namespace

MemoryStream::~MemoryStream() {
  if (openedWith_ && openedWith_->handle) openedWith_->Close();
}

int MemoryStream::OpenWith(const MpegDll& dll) {
  openedWith_ = &dll;
  dll.Open(nullptr, 1, OpenCb, CloseCb, RestartCb, ReadCb, SeekCb, SizeCb, this);
  return dll.LastError();
}

}  // namespace mpegdlltest
