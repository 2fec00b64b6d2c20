// The lettering of the program's windows, sized in pixels so the fixed layouts hold at any screen density.
#pragma once

#include <QFont>

namespace platform {

// The windows' text: a sans-serif face at the 11-pixel height of 8-point lettering on a 96-dpi screen.
QFont FormFont();

// The narrow face of the player panel's time and percentage labels, same height.
QFont NarrowFont();

// The form's face in bold at `pixelSize` pixels.
QFont BoldFont(int pixelSize);

// The about box's title: Liberation Serif (metric-compatible with Times New Roman) at the
// 21-pixel height of 16 points, bold italic.
QFont TitleFont();

}  // namespace platform
