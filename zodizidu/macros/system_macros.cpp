// Suppliers of the system macros: the library's version and the current date and time.
#include <array>
#include <ctime>
#include <string>

#include "zodizidu/macros/detail/macro_rows.h"
#include "zodizidu/macros/macro.h"
#include "zodizidu/macros/macro_table.h"
#include "zodizidu/macros/value_format.h"

#include "platform/regional.h"

namespace zodizidu::detail {

namespace {

std::tm Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

constexpr std::string_view kSystem = "System";

// ShortName, Name, Width, Align, Description, Group, Kind, -, system supplier, Template.
constexpr std::array<MacroRow, 3> kRows = {{
    {"PV", "ProgramVersion", static_cast<std::int32_t>(kProgramVersion.size()), 'L', "Program version number", kSystem,
     mkSystem, nullptr, [] { return std::string(kProgramVersion); }, ""},
    {"CD", "CurrentDate", 10, 'R', "Current system date", kSystem, mkSystem, nullptr,
     [] { return FormatTm(Now(), platform::CurrentRegionalSettings().shortDateFormat); }, ""},
    {"CT", "CurrentTime", 8, 'R', "Current system time", kSystem, mkSystem, nullptr,
     [] { return FormatTm(Now(), platform::CurrentRegionalSettings().longTimeFormat); }, ""},
}};

}  // namespace

std::span<const MacroRow> SystemMacroRows() { return kRows; }

}  // namespace zodizidu::detail
