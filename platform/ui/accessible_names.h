// Accessible names for controls that show no caption of their own, so screen readers and
// desktop automation can tell every control of a window apart.
#pragma once

class QWidget;

namespace platform {

// Gives every widget under `root` (itself included) whose accessible name would otherwise be
// empty its hint (tool tip) as its name. Captions are left to Qt, which reads them live.
void NameControlsByHint(QWidget& root);

// Names the scroll bars of the scrolling controls at and under `root` (text boxes, lists), which have
// no caption of their own: "Scorrimento verticale", "Scorrimento orizzontale".
void NameScrollBars(QWidget& root);

}  // namespace platform
