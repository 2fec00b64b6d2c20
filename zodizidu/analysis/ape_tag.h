// The APE tag (version 1 or 2) that may stand at the end of an MP3 file: only its extent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zodizidu {

// Bytes of an APE tag footer (and of its header).
inline constexpr std::size_t kApeFooterSize = 32;

// The whole length in bytes (header when present, items, footer) of the APE tag whose 32-byte
// footer `footer` holds; 0 when the bytes are not a footer: "APETAGEX", version 1000 or 2000, a
// size (little-endian, items and footer) of at least the footer, and not the header's flag bit.
// The header adds 32 bytes when a version 2000 tag's flags say it has one.
std::int64_t ApeTagLength(std::span<const std::uint8_t> footer);

}  // namespace zodizidu
