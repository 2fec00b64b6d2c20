// The six stream callbacks handed to the decoder's "Open" with the component as user pointer.
#pragma once

#include <cstdint>

#include "mpegdll/mpegdll.h"

namespace player::detail {

void OpenStreamCallback(void* user, MpegBool* nonseekable, void** context);
void CloseStreamCallback(void* user, void* context);
void RestartStreamCallback(void* user, void* context, MpegBool* res);
void ReadStreamCallback(void* user, void* context, void* buffer, std::int32_t bytesToRead, std::int32_t* bytesRead,
                        MpegBool* res);
void SeekStreamCallback(void* user, void* context, std::int32_t numbytes, std::int32_t moveMethod, std::int32_t* res);
void GetStreamSizeCallback(void* user, void* context, std::int32_t* res);

}  // namespace player::detail
