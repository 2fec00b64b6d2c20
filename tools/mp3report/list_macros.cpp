// Suppliers of the list, group and output-document macros of the report tool.
#include "tools/mp3report/list_macros.h"

#include <array>
#include <filesystem>
#include <string_view>

#include "platform/paths.h"
#include "zodizidu/macros/macro_table.h"
#include "zodizidu/macros/value_format.h"

namespace mp3report {

namespace {

using zodizidu::FormatNumber;
using zodizidu::TListSupplier;

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1024 * 1024;

using TotalsValue = std::string (*)(const Totals&);

// The forms of a sum of play times and sizes, as the file macros write one file's values:
// seconds, with separators, minutes, minutes again, hours:minutes:seconds; bytes, with
// separators, kilobytes (remainder dropped), kilobytes (nearest) and megabytes.
constexpr std::array<TotalsValue, 10> kTotalsForms = {
    [](const Totals& t) { return std::to_string(t.seconds); },
    [](const Totals& t) { return FormatNumber(t.seconds, 1, 0, true); },
    [](const Totals& t) { return FormatNumber(t.seconds, 60, 1, true); },
    [](const Totals& t) { return FormatNumber(t.seconds, 60, 1, true); },
    [](const Totals& t) { return zodizidu::FormatHoursMinutesSeconds(t.seconds); },
    [](const Totals& t) { return std::to_string(t.bytes); },
    [](const Totals& t) { return FormatNumber(t.bytes, 1, 0, true); },
    [](const Totals& t) { return std::to_string(t.bytes / kKilobyte); },
    [](const Totals& t) { return FormatNumber(t.bytes, kKilobyte, 0, true); },
    [](const Totals& t) { return FormatNumber(t.bytes, kMegabyte, 1, false); },
};
// The names of those forms for a group and for the whole list, in the same order.
constexpr std::array<std::string_view, 10> kGroupTotalsNames = {
    "GD", "GDC", "GDM", "GDMC", "GDF", "GL", "GLC", "GLK", "GroupLengthKBComma", "GLM"};
constexpr std::array<std::string_view, 10> kListTotalsNames = {"DS", "DSC", "DSM", "DSMC", "DSF",
                                                               "LS", "LSC", "LKS", "LKSC", "LMS"};

// The folder of file `number` relative to the output document's folder, ending in '/'; empty
// when the file lies in that folder.
std::string RelativeFolder(const ReportList& list, int number, const std::string& base) {
  namespace fs = std::filesystem;
  const std::string folder = platform::DirPart(platform::FullPathName(list.Path(number)));
  const fs::path relative = fs::path(folder).lexically_relative(base);
  const std::string text = relative.generic_string();
  if (text.empty()) return folder;
  if (text == ".") return "";
  return text.back() == '/' ? text : text + "/";
}

class Installer {
 public:
  Installer(zodizidu::TMacroDefinitions& table, const ReportList& list) : table_(table), list_(list) {}

  // Serves `name` with `value` applied to the number of the file being expanded; nothing is
  // shown for a number outside the list.
  template <typename Value>
  void Set(std::string_view name, Value value) {
    const ReportList* list = &list_;
    table_.SetCallback(table_.IndexOfName(name), TListSupplier([list, value](std::int32_t n) {
                         if (n < 1 || n > list->Count()) return std::string();
                         return std::string(value(*list, n));
                       }));
  }

 private:
  zodizidu::TMacroDefinitions& table_;
  const ReportList& list_;
};

}  // namespace

zodizidu::TMacroDefinitions ReportMacros(const ReportList& list, const OutputDocument& document) {
  zodizidu::TMacroDefinitions table = zodizidu::MacroDefinitions();
  // The report is UTF-8 text: names and tags in either encoding, widths counted in characters.
  table.SetText(zodizidu::TextModel::kUtf8);
  Installer in(table, list);
  in.Set("No", [](const ReportList&, int n) { return std::to_string(n); });
  in.Set("FileCount", [](const ReportList& l, int) { return std::to_string(l.Count()); });
  in.Set("FileCountComma", [](const ReportList& l, int) { return FormatNumber(l.Count(), 1, 0, true); });
  in.Set("ArtistCount", [](const ReportList& l, int) { return std::to_string(l.ArtistCount()); });
  in.Set("GroupNo", [](const ReportList& l, int n) { return std::to_string(l.GroupNo(n)); });
  in.Set("GroupFileNo", [](const ReportList& l, int n) { return std::to_string(l.GroupFileNo(n)); });
  in.Set("GroupFileCount", [](const ReportList& l, int n) { return std::to_string(l.GroupTotals(n).files); });
  in.Set("GroupFileCountComma",
         [](const ReportList& l, int n) { return FormatNumber(l.GroupTotals(n).files, 1, 0, true); });
  in.Set("GroupCount", [](const ReportList& l, int) { return std::to_string(l.GroupCount()); });
  for (std::size_t i = 0; i < kTotalsForms.size(); ++i) {
    const TotalsValue form = kTotalsForms[i];
    in.Set(kGroupTotalsNames[i], [form](const ReportList& l, int n) { return form(l.GroupTotals(n)); });
    in.Set(kListTotalsNames[i], [form](const ReportList& l, int) { return form(l.ListTotals()); });
  }
  in.Set("FilePathRelative",
         [base = document.folder](const ReportList& l, int n) { return RelativeFolder(l, n, base); });
  in.Set("OutputDoc", [doc = document.fileName](const ReportList&, int) { return doc; });
  in.Set("OutputPath", [folder = document.folder](const ReportList&, int) { return folder; });
  in.Set("TemplateName", [name = document.templateName](const ReportList&, int) { return name; });
  return table;
}

}  // namespace mp3report
