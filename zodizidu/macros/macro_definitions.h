// TMacroDefinitions: the list of report macros, looked up by name, and the template expander.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "zodizidu/macros/macro.h"

namespace zodizidu {

class TMPEGAudio;

// How an expansion treats the 8-bit texts of records, file names and templates.
enum class TextModel {
  // Bytes as the records hold them; widths and fills count bytes (the global table's model).
  kBytes,
  // Every value and the template read by the display rule (valid UTF-8 as it is, anything else
  // as Windows-1252) and written as UTF-8; widths and fills count characters.
  kUtf8,
};

class TMacroDefinitions {
 public:
  TMacroDefinitions() = default;

  TextModel Text() const { return textModel_; }
  void SetText(TextModel model) { textModel_ = model; }

  // The character that opens and closes an item of a template: '%'.
  char Delimiter() const { return delimiter_; }

  // Appends a macro holding copies of the arguments; returns its 0-based index.
  int Add(std::string_view shortName, std::string_view name, std::int32_t width, char align, char caseMode,
          std::string_view description, std::string_view group, std::uint8_t kind, TMacroCallback callback,
          std::string_view templateText);

  // The macro at 0-based `index` (std::out_of_range outside 0..Count()-1).
  const TMacro& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }

  // The index of the macro whose Name or ShortName equals `text` when both are upper-cased
  // (ASCII letters only); the one added last when several match; -1 when none does.
  int IndexOfName(std::string_view text) const;

  // Gives the macro at `index` a supplier. The global table is never changed; a caller that
  // reports on lists fills in its own copy of it.
  void SetCallback(int index, TMacroCallback callback);

  // `templateText` with every item replaced by its value for `file` (may be null) and
  // `listContext` (0 = no list).
  std::string Expand(std::string_view templateText, const TMPEGAudio* file, std::int32_t listContext) const;

 private:
  char delimiter_ = '%';
  TextModel textModel_ = TextModel::kBytes;
  std::vector<TMacro> items_;
  std::unordered_map<std::string, int> indexByName_;  // upper-cased names; the last added wins
};

}  // namespace zodizidu
