// What the file system tells about one file, in the forms the analysis records keep.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Attribute bits in the Windows encoding.
inline constexpr std::uint16_t kAttrReadOnly = 0x01;   // no write permission
inline constexpr std::uint16_t kAttrHidden = 0x02;     // name begins with '.'
inline constexpr std::uint16_t kAttrDirectory = 0x10;  // a directory
inline constexpr std::uint16_t kAttrArchive = 0x20;    // a regular file

// Modification time in local time, packed in the MS-DOS form (bits 31..25 year - 1980,
// 24..21 month, 20..16 day, 15..11 hour, 10..5 minute, 4..0 seconds / 2); 0 when the file
// cannot be examined. A time before 1980 or after 2107 is clamped to the first or last time the
// packed form holds.
std::int32_t DosFileStamp(std::string_view path);

// A modification time (seconds since 1970) packed and clamped as DosFileStamp does.
std::int32_t DosStampOf(std::time_t modified);

// The attribute bits above for `path`; 0 when it cannot be examined.
std::uint16_t FileAttributes(std::string_view path);

// The attribute bits of a file already examined: `info` from stat, `path` its resolved name and,
// when the file is open, `fd` (write permission is then asked of the open file).
std::uint16_t AttributeBits(const struct stat& info, std::string_view path, int fd = -1);

// The 8.3 short form of every component of the full path `path` (the names found on disk,
// after resolution as in paths.h; "/", "." and ".." stay); nothing when the path does not
// exist or a component cannot be formed.
std::optional<std::string> ShortPathName(std::string_view path);

// The 8.3 short form of one name: a name that already is a valid upper-case 8.3 name stays;
// otherwise leading dots, blanks and every dot but the last are dropped, "+,;=[]" and other
// characters an 8.3 name cannot hold (non-ASCII ones included) become '_', and the result is
// the first six characters of the base, upper-cased, + "~1" + "." + the first three of the
// extension (no dot without extension). Nothing when no character of the base is left.
std::optional<std::string> ShortName(std::string_view name);

}  // namespace platform
