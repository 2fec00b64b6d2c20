// The program's own pictures, rendered from their SVG sources.
#include "dialogs/artwork.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace dialogs {

namespace {

QPixmap Render(const QString& source, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(source);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  painter.end();
  return QPixmap::fromImage(image);
}

// The disabled state: the glyph's lightness only, faded, as a greyed button shows it.
QPixmap Greyed(const QPixmap& picture) {
  QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 128 + qGray(line[x]) / 2;
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

QPixmap ProgramPicture(int size) { return Render(QStringLiteral(":/albavox/albavox.svg"), QSize(size, size)); }

// Qt's SVG icon engine draws the icon at each size only when a size is first asked for, which
// keeps it off the program's start.
QIcon ProgramIcon() { return QIcon(QStringLiteral(":/albavox/albavox.svg")); }

QPixmap Logo() { return Render(QStringLiteral(":/albavox/logo.svg"), QSize(136, 73)); }

QIcon TwoStateGlyph(ButtonGlyph glyph) {
  const QString source =
      glyph == ButtonGlyph::kGuide ? QStringLiteral(":/albavox/guide.svg") : QStringLiteral(":/albavox/history.svg");
  const QPixmap normal = Render(source, QSize(16, 16));
  QIcon icon;
  icon.addPixmap(normal, QIcon::Normal);
  icon.addPixmap(Greyed(normal), QIcon::Disabled);
  return icon;
}

}  // namespace dialogs
