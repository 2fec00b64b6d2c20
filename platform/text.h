// The 8-bit texts of records and index files turned into display text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// True when `bytes` is valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Display text in UTF-8: valid UTF-8 stays as it is, anything else is read as Windows-1252.
std::string ToUtf8(std::string_view bytes);

// Characters of valid UTF-8 text (the bytes that begin one).
std::size_t Utf8Length(std::string_view text);
// The bytes of the first `count` characters of valid UTF-8 text; all of them when it is shorter.
std::size_t Utf8PrefixSize(std::string_view text, std::size_t count);

// ASCII-only letter case conversions (other bytes are left alone).
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

}  // namespace platform
