// The volume percentage text.
#include "app/volume_percent.h"

namespace app {

QString VolumePercentText(std::uint8_t volume) { return QString::number(volume * 100 / 255) + QLatin1Char('%'); }

}  // namespace app
