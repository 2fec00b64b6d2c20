// Expansion of a report template for one analysed file, through the global macro table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zodizidu {

class TMPEGAudio;

// The expansion of `templateText` for `file` (may be null) and `listContext` (0 = no list)
// with the global macro table. An empty template gives an empty text.
std::string ExpandTemplate(std::string_view templateText, const TMPEGAudio* file,
                           std::int32_t listContext);

}  // namespace zodizidu
