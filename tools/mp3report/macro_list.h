// The list of the report macros as the macro table holds them: for `mp3report --macros` and for
// the macro section of the manual page, which is generated from the same table when it is built.
#pragma once

#include <string>
#include <string_view>

#include "zodizidu/macros/macro.h"
#include "zodizidu/macros/macro_definitions.h"

namespace mp3report {

// What serves a macro, in the words of the list: "file" (a value of the song, composites
// included), "system", "list" (a value of the whole report, or of its output document), "group"
// (a value of the song's folder) or "special" (new line, tab, a character by its code, '%').
std::string_view MacroKind(const zodizidu::TMacro& macro);

// One line per macro in table order under a heading line: short name, long name, kind, default
// width and alignment, description, in aligned columns; "-" stands for an empty name.
std::string MacroListText(const zodizidu::TMacroDefinitions& table);

// The same list as a manual page section (".SH MACROS"), in roff.
std::string MacroListRoff(const zodizidu::TMacroDefinitions& table);

}  // namespace mp3report
