// The report tool's own copy of the macro table, with the list, group and output-document
// macros served from the report's list.
#pragma once

#include <string>

#include "tools/mp3report/report_list.h"
#include "zodizidu/macros/macro_definitions.h"

namespace mp3report {

// Where the report goes and what it was made from.
struct OutputDocument {
  std::string fileName;      // name of the output file without folder; empty for standard output
  std::string folder;        // full path of its folder (the current folder for standard output),
                             // ending in '/'
  std::string templateName;  // name of the template file without folder; empty for -t
};

// A copy of the global table in which every list macro has a supplier reading `list` (which must
// outlive the copy) and `document`. The list context of an expansion is the 1-based number of the
// file in the list.
zodizidu::TMacroDefinitions ReportMacros(const ReportList& list, const OutputDocument& document);

}  // namespace mp3report
