// Display text from 8-bit bytes: UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
#include "platform/text.h"

#include <array>
#include <cstdint>

#include "platform/detail/case_fold.h"

namespace platform {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes the code page leaves
// undefined, which are kept as the C1 control of the same number.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  // A byte at or above 0x80 read as a single character starts no valid sequence (overlong
  // forms, surrogates and values past U+10FFFF included).
  for (std::size_t pos = 0; pos < bytes.size();) {
    const detail::NameChar c = detail::ReadNameChar(bytes, pos);
    if (c.length == 1 && static_cast<std::uint8_t>(bytes[pos]) >= 0x80) return false;
    pos += c.length;
  }
  return true;
}

std::string ToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    const auto b = static_cast<std::uint8_t>(ch);
    if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0)
      AppendUtf8(out, kCp1252High[b - 0x80]);
    else
      AppendUtf8(out, b);
  }
  return out;
}

namespace {
bool IsContinuation(char c) { return (static_cast<std::uint8_t>(c) & 0xC0) == 0x80; }
}  // namespace

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) count += IsContinuation(c) ? 0 : 1;
  return count;
}

std::size_t Utf8PrefixSize(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t seen = 0; pos < text.size(); ++pos) {
    if (!IsContinuation(text[pos]) && seen++ == count) break;
  }
  return pos;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace platform
