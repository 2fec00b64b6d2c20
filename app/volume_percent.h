// The volume as the percentage label shows it.
#pragma once

#include <QString>

#include <cstdint>

namespace app {

// The integer part of volume * 100 / 255, followed by "%": 128 -> "50%", 255 -> "100%".
QString VolumePercentText(std::uint8_t volume);

}  // namespace app
