// The messages of the decoder's error codes.
#include "player/mpeg_error.h"

#include <array>

namespace player {

namespace {
// Indexed by the code "LastError" returns; each at most 50 characters.
constexpr std::array<std::string_view, 6> kErrorMessages = {
    "MPEG library not loaded",       // 0
    "Internal decoder error",        // 1
    "Incorrect mode",                // 2
    "Input stream error",            // 3
    "Input stream is non-seekable",  // 4
    "Output device failure",         // 5
};
}  // namespace

std::string ErrorMessage(std::int32_t code) {
  if (code >= 0 && static_cast<std::size_t>(code) < kErrorMessages.size()) {
    return std::string(kErrorMessages[static_cast<std::size_t>(code)]);
  }
  // A newer decoder may report codes this table does not know; name the number rather than
  // reading past the table.
  return "Unknown decoder error " + std::to_string(code);
}

}  // namespace player
