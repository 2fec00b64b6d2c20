// Text forms of the header codes and genres, and the blank stripping of tag texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zodizidu {

// Text forms of the header codes.
std::string VersionText(std::uint8_t version);  // "Unknown", "1.0", "2.0", "2.5"
std::string LayerText(std::uint8_t layer);      // "Unknown", "I", "II", "III"
std::string ModeText(std::uint8_t mode);        // "Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"

// The genre name of codes 0..125; "Unknown" for every other code.
std::string GenreText(std::uint8_t genreNr);

// Cuts at the first NUL, then drops trailing blanks and NULs.
std::string StripRight(std::string_view text);
// Drops leading blanks.
std::string StripLeft(std::string_view text);
// StripRight, then StripLeft.
std::string Strip(std::string_view text);

}  // namespace zodizidu
