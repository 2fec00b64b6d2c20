// Replacing FOLDER/ALBUMS.INF in one step, so a reader sees the old index or the new one.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace albaindex {

inline constexpr const char* kIndexName = "ALBUMS.INF";

// Writes `bytes` to a temporary file in `folder`, flushes it to the disk and renames it over
// `folder`/ALBUMS.INF. Returns why it failed (the temporary file is then removed), or "".
std::string WriteIndexFile(const std::string& folder, std::span<const std::uint8_t> bytes);

}  // namespace albaindex
