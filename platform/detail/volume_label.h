// The volume label lookup with its two system sources passed in, so tests can supply their own.
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

// The label of the file system holding the absolute path `path`: the source of the longest
// mount point of `mountinfo` (text in the form of /proc/self/mountinfo) that contains it,
// looked up among the links of `byLabelDir`; empty when unknown.
std::string VolumeLabelFrom(std::string_view path, std::string_view mountinfo, const std::string& byLabelDir);

// A name of /dev/disk/by-label with its "\xHH" escapes decoded.
std::string DecodeLabelName(std::string_view name);

}  // namespace platform::detail
