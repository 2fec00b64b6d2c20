// TMPEGPlayer's stream callbacks: the decoder calls them with the component as user pointer; each
// forwards to its event, or writes the default result when the event is not assigned.
#include "player/detail/stream_callbacks.h"

#include "player/mpeg_player.h"

namespace player::detail {

namespace {
TMPEGPlayer& Component(void* user) { return *static_cast<TMPEGPlayer*>(user); }
}  // namespace

void OpenStreamCallback(void* user, MpegBool* nonseekable, void** context) {
  TMPEGPlayer& self = Component(user);
  if (!self.OnOpenStream) {
    *context = nullptr;
    return;
  }
  bool flag = *nonseekable != 0;
  self.OnOpenStream(flag, *context);
  *nonseekable = flag ? 1 : 0;
}

void CloseStreamCallback(void* user, void* context) {
  TMPEGPlayer& self = Component(user);
  if (self.OnCloseStream) self.OnCloseStream(context);
}

void RestartStreamCallback(void* user, void* context, MpegBool* res) {
  TMPEGPlayer& self = Component(user);
  bool ok = false;
  if (self.OnRestartStream) {
    ok = *res != 0;
    self.OnRestartStream(context, ok);
  }
  *res = ok ? 1 : 0;
}

void ReadStreamCallback(void* user, void* context, void* buffer, std::int32_t bytesToRead, std::int32_t* bytesRead,
                        MpegBool* res) {
  TMPEGPlayer& self = Component(user);
  bool ok = false;
  if (self.OnReadStream) {
    ok = *res != 0;
    self.OnReadStream(context, buffer, bytesToRead, *bytesRead, ok);
  }
  *res = ok ? 1 : 0;
}

void SeekStreamCallback(void* user, void* context, std::int32_t numbytes, std::int32_t moveMethod, std::int32_t* res) {
  TMPEGPlayer& self = Component(user);
  if (!self.OnSeekStream) {
    *res = -1;
    return;
  }
  self.OnSeekStream(context, numbytes, moveMethod, *res);
}

void GetStreamSizeCallback(void* user, void* context, std::int32_t* res) {
  TMPEGPlayer& self = Component(user);
  if (!self.OnGetStreamSize) {
    *res = -1;
    return;
  }
  self.OnGetStreamSize(context, *res);
}

}  // namespace player::detail
