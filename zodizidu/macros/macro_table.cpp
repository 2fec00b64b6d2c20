// The global macro table: file and system macros with their suppliers, the special items, the
// composites, and the list, group and output-document macros a list report fills in.
#include "zodizidu/macros/macro_table.h"

#include <array>

#include "zodizidu/macros/detail/macro_rows.h"

namespace zodizidu {

namespace {

using detail::MacroRow;

constexpr std::string_view kSpecial = "Special";
constexpr std::string_view kFile = "Mpeg audio file";
constexpr std::string_view kList = "List data";
constexpr std::string_view kGroup = "Group Data";
constexpr std::string_view kOutput = "Output document";

// Rows 47 to 86. ShortName, Name, Width, Align, Description, Group, Kind, -, -, Template.
constexpr std::array<MacroRow, 40> kRows = {{
    // Special items: the expander serves them itself; the rows let a macro list show them.
    {"NL", "NewLine", 2, 'L', "New line (CRLF)", kSpecial, mkNoExec, nullptr, nullptr, ""},
    {"#", "SoftNewLine", 2, 'L', "Soft Newline, not used in output document", kSpecial, mkNoExec, nullptr, nullptr, ""},
    {"TB", "Tab", 1, 'L', "Tabulator", kSpecial, mkNoExec, nullptr, nullptr, ""},
    {"nnn", "nnn", 1, 'L', "Character ASCII code (enter decimal value)", kSpecial, mkNoExec, nullptr, nullptr, ""},
    {"", "", 1, 'L', "Percent sign (%)", kSpecial, mkNoExec, nullptr, nullptr, ""},
    // Composites: the value is the expansion of the template for the same file and list.
    {"FPN", "FilePathName", 80, 'L', "File path and name", kFile, mkComposite, nullptr, nullptr, "%FP,T%%FN,T%"},
    {"GAT", "GuessedArtistTitle", 80, 'L', "Artist and title guessed from TAG or file name", kFile, mkComposite,
     nullptr, nullptr, "%GA,T% - %GT,T%"},
    // List, group and output-document values: supplied by a caller that reports on a list.
    {"FPR", "FilePathRelative", 40, 'L', "MPEG audio file path relative to output document (without file name)", kList,
     mkList, nullptr, nullptr, ""},
    {"N", "No", 6, 'R', "Order No of file in list", kList, mkList, nullptr, nullptr, ""},
    {"FC", "FileCount", 6, 'R', "Total number of files in list", kList, mkList, nullptr, nullptr, ""},
    {"FCC", "FileCountComma", 7, 'R', "Total number of files in list, thousands comma separated", kList, mkList,
     nullptr, nullptr, ""},
    {"GN", "GroupNo", 6, 'R', "Order No of group", kGroup, mkList, nullptr, nullptr, ""},
    {"GFN", "GroupFileNo", 6, 'R', "Order No of file in group", kGroup, mkList, nullptr, nullptr, ""},
    {"GFC", "GroupFileCount", 6, 'R', "Total number of files in group", kGroup, mkList, nullptr, nullptr, ""},
    {"GFCC", "GroupFileCountComma", 7, 'R', "Total number of files in group, thousands comma separated", kGroup, mkList,
     nullptr, nullptr, ""},
    {"AC", "ArtistCount", 6, 'R', "Total number of artists in whole list", kList, mkList, nullptr, nullptr, ""},
    {"GC", "GroupCount", 6, 'R', "Total number of groups in whole list", kList, mkList, nullptr, nullptr, ""},
    {"GD", "GroupDuration", 8, 'R', "Total duration in seconds for group", kGroup, mkList, nullptr, nullptr, ""},
    {"GDC", "GroupDurationComma", 10, 'R', "Total duration in seconds for group, thousands comma separated", kGroup,
     mkList, nullptr, nullptr, ""},
    {"GDM", "GroupDurationMinutes", 7, 'R', "Total duration in minutes for group", kGroup, mkList, nullptr, nullptr,
     ""},
    {"GDMC", "GroupDurationMinutesComma", 9, 'R', "Total duration in minutes for group, thousands comma separated",
     kGroup, mkList, nullptr, nullptr, ""},
    {"GDF", "GroupDurationForm", 8, 'R', "Total duration for group, formated as HH:MM:SS", kGroup, mkList, nullptr,
     nullptr, ""},
    {"GL", "GroupLength", 12, 'R', "Total length in bytes for group", kGroup, mkList, nullptr, nullptr, ""},
    {"GLC", "GroupLengthComma", 15, 'R', "Total length in bytes for group, thousands comma separated", kGroup, mkList,
     nullptr, nullptr, ""},
    {"GLK", "GroupLengthKB", 9, 'R', "Total length in KB for group", kGroup, mkList, nullptr, nullptr, ""},
    {"", "GroupLengthKBComma", 11, 'R', "Total length in KB for group, thousands comma separated", kGroup, mkList,
     nullptr, nullptr, ""},
    {"GLM", "GroupLengthMB", 9, 'R', "Total length in MB for group", kGroup, mkList, nullptr, nullptr, ""},
    {"DS", "DurationSum", 8, 'R', "Total duration in seconds for whole list", kList, mkList, nullptr, nullptr, ""},
    {"DSC", "DurationSumComma", 10, 'R', "Total duration in seconds for whole list,thousands comma separated", kList,
     mkList, nullptr, nullptr, ""},
    {"DSM", "DurationSumMinutes", 7, 'R', "Total duration in minutes for whole list", kList, mkList, nullptr, nullptr,
     ""},
    {"DSMC", "DurationSumMinutesComma", 9, 'R', "Total duration in minutes for whole list, thousands comma separated",
     kList, mkList, nullptr, nullptr, ""},
    {"DSF", "DurationSumForm", 8, 'R', "Total duration for whole list formated as HH:MM:SS", kList, mkList, nullptr,
     nullptr, ""},
    {"LS", "LengthSum", 12, 'R', "Total length in bytes for all files in list", kList, mkList, nullptr, nullptr, ""},
    {"LSC", "LengthSumComma", 15, 'R', "Total length in bytes for all files in list, thousands comma separated", kList,
     mkList, nullptr, nullptr, ""},
    {"LKS", "LengthKBSum", 9, 'R', "Total length in KB for all files in list", kList, mkList, nullptr, nullptr, ""},
    {"LKSC", "LengthKBSumComma", 11, 'R', "Total length in KB for all files in list, thousands comma separated", kList,
     mkList, nullptr, nullptr, ""},
    {"LMS", "LengthMBSum", 9, 'R', "Total length in MB for all files in list", kList, mkList, nullptr, nullptr, ""},
    {"OD", "OutputDoc", 40, 'L', "Output document file name", kOutput, mkList, nullptr, nullptr, ""},
    {"OP", "OutputPath", 40, 'L', "Output document path (without filename)", kOutput, mkList, nullptr, nullptr, ""},
    {"TN", "TemplateName", 40, 'L', "Template name", kOutput, mkList, nullptr, nullptr, ""},
}};

void AddRows(TMacroDefinitions& table, std::span<const MacroRow> rows) {
  for (const MacroRow& row : rows) {
    TMacroCallback callback;
    if (row.FileValue != nullptr)
      callback = TFileSupplier(row.FileValue);
    else if (row.SystemValue != nullptr)
      callback = TSystemSupplier(row.SystemValue);
    table.Add(row.ShortName, row.Name, row.Width, row.Align, 'N', row.Description, row.Group, row.Kind,
              std::move(callback), row.Template);
  }
}

TMacroDefinitions BuildTable() {
  TMacroDefinitions table;
  AddRows(table, detail::FileMacroRows());
  AddRows(table, detail::SystemMacroRows());
  AddRows(table, kRows);
  return table;
}

}  // namespace

const TMacroDefinitions& MacroDefinitions() {
  static const TMacroDefinitions table = BuildTable();
  return table;
}

}  // namespace zodizidu
