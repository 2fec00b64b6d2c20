// The one global macro table and the names of the output document kinds.
#pragma once

#include <array>
#include <string_view>

#include "zodizidu/macros/macro_definitions.h"

namespace zodizidu {

// The version text of the analysis library; the ProgramVersion macro's value and width.
inline constexpr std::string_view kProgramVersion = "ZODIzidu 1.8";

// The kinds of output document a list report may produce.
inline constexpr std::array<std::string_view, 3> kOutputDocumentKinds = {"Custom", "Catalogue", "Order form"};

// The global table of the 86 report macros, built on first use and never changed afterwards.
// The program calls it once at start, before any window exists.
const TMacroDefinitions& MacroDefinitions();

}  // namespace zodizidu
