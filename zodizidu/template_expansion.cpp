// The analysis object's report template, expanded through the global macro table.
#include "zodizidu/template_expansion.h"

#include "zodizidu/macro_table.h"

namespace zodizidu {

std::string ExpandTemplate(std::string_view templateText, const TMPEGAudio* file,
                           std::int32_t listContext) {
  if (templateText.empty()) return {};
  return MacroDefinitions().Expand(templateText, file, listContext);
}

}  // namespace zodizidu
