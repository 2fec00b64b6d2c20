// Letter-case folding by a small fixed table, so that matching does not depend on the locale.
#include "platform/detail/case_fold.h"

#include <array>
#include <cstdint>

namespace platform::detail {

namespace {

// A run of capitals: [first, last] maps by `offset`; `alternate` runs hold capital/small pairs
// side by side (capital at `first`, `first` + 2, ...), where the small letter follows at + 1.
struct FoldRange {
  char32_t first;
  char32_t last;
  int offset;
  bool alternate;
};

constexpr std::array<FoldRange, 18> kFoldRanges = {{
    {0x0041, 0x005A, 32, false},             // A-Z
    {0x00C0, 0x00D6, 32, false},             // À-Ö
    {0x00D8, 0x00DE, 32, false},             // Ø-Þ
    {0x0100, 0x012E, 1, true},               // Ā-Į
    {0x0132, 0x0136, 1, true},               // Ĳ-Ķ
    {0x0139, 0x0147, 1, true},               // Ĺ-Ň
    {0x014A, 0x0176, 1, true},               // Ŋ-Ŷ
    {0x0178, 0x0178, 0xFF - 0x178, false},   // Ÿ
    {0x0179, 0x017D, 1, true},               // Ź-Ž
    {0x0386, 0x0386, 0x3AC - 0x386, false},  // Ά
    {0x0388, 0x038A, 37, false},             // Έ-Ί
    {0x038C, 0x038C, 64, false},             // Ό
    {0x038E, 0x038F, 63, false},             // Ύ-Ώ
    {0x0391, 0x03A1, 32, false},             // Α-Ρ
    {0x03A3, 0x03AB, 32, false},             // Σ-Ϋ
    {0x0400, 0x040F, 80, false},             // Ѐ-Џ
    {0x0410, 0x042F, 32, false},             // А-Я
    {0x0490, 0x04BE, 1, true},               // Ґ-Ҿ
}};

constexpr char32_t kStrayByteBase = 0xDC00;

}  // namespace

NameChar ReadNameChar(std::string_view name, std::size_t pos) {
  const auto lead = static_cast<std::uint8_t>(name[pos]);
  const NameChar stray{kStrayByteBase + lead, 1};
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t code;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
  } else {
    return stray;
  }
  if (name.size() - pos < length) return stray;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<std::uint8_t>(name[pos + k]);
    if ((next & 0xC0) != 0x80) return stray;
    code = (code << 6) | (next & 0x3F);
  }
  const bool overlong =
      (length == 2 && code < 0x80) || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return stray;
  return {code, length};
}

char32_t FoldCase(char32_t code) {
  if (code < 0x80) return code >= U'A' && code <= U'Z' ? code + 32 : code;
  for (const FoldRange& range : kFoldRanges) {
    if (code < range.first) break;
    if (code > range.last) continue;
    if (range.alternate && (code - range.first) % 2 != 0) return code;
    return static_cast<char32_t>(static_cast<std::int32_t>(code) + range.offset);
  }
  return code;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  // Folding keeps the UTF-8 length of every character, so names of other lengths never match.
  if (a.size() != b.size()) return false;
  std::size_t pos = 0;
  while (pos < a.size()) {
    const auto ca = static_cast<std::uint8_t>(a[pos]);
    const auto cb = static_cast<std::uint8_t>(b[pos]);
    if (ca < 0x80 && cb < 0x80) {
      if (ca != cb && FoldCase(ca) != FoldCase(cb)) return false;
      ++pos;
      continue;
    }
    const NameChar x = ReadNameChar(a, pos);
    const NameChar y = ReadNameChar(b, pos);
    if (x.length != y.length || FoldCase(x.code) != FoldCase(y.code)) return false;
    pos += x.length;
  }
  return true;
}

}  // namespace platform::detail
