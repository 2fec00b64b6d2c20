// The small pictures on the window's buttons. Drawn with a few strokes each, they cost far less
// at start-up than decoding picture files, and share one look.
#include "app/detail/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QRadialGradient>

namespace app::detail {

namespace {

constexpr int kSize = 16;
const QColor kInk(40, 40, 40);

void Triangle(QPainter& painter, qreal left, qreal right, bool pointingRight) {
  const qreal tip = pointingRight ? right : left;
  const qreal base = pointingRight ? left : right;
  painter.drawPolygon(QPolygonF({QPointF(base, 3), QPointF(tip, 8), QPointF(base, 13)}));
}

void Draw(QPainter& painter, Glyph glyph) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kInk);
  switch (glyph) {
    case Glyph::kDisc: {
      QRadialGradient shine(QPointF(6, 5), 10);
      shine.setColorAt(0, QColor(250, 250, 255));
      shine.setColorAt(1, QColor(150, 160, 185));
      painter.setBrush(shine);
      painter.setPen(QPen(QColor(90, 95, 110), 1));
      painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      painter.setBrush(Qt::white);
      painter.drawEllipse(QRectF(6, 6, 4, 4));
      break;
    }
    case Glyph::kInfo:
    case Glyph::kAbout: {
      painter.setBrush(glyph == Glyph::kInfo ? QColor(30, 110, 200) : QColor(40, 150, 80));
      painter.drawEllipse(QRectF(1, 1, 14, 14));
      painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
      if (glyph == Glyph::kInfo) {
        painter.drawPoint(QPointF(8, 4.5));
        painter.drawLine(QPointF(8, 7.5), QPointF(8, 12));
      } else {
        QPainterPath hook;
        hook.moveTo(5.5, 6);
        hook.cubicTo(5.5, 2.5, 10.5, 2.5, 10.5, 6);
        hook.cubicTo(10.5, 8, 8, 8, 8, 10);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(hook);
        painter.drawPoint(QPointF(8, 12.5));
      }
      break;
    }
    case Glyph::kExit:
      painter.setPen(QPen(QColor(200, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(QPointF(4, 4), QPointF(12, 12));
      painter.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case Glyph::kPrevious:
      painter.drawRect(QRectF(2, 3, 2, 10));
      Triangle(painter, 4, 9, false);
      Triangle(painter, 9, 14, false);
      break;
    case Glyph::kPlay: Triangle(painter, 4, 13, true); break;
    case Glyph::kPause:
      painter.drawRect(QRectF(4, 3, 3, 10));
      painter.drawRect(QRectF(9, 3, 3, 10));
      break;
    case Glyph::kStop: painter.drawRect(QRectF(4, 4, 8, 8)); break;
    case Glyph::kNext:
      Triangle(painter, 2, 7, true);
      Triangle(painter, 7, 12, true);
      painter.drawRect(QRectF(12, 3, 2, 10));
      break;
  }
}

}  // namespace

QIcon GlyphIcon(Glyph glyph) {
  QPixmap picture(kSize, kSize);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, glyph);
  }
  return QIcon(picture);
}

}  // namespace app::detail
