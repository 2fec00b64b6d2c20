// TMPEGError: the playback component's exception, a message and an 8-bit error code.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace player {

// The decoder's code for a call in the wrong mode.
inline constexpr std::uint8_t kErrorIncorrectMode = 2;
// Error codes raised by the component itself, beside the decoder's codes 0..5.
inline constexpr std::uint8_t kErrorNotSpecified = 254;  // "Can't play non-specified stream"
inline constexpr std::uint8_t kErrorNameTooLong = 253;   // a name that does not fit the decoder's buffer

class TMPEGError : public std::runtime_error {
 public:
  TMPEGError(const std::string& message, std::uint8_t code) : std::runtime_error(message), errorCode_(code) {}

  // The decoder's error code (0..5), 254 for a stream that was never named, 253 for a name too
  // long to hand to the decoder.
  std::uint8_t ErrorCode() const { return errorCode_; }

 private:
  std::uint8_t errorCode_;
};

// The message of a decoder error code: the six fixed texts for 0..5, a numbered text beyond.
std::string ErrorMessage(std::int32_t code);

}  // namespace player
