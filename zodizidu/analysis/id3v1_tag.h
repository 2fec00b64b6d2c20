// The 128-byte ID3v1 tag at the end of an MP3 file, read into the tag fields of a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu {

inline constexpr std::size_t kId3v1Size = 128;

// Fills the tag fields of `data` from the last 128 bytes of a file. When `block` does not begin
// with "TAG" (or is shorter than a tag) only Title changes: it becomes `fileNamePart` (cut to 30).
void ReadId3v1Tag(std::span<const std::uint8_t> block, std::string_view fileNamePart, TMPEGData& data);

}  // namespace zodizidu
