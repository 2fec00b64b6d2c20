// The macro list: adding, looking up by name, attaching suppliers.
#include "zodizidu/macros/macro_definitions.h"

#include <stdexcept>
#include <utility>

#include "platform/text.h"

namespace zodizidu {

bool TMacro::HasSupplier() const {
  switch (Kind) {
    case mkFile: return std::holds_alternative<TFileSupplier>(Callback) && std::get<TFileSupplier>(Callback);
    case mkSystem: return std::holds_alternative<TSystemSupplier>(Callback) && std::get<TSystemSupplier>(Callback);
    case mkList: return std::holds_alternative<TListSupplier>(Callback) && std::get<TListSupplier>(Callback);
    default: return !std::holds_alternative<std::monostate>(Callback);
  }
}

int TMacroDefinitions::Add(std::string_view shortName, std::string_view name, std::int32_t width, char align,
                           char caseMode, std::string_view description, std::string_view group, std::uint8_t kind,
                           TMacroCallback callback, std::string_view templateText) {
  TMacro macro;
  macro.ShortName = shortName;
  macro.Name = name;
  macro.Width = width;
  macro.Align = align;
  macro.CaseMode = caseMode;
  macro.Description = description;
  macro.Group = group;
  macro.Kind = kind;
  macro.Callback = std::move(callback);
  macro.Template = templateText;
  const int index = Count();
  indexByName_[platform::AsciiUpper(macro.ShortName)] = index;
  indexByName_[platform::AsciiUpper(macro.Name)] = index;
  items_.push_back(std::move(macro));
  return index;
}

int TMacroDefinitions::IndexOfName(std::string_view text) const {
  const auto found = indexByName_.find(platform::AsciiUpper(text));
  return found == indexByName_.end() ? -1 : found->second;
}

void TMacroDefinitions::SetCallback(int index, TMacroCallback callback) {
  if (index < 0 || index >= Count()) throw std::out_of_range("no macro at this index");
  items_[static_cast<std::size_t>(index)].Callback = std::move(callback);
}

}  // namespace zodizidu
