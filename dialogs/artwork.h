// The program's own pictures: the program icon, the about box's logo and the button glyphs,
// drawn from the SVG sources in dialogs/resources/ (albavox.svg is the program icon's source).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace dialogs {

// The program icon at whatever size window managers and task bars ask for.
QIcon ProgramIcon();

// The program icon as a `size` x `size` picture.
QPixmap ProgramPicture(int size);

// The product logo of the about box, 136 x 73 pixels.
QPixmap Logo();

enum class ButtonGlyph { kGuide, kHistory };

// A 16 x 16 glyph in its two states: as drawn, and greyed for a disabled button.
QIcon TwoStateGlyph(ButtonGlyph glyph);

}  // namespace dialogs
