// The lettering of the program's windows.
#include "platform/ui/form_fonts.h"

namespace platform {

namespace {
constexpr int kFormPixelSize = 11;  // 8 points at 96 dots per inch

QFont Face(const char* family, int pixelSize) {
  QFont font(QString::fromLatin1(family));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  return font;
}
}  // namespace

QFont FormFont() { return Face("Liberation Sans", kFormPixelSize); }

QFont NarrowFont() { return Face("Liberation Sans Narrow", kFormPixelSize); }

QFont TitleFont() {
  QFont font(QStringLiteral("Liberation Serif"));
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(21);  // 16 points at 96 dots per inch
  font.setBold(true);
  font.setItalic(true);
  return font;
}

QFont BoldFont(int pixelSize) {
  QFont font = Face("Liberation Sans", pixelSize);
  font.setBold(true);
  return font;
}

}  // namespace platform
