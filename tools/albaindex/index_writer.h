// Replacing FOLDER/ALBUMS.INF (or another file of FOLDER) in one step, so a reader sees the old
// file or the new one.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>

namespace albaindex {

inline constexpr const char* kIndexName = "ALBUMS.INF";

// Writes `bytes` to a temporary file in `folder`, flushes it to the disk and renames it over
// `folder`/ALBUMS.INF. Returns why it failed (the temporary file is then removed), or "".
std::string WriteIndexFile(const std::string& folder, std::span<const std::uint8_t> bytes);

// The same for any file `target` inside `folder`, created with the permissions `mode`.
std::string ReplaceFile(const std::string& folder, const std::string& target, std::span<const std::uint8_t> bytes,
                        mode_t mode);

}  // namespace albaindex
