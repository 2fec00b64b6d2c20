// Names, paths and tag texts shown literally.
#include "app/shown_text.h"

#include "platform/ui/display_text.h"

namespace app {

namespace {
constexpr char16_t kControlPictures = 0x2400;  // "␀" .. "␟" stand for the codes 0 .. 31
constexpr char16_t kDeletePicture = 0x2421;    // "␡"
}  // namespace

QString ShownText(std::string_view bytes) {
  QString text = platform::DisplayText(bytes);
  for (QChar& c : text) {
    if (c.unicode() < 0x20) {
      c = QChar(static_cast<char16_t>(kControlPictures + c.unicode()));
    } else if (c.unicode() == 0x7F) {
      c = QChar(kDeletePicture);
    }
  }
  return text;
}

QString LiteralWindowTitle(const QString& text) {
  QString title = text;
  return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

}  // namespace app
