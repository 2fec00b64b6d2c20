// The mapping between an element's own range and the channel words of the volume functions.
//
// Both directions go through the program's volume steps 0..255: an element value k of the
// range 0..steps reads as the step round(k * 255 / steps), whose word is step * 0x101 (so the
// ends are 0 and 0xFFFF); a word sets the element to round(step * steps / 255), step being
// its high byte (the volume component writes step << 8).
//
// Why the volume cannot creep when it is read and set again at every tick: a range of at most
// 255 steps has every value fixed (step of k, then back, is k again: the rounding error
// k * 255 / steps moves by at most 0.5 * steps / 255 < 0.5 on the way back); a wider range
// has every value that a set can reach fixed (the same argument from the step's side). So
// whatever state the element is in, one tick brings it to a value that the following ticks
// read and set unchanged.
#pragma once

#include <cstdint>

namespace platform {

// The volume step 0..255 of the element value `value` (0..steps, steps > 0).
std::uint8_t StepOfElement(long value, long steps);
// The element value (0..steps) that the step 0..255 sets.
long ElementOfStep(std::uint8_t step, long steps);
// The channel word that reads the step: 0 -> 0, 255 -> 0xFFFF.
constexpr std::uint16_t WordOfStep(std::uint8_t step) { return static_cast<std::uint16_t>(step * 0x101); }
// The step that a channel word sets: its high byte.
constexpr std::uint8_t StepOfWord(std::uint16_t word) { return static_cast<std::uint8_t>(word >> 8); }

}  // namespace platform
