// Template expansion: items between delimiters replaced by macro values, fitted and cased. The
// three ways in: TMacroDefinitions::Expand (a template with a given table), ExpandItem (one item)
// and ExpandTemplate (a template with the global table).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "zodizidu/macros/macro_definitions.h"

namespace zodizidu {

class TMPEGAudio;

// Follows the upper-cased name of an item that names a special-item row ("NNNis NoExec Item!").
inline constexpr std::string_view kNoExecText = "is NoExec Item!";
// Follows the upper-cased name of a macro that has no supplier.
inline constexpr std::string_view kAssociationErrorText = " association error!!! ";
// Replaces the rest of a template from a delimiter that has no partner.
inline constexpr std::string_view kNoEndOfItemText = "<<<ERROR!!! No end of item definition!>>>";

// The widest text an item is fitted to, in characters: a larger width option, or a larger
// default width of a macro, fits to this many.
inline constexpr std::int32_t kMaxFittedWidth = 65'536;
// How deep composite macros may nest; an item naming a composite beyond this depth, or one
// already being expanded further out, stays in the text unchanged.
inline constexpr int kMaxCompositeDepth = 16;

// The value of one item (`item` includes both delimiters) for `file` (may be null) and
// `listContext` (0 = no list), looked up in `definitions`.
std::string ExpandItem(std::string_view item, const TMacroDefinitions& definitions, const TMPEGAudio* file,
                       std::int32_t listContext);

// The expansion of `templateText` for `file` (may be null) and `listContext` (0 = no list)
// with the global macro table. An empty template gives an empty text.
std::string ExpandTemplate(std::string_view templateText, const TMPEGAudio* file, std::int32_t listContext);

}  // namespace zodizidu
