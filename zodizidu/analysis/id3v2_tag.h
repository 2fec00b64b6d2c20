// The ID3v2 tag that may stand in front of the first frame of an MP3 file: only its extent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zodizidu {

// Bytes of an ID3v2 header (and of its footer).
inline constexpr std::size_t kId3v2HeaderSize = 10;

// The whole length in bytes (header, body with padding, footer) of the ID3v2 tag whose header
// `header` holds; 0 when the bytes are not a well-formed header: "ID3", a major version of 2 to
// 4, a revision below 255, no flag bit that its version leaves undefined, and a synch-safe size
// (no byte above 127). The footer counts only in version 4, where flag bit 4 announces it.
std::int64_t Id3v2TagLength(std::span<const std::uint8_t> header);

}  // namespace zodizidu
