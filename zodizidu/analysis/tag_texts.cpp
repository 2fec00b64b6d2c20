// Texts of the tag fields and header codes: stripping, genre names, version/layer/mode names.
#include "zodizidu/analysis/tag_texts.h"

#include <array>
#include <string_view>

#include "zodizidu/analysis/genre_table.h"
#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu {

namespace {

constexpr std::array<std::string_view, 4> kVersionTexts{"Unknown", "1.0", "2.0", "2.5"};
constexpr std::array<std::string_view, 4> kLayerTexts{"Unknown", "I", "II", "III"};
constexpr std::array<std::string_view, 4> kModeTexts{"Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"};
constexpr std::string_view kUnknown = "Unknown";

std::string TextOf(const std::array<std::string_view, 4>& table, std::uint8_t code) {
  return std::string(code < table.size() ? table[code] : kUnknown);
}

}  // namespace

std::string VersionText(std::uint8_t version) { return TextOf(kVersionTexts, version); }
std::string LayerText(std::uint8_t layer) { return TextOf(kLayerTexts, layer); }
// The mode has two bits, so no other code can come from a header; a stray one reads "Unknown".
std::string ModeText(std::uint8_t mode) { return TextOf(kModeTexts, mode); }

std::string GenreText(std::uint8_t genreNr) {
  return std::string(genreNr < kGenreTable.size() ? kGenreTable[genreNr] : kUnknown);
}

std::string StripRight(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const auto last = text.find_last_not_of(std::string_view(" \0", 2));
  return std::string(text.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

std::string StripLeft(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  return std::string(first == std::string_view::npos ? std::string_view() : text.substr(first));
}

std::string Strip(std::string_view text) { return StripLeft(StripRight(text)); }

}  // namespace zodizidu
