// The rows of the global macro table as constant data, one block per group of macros.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zodizidu {

class TMPEGAudio;

namespace detail {

using FileValueFn = std::string (*)(const TMPEGAudio&);
using SystemValueFn = std::string (*)();

// One call of TMacroDefinitions::Add; at most one of the two suppliers is set.
struct MacroRow {
  std::string_view ShortName;
  std::string_view Name;
  std::int32_t Width;
  char Align;
  std::string_view Description;
  std::string_view Group;
  std::uint8_t Kind;
  FileValueFn FileValue;
  SystemValueFn SystemValue;
  std::string_view Template;
};

// Rows 1 to 43: the values of one analysed file.
std::span<const MacroRow> FileMacroRows();
// Rows 44 to 46: program version, current date and time.
std::span<const MacroRow> SystemMacroRows();

}  // namespace detail
}  // namespace zodizidu
