// The position bar's notifications: dragging while the thumb moves under the mouse, the end of a
// scroll action when the mouse button or a navigation key is released.
#include "app/detail/position_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace app::detail {

PositionBar::PositionBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  connect(this, &QAbstractSlider::sliderMoved, this,
          [this](int position) { emit Scrolled(ScrollKind::kThumbTrack, position); });
  connect(this, &QAbstractSlider::rangeChanged, this, [this](int, int maximum) {
    const int page = PageStepFor(maximum);
    setPageStep(page);
    setSingleStep(std::max(1, page / 10));
  });
  setRange(0, 0);
}

int PositionBar::PageStepFor(int maximum) { return std::clamp(maximum / 10, 1, 60); }

void PositionBar::mousePressEvent(QMouseEvent* event) {
  pressed_ = true;
  QScrollBar::mousePressEvent(event);
}

void PositionBar::mouseReleaseEvent(QMouseEvent* event) {
  QScrollBar::mouseReleaseEvent(event);
  if (!pressed_) return;
  pressed_ = false;
  emit Scrolled(ScrollKind::kEndScroll, value());
}

void PositionBar::keyReleaseEvent(QKeyEvent* event) {
  QScrollBar::keyReleaseEvent(event);
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      if (!event->isAutoRepeat()) emit Scrolled(ScrollKind::kEndScroll, value());
      break;
    default: break;
  }
}

}  // namespace app::detail
