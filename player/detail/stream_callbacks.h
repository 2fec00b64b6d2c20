// The six stream callbacks handed to the decoder's "Open" with the component as user pointer.
#pragma once

#include <cstdint>

#include "mpegdll/mpegdll.h"

namespace player::detail {

// Each forwards to its event of the component, or writes the default result when the event is not
// assigned. An event that throws answers as a failed one: the exception never reaches the decoder,
// on whichever thread it calls. After an open event that threw, the stream has no context the
// owner made: the other events are not called for it, and reads fail, so the decoder's "Open"
// fails with an input error.
struct StreamCallbacks {
  static void Open(void* user, MpegBool* nonseekable, void** context);
  static void Close(void* user, void* context);
  static void Restart(void* user, void* context, MpegBool* res);
  static void Read(void* user, void* context, void* buffer, std::int32_t bytesToRead, std::int32_t* bytesRead,
                   MpegBool* res);
  static void Seek(void* user, void* context, std::int32_t numbytes, std::int32_t moveMethod, std::int32_t* res);
  static void GetSize(void* user, void* context, std::int32_t* res);
};

}  // namespace player::detail
