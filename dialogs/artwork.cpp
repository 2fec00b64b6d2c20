// The program's own pictures, rendered from their SVG sources.
#include "dialogs/artwork.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <utility>

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

// An icon drawn from an SVG source at each size when that size is first asked for. Qt's own SVG
// icon engine would do the same, but finding it loads the icon-engine plugins at the program's start.
class SvgIconEngine : public QIconEngine {
 public:
  explicit SvgIconEngine(QString source) : source_(std::move(source)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const QPixmap picture = Render(source_, size);
    if (mode == QIcon::Normal || !qobject_cast<QApplication*>(QCoreApplication::instance())) return picture;
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(mode, picture, &option);
  }

  QIconEngine* clone() const override { return new SvgIconEngine(source_); }
  QString key() const override { return QStringLiteral("AlbavoxSvgIcon"); }

 private:
  QString source_;
};

}  // namespace

QPixmap ProgramPicture(int size) { return Render(QStringLiteral(":/albavox/albavox.svg"), QSize(size, size)); }

// Drawn at each size only when a size is asked for, which keeps it off the program's start.
QIcon ProgramIcon() { return QIcon(new SvgIconEngine(QStringLiteral(":/albavox/albavox.svg"))); }

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
