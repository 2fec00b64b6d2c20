// The small pictures on the window's buttons, drawn by the program itself.
#pragma once

#include <QIcon>

namespace app::detail {

enum class Glyph { kDisc, kInfo, kAbout, kExit, kPrevious, kPlay, kPause, kStop, kNext };

// A 16 x 16 picture of `glyph`; the disabled look is derived from it.
QIcon GlyphIcon(Glyph glyph);

}  // namespace app::detail
