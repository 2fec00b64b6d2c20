// The template expander: splits items into fields, finds their values and fits them.
#include "zodizidu/macros/expand.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

#include "platform/text.h"
#include "zodizidu/analysis/mpeg_data.h"
#include "zodizidu/macros/macro_definitions.h"
#include "zodizidu/macros/macro_table.h"

namespace zodizidu {

namespace {

constexpr std::size_t kFieldCount = 5;  // name, alignment, width, fill, case
constexpr std::string_view kCapitalSeparators = " !(),./:;<>?";

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The first five comma-separated fields of `inner`, each stripped of blanks; missing ones empty.
std::array<std::string, kFieldCount> SplitFields(std::string_view inner) {
  std::array<std::string, kFieldCount> fields;
  std::size_t start = 0;
  for (std::size_t k = 0; k < kFieldCount && start <= inner.size(); ++k) {
    const std::size_t comma = inner.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? inner.size() : comma;
    fields[k] = Strip(inner.substr(start, end - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

// A decimal integer with an optional sign that fits in 32 bits; nothing otherwise.
std::optional<std::int32_t> ParseInt32(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool IsCharacterCodeName(std::string_view name) {
  return name.find_first_not_of(".0123456789") == std::string_view::npos;
}

// The character a code name stands for: the number modulo 256; 1 for a code that does not read
// as an integer or comes to 0.
char CharacterFromCode(std::string_view name) {
  const std::optional<std::int32_t> code = ParseInt32(name);
  const int byte = code ? *code % 256 : 1;
  return static_cast<char>(byte == 0 ? 1 : byte);
}

void ConvertCase(std::string& value, char mode) {
  switch (mode) {
    case 'C':
      for (std::size_t i = 0; i < value.size(); ++i)
        if (i == 0 || kCapitalSeparators.find(value[i - 1]) != std::string_view::npos) value[i] = Upper(value[i]);
      break;
    case 'F':
      if (!value.empty()) value[0] = Upper(value[0]);
      break;
    case 'L': value = platform::AsciiLower(value); break;
    case 'U': value = platform::AsciiUpper(value); break;
    default: break;
  }
}

// `count` copies of the fill character `fill`.
std::string Repeated(std::string_view fill, std::size_t count) {
  if (fill.size() == 1) return std::string(count, fill[0]);
  std::string out;
  out.reserve(fill.size() * count);
  for (std::size_t i = 0; i < count; ++i) out.append(fill);
  return out;
}

// Fits `value` to `width` characters; with `utf8` a character is a UTF-8 sequence, else a byte.
// `fill` is one character.
std::string Fit(std::string value, std::int32_t width, char align, std::string_view fill, bool utf8) {
  if (width < 0 || align == 'T') return value;
  const auto n = static_cast<std::size_t>(std::min(width, kMaxFittedWidth));
  const std::size_t length = utf8 ? platform::Utf8Length(value) : value.size();
  if (length >= n) {
    value.resize(utf8 ? platform::Utf8PrefixSize(value, n) : n);
    return value;
  }
  const std::size_t missing = n - length;
  switch (align) {
    case 'R': value.insert(0, Repeated(fill, missing)); break;
    case 'C':
      value.insert(0, Repeated(fill, missing / 2));
      value.append(Repeated(fill, missing - missing / 2));
      break;
    default: value.append(Repeated(fill, missing)); break;
  }
  return value;
}

// One expansion with its chain of composite macros being expanded, outermost first.
class Expander {
 public:
  Expander(const TMacroDefinitions& definitions, const TMPEGAudio* file, std::int32_t context)
      : defs_(definitions), file_(file), context_(context), utf8_(definitions.Text() == TextModel::kUtf8) {}

  std::string Text(std::string_view templateText) {
    std::string converted;
    if (utf8_ && !platform::IsValidUtf8(templateText)) {
      converted = platform::ToUtf8(templateText);
      templateText = converted;
    }
    const char delimiter = defs_.Delimiter();
    std::string result;
    result.reserve(templateText.size());
    std::size_t pos = 0;
    while (pos < templateText.size()) {
      const std::size_t open = templateText.find(delimiter, pos);
      if (open == std::string_view::npos) {
        result.append(templateText.substr(pos));
        break;
      }
      result.append(templateText.substr(pos, open - pos));
      const std::size_t close = templateText.find(delimiter, open + 1);
      if (close == std::string_view::npos) {
        result.append(kNoEndOfItemText);
        break;
      }
      result.append(Item(templateText.substr(open, close - open + 1)));
      pos = close + 1;
    }
    return result;
  }

  std::string Item(std::string_view item) {
    std::string converted;
    if (utf8_ && !platform::IsValidUtf8(item)) {
      converted = platform::ToUtf8(item);
      item = converted;
    }
    std::array<std::string, kFieldCount> fields = SplitFields(item.substr(1, item.size() - 2));
    const std::string name = platform::AsciiUpper(fields[0]);
    if (name.empty()) return std::string(1, defs_.Delimiter());

    ItemValue produced = Value(name);
    if (produced.unchanged) {
      // Left for a later expansion with more context: no option applies.
      produced.value.assign(item);
      fields = {};
    } else if (utf8_) {
      // Values from records and file names are bytes; the composite's parts are converted already.
      produced.value = platform::ToUtf8(produced.value);
    }
    const ItemOptions options = Options(fields, produced);
    ConvertCase(produced.value, options.caseMode);
    return Fit(std::move(produced.value), options.width, options.align, options.fill, utf8_);
  }

 private:
  // An item's value with the defaults its source gives it.
  struct ItemValue {
    std::string value;
    std::int32_t defaultWidth = -1;
    char align = 'L';
    char caseMode = 'N';
    bool unchanged = false;  // the item cannot be served and stays as written
  };

  // The layout an item asks for, its options laid over the defaults of its value.
  struct ItemOptions {
    std::int32_t width;
    char align;
    std::string_view fill;
    char caseMode;
  };

  // The value of the item named `name` (upper-cased, not empty): a reserved name or a macro.
  ItemValue Value(const std::string& name) {
    if (IsCharacterCodeName(name)) return {std::string(1, CharacterFromCode(name)), 1};
    if (name == "NEWLINE" || name == "NL") return {"\r\n", 2};
    if (name == "SOFTNEWLINE" || name == "#") return {"", 0};
    if (name == "TAB" || name == "TB") return {"\t", 1};
    return MacroValue(name);
  }

  ItemValue MacroValue(const std::string& name) {
    const int index = defs_.IndexOfName(name);
    const TMacro* macro = index < 0 ? nullptr : &defs_.Items(index);
    const ItemValue unchanged{"", -1, 'T', 'N', true};
    if (macro == nullptr || (macro->Kind == mkFile && file_ == nullptr) || (macro->Kind == mkList && context_ == 0))
      return unchanged;
    if (!macro->HasSupplier() && macro->Kind != mkComposite && macro->Kind != mkNoExec) {
      if (macro->Kind != mkFile && macro->Kind != mkSystem && macro->Kind != mkList) return unchanged;
      std::string error = name + std::string(kAssociationErrorText);
      const auto width = static_cast<std::int32_t>(error.size());
      return {std::move(error), width};
    }
    ItemValue produced{"", macro->Width, Upper(macro->Align), Upper(macro->CaseMode)};
    switch (macro->Kind) {
      case mkFile: produced.value = Strip(std::get<TFileSupplier>(macro->Callback)(*file_)); break;
      case mkNoExec:
        produced.value = name + std::string(kNoExecText);
        produced.defaultWidth = static_cast<std::int32_t>(produced.value.size());
        break;
      case mkSystem: produced.value = Strip(std::get<TSystemSupplier>(macro->Callback)()); break;
      case mkList: produced.value = Strip(std::get<TListSupplier>(macro->Callback)(context_)); break;
      case mkComposite:
        if (!EnterComposite(index)) return unchanged;
        produced.value = Text(macro->Template);
        chain_.pop_back();
        break;
      default: return unchanged;
    }
    return produced;
  }

  // Fields 2 to 5: alignment, width, fill and case. A width without an accepted alignment is
  // ignored (the default width applies); width 0 is the default width.
  ItemOptions Options(const std::array<std::string, kFieldCount>& fields, const ItemValue& produced) const {
    ItemOptions options{ParseInt32(fields[2]).value_or(-1), produced.align, " ", produced.caseMode};
    const char alignOption = fields[1].empty() ? '\0' : Upper(fields[1][0]);
    if (alignOption == 'C' || alignOption == 'L' || alignOption == 'R' || alignOption == 'T')
      options.align = alignOption;
    else
      options.width = 0;
    const std::string_view fillField = fields[3];
    if (!fillField.empty()) options.fill = fillField.substr(0, utf8_ ? platform::Utf8PrefixSize(fillField, 1) : 1);
    const char caseOption = fields[4].empty() ? '\0' : Upper(fields[4][0]);
    if (caseOption != '\0' && std::string_view("CFLNU").find(caseOption) != std::string_view::npos)
      options.caseMode = caseOption;
    if (options.width == 0) options.width = produced.defaultWidth;
    return options;
  }

  // False when the composite is already being expanded or the chain is as deep as allowed.
  bool EnterComposite(int index) {
    if (chain_.size() >= static_cast<std::size_t>(kMaxCompositeDepth)) return false;
    for (int active : chain_)
      if (active == index) return false;
    chain_.push_back(index);
    return true;
  }

  const TMacroDefinitions& defs_;
  const TMPEGAudio* file_;
  std::int32_t context_;
  bool utf8_;
  std::vector<int> chain_;
};

}  // namespace

std::string ExpandItem(std::string_view item, const TMacroDefinitions& definitions, const TMPEGAudio* file,
                       std::int32_t listContext) {
  if (item.size() < 2) return std::string(item);
  return Expander(definitions, file, listContext).Item(item);
}

std::string TMacroDefinitions::Expand(std::string_view templateText, const TMPEGAudio* file,
                                      std::int32_t listContext) const {
  return Expander(*this, file, listContext).Text(templateText);
}

std::string ExpandTemplate(std::string_view templateText, const TMPEGAudio* file, std::int32_t listContext) {
  if (templateText.empty()) return {};
  return MacroDefinitions().Expand(templateText, file, listContext);
}

}  // namespace zodizidu
