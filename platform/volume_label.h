// The label of the file system that holds a file: what the drive's volume label was.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The label of the file system that holds `path` (its mount source looked up in
// /dev/disk/by-label); empty when unknown.
std::string VolumeLabel(std::string_view path);

}  // namespace platform
