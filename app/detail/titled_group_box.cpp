// A group box whose title is a label of its own lying on the box's top edge.
#include "app/detail/titled_group_box.h"

#include <qdrawutil.h>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace app::detail {

namespace {

// The Fusion style draws a group box's frame from a small PNG of its own, read through the
// image-format plugins: the first paint would load every one of them just to read one PNG. The
// same picture is read here by the built-in PNG reader alone and drawn as the style draws it.
const QImage& FusionFrame() {
  static const QImage frame = [] {
    QImageReader reader(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"),
                        QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
  }();
  return frame;
}

// Fusion's distance from the frame rectangle to the picture's top for a box without a title.
constexpr int kFusionFrameTop = 3;

}  // namespace

TitledGroupBox::TitledGroupBox(QWidget* parent) : QGroupBox(parent) {}

void TitledGroupBox::ReadFramePicture() { FusionFrame(); }

void TitledGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.rect = rect().adjusted(0, kFrameTop, 0, 0);
  frame.lineWidth = 1;
  frame.midLineWidth = 0;
  if (style()->name() == QLatin1String("fusion") && !FusionFrame().isNull() && title().isEmpty() && !isCheckable()) {
    qDrawBorderPixmap(&painter, frame.rect.adjusted(0, kFusionFrameTop, 0, 0), QMargins(6, 6, 6, 6),
                      QPixmap::fromImage(FusionFrame()));
  } else {
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, this);
  }
}

}  // namespace app::detail
