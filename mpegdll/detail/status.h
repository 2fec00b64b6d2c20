// Result codes of the entry points and the player's modes, as the public header numbers them.
#pragma once

#include <cstdint>

#include "mpegdll/mpegdll.h"

namespace mpegdll::detail {

enum class Status : std::int32_t {
  kOk = MPEG_ERROR_NONE,
  kDecoderError = MPEG_ERROR_DECODER,
  kWrongMode = MPEG_ERROR_MODE,
  kInputError = MPEG_ERROR_INPUT,
  kNotSeekable = MPEG_ERROR_NONSEEKABLE,
  kOutputError = MPEG_ERROR_OUTPUT,
};

enum class Mode : std::int32_t {
  kClosed = MPEG_MODE_CLOSED,
  kOpened = MPEG_MODE_OPENED,
  kStopped = MPEG_MODE_STOPPED,
  kPlaying = MPEG_MODE_PLAYING,
  kPaused = MPEG_MODE_PAUSED,
  kEnded = MPEG_MODE_ENDED,
};

}  // namespace mpegdll::detail
