// Reading UTF-8 names character by character, and letter-case folding for comparisons that
// ignore case, without the C locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::detail {

// One character read from a name: a Unicode code point of a valid UTF-8 sequence, or, for a
// byte that starts no valid sequence, that byte mapped into U+DC80..U+DCFF (which no valid
// UTF-8 text can hold), so stray bytes never compare equal to real characters.
struct NameChar {
  char32_t code;
  std::size_t length;  // bytes taken from the name, at least 1
};

// The character starting at byte `pos` of `name` (pos < name.size()).
NameChar ReadNameChar(std::string_view name, std::size_t pos);

// The lower-case form of a character: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// capitals; every other character is its own form. The form always has the same UTF-8 length.
char32_t FoldCase(char32_t code);

// True when `a` and `b` differ at most in the letter case of the characters above.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace platform::detail
