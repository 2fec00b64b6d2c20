// TMacro: one named report macro, its default layout and where its value comes from.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>

namespace zodizidu {

class TMPEGAudio;

// How a macro's value is obtained.
enum TMacroKind : std::uint8_t {
  mkFile = 0,       // supplier called with the analysed file
  mkNoExec = 1,     // handled by the expander itself (new line, tab, character code, percent)
  mkSystem = 2,     // supplier called without argument
  mkList = 3,       // supplier called with the caller's list context (0 = no list)
  mkComposite = 4,  // expansion of the macro's own template
};

// The three supplier shapes. A supplier returns the value as text; the expander strips it.
using TFileSupplier = std::function<std::string(const TMPEGAudio&)>;
using TSystemSupplier = std::function<std::string()>;
using TListSupplier = std::function<std::string(std::int32_t listContext)>;

// The one supplier a macro may carry; std::monostate when it has none. A supplier whose shape
// does not match the macro's kind counts as no supplier.
using TMacroCallback = std::variant<std::monostate, TFileSupplier, TSystemSupplier, TListSupplier>;

struct TMacro {
  std::string ShortName;    // short alias, e.g. "FN"; may be empty
  std::string Name;         // long name, e.g. "FileName"; may be empty
  std::int32_t Width = 0;   // default output width in characters
  char Align = 'L';         // default alignment: 'L' or 'R'
  char CaseMode = 'N';      // default case conversion
  std::string Description;  // English description for a macro list
  std::string Group;        // group name shown in a macro list
  std::uint8_t Kind = mkFile;
  TMacroCallback Callback;  // the value supplier
  std::string Template;     // the template of a composite macro; empty otherwise

  // True when the macro carries a supplier of the shape its kind calls for.
  bool HasSupplier() const;
};

}  // namespace zodizidu
