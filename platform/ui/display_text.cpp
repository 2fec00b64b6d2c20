// Display text from 8-bit bytes.
#include "platform/ui/display_text.h"

#include "platform/text.h"

namespace platform {

QString DisplayText(std::string_view bytes) { return QString::fromStdString(ToUtf8(bytes)); }

}  // namespace platform
