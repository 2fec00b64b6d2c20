// A group box whose title is a label of its own lying on the box's top edge.
#include "app/detail/titled_group_box.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace app::detail {

TitledGroupBox::TitledGroupBox(QWidget* parent) : QGroupBox(parent) {}

void TitledGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.rect = rect().adjusted(0, kFrameTop, 0, 0);
  frame.lineWidth = 1;
  frame.midLineWidth = 0;
  style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, this);
}

}  // namespace app::detail
