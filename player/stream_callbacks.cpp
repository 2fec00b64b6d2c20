// TMPEGPlayer's stream callbacks: the decoder calls them with the component as user pointer; each
// forwards to its event, or writes the default result when the event is not assigned or throws.
#include "player/detail/stream_callbacks.h"

#include "player/mpeg_player.h"

namespace player::detail {

namespace {

TMPEGPlayer& Component(void* user) { return *static_cast<TMPEGPlayer*>(user); }

// Runs the owner's event; false when it threw. Nothing may leave through the decoder's frames.
template <typename Event>
bool Forwarded(Event&& event) noexcept {
  try {
    event();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

void StreamCallbacks::Open(void* user, MpegBool* nonseekable, void** context) {
  TMPEGPlayer& self = Component(user);
  self.streamEventsRefused_ = false;
  if (!self.OnOpenStream) {
    *context = nullptr;
    return;
  }
  bool flag = *nonseekable != 0;
  void* made = *context;
  if (Forwarded([&] { self.OnOpenStream(flag, made); })) {
    *nonseekable = flag ? 1 : 0;
    *context = made;
    return;
  }
  self.streamEventsRefused_ = true;
  *nonseekable = 1;
  *context = nullptr;
}

void StreamCallbacks::Close(void* user, void* context) {
  TMPEGPlayer& self = Component(user);
  if (self.OnCloseStream && !self.streamEventsRefused_) Forwarded([&] { self.OnCloseStream(context); });
}

void StreamCallbacks::Restart(void* user, void* context, MpegBool* res) {
  TMPEGPlayer& self = Component(user);
  bool ok = false;
  if (self.OnRestartStream && !self.streamEventsRefused_) {
    ok = *res != 0;
    if (!Forwarded([&] { self.OnRestartStream(context, ok); })) ok = false;
  }
  *res = ok ? 1 : 0;
}

void StreamCallbacks::Read(void* user, void* context, void* buffer, std::int32_t bytesToRead, std::int32_t* bytesRead,
                           MpegBool* res) {
  TMPEGPlayer& self = Component(user);
  bool ok = false;
  if (self.OnReadStream && !self.streamEventsRefused_) {
    ok = *res != 0;
    std::int32_t count = *bytesRead;
    if (Forwarded([&] { self.OnReadStream(context, buffer, bytesToRead, count, ok); })) {
      *bytesRead = count;
    } else {
      ok = false;
    }
  }
  *res = ok ? 1 : 0;
}

void StreamCallbacks::Seek(void* user, void* context, std::int32_t numbytes, std::int32_t moveMethod,
                           std::int32_t* res) {
  TMPEGPlayer& self = Component(user);
  std::int32_t result = *res;
  if (!self.OnSeekStream || self.streamEventsRefused_ ||
      !Forwarded([&] { self.OnSeekStream(context, numbytes, moveMethod, result); })) {
    result = -1;
  }
  *res = result;
}

void StreamCallbacks::GetSize(void* user, void* context, std::int32_t* res) {
  TMPEGPlayer& self = Component(user);
  std::int32_t result = *res;
  if (!self.OnGetStreamSize || self.streamEventsRefused_ ||
      !Forwarded([&] { self.OnGetStreamSize(context, result); })) {
    result = -1;
  }
  *res = result;
}

}  // namespace player::detail
