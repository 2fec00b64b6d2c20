// The one place where 8-bit bytes of records, index files and messages become display text.
#pragma once

#include <QString>

#include <string_view>

namespace platform {

// Valid UTF-8 is read as UTF-8, anything else as Windows-1252 (see text.h).
QString DisplayText(std::string_view bytes);

}  // namespace platform
