// File time stamps, attributes and 8.3 short names in the forms the analysis records keep.
#include "platform/file_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/detail/case_fold.h"
#include "platform/paths.h"

namespace platform {

namespace {

// The name part of a path, trailing separators ignored ("a/b/" gives "b").
std::string_view LastComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Characters an 8.3 name holds besides upper-case letters and digits.
constexpr std::string_view kShortNameSpecials = "!#$%&'()-@^_`{}~";

bool IsShortNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || kShortNameSpecials.find(c) != std::string_view::npos;
}

bool IsShortNamePart(std::string_view part, std::size_t maxLength) {
  if (part.empty() || part.size() > maxLength) return false;
  for (char c : part)
    if (!IsShortNameChar(c)) return false;
  return true;
}

bool IsValidShortName(std::string_view name) {
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return IsShortNamePart(name, 8);
  return IsShortNamePart(name.substr(0, dot), 8) && IsShortNamePart(name.substr(dot + 1), 3);
}

// The characters of `text` as an 8.3 name keeps them, at most `maxLength` of them.
std::string ShortNameChars(std::string_view text, std::size_t maxLength) {
  std::string out;
  for (std::size_t pos = 0; pos < text.size() && out.size() < maxLength;) {
    const detail::NameChar c = detail::ReadNameChar(text, pos);
    pos += c.length;
    if (c.code == U' ' || c.code == U'.') continue;
    char kept = '_';
    if (c.code < 0x80) {
      const char ascii = static_cast<char>(c.code >= U'a' && c.code <= U'z' ? c.code - 32 : c.code);
      if (IsShortNameChar(ascii)) kept = ascii;
    }
    out += kept;
  }
  return out;
}

}  // namespace

std::int32_t DosFileStamp(std::string_view path) {
  struct stat info {};
  if (path.empty() || ::stat(ResolvePath(path).c_str(), &info) != 0) return 0;
  return DosStampOf(info.st_mtime);
}

std::int32_t DosStampOf(std::time_t modified) {
  // The packed form holds the years 1980 to 2107. A time outside them (a file dated 1970 by an
  // archive or a copy that lost its dates) is clamped to the nearest time the form holds: the
  // stamp still tells that the file's facts were read, which is what the analysis checks.
  constexpr std::uint32_t kEarliest = 0x00210000;  // 1980-01-01 00:00:00
  constexpr std::uint32_t kLatest = 0xFF9FBF7D;    // 2107-12-31 23:59:58
  std::tm local{};
  if (::localtime_r(&modified, &local) == nullptr) return static_cast<std::int32_t>(modified < 0 ? kEarliest : kLatest);
  const int year = local.tm_year + 1900;
  if (year < 1980) return static_cast<std::int32_t>(kEarliest);
  if (year > 2107) return static_cast<std::int32_t>(kLatest);
  const std::uint32_t packed =
      static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(local.tm_mon + 1) << 21 |
      static_cast<std::uint32_t>(local.tm_mday) << 16 | static_cast<std::uint32_t>(local.tm_hour) << 11 |
      static_cast<std::uint32_t>(local.tm_min) << 5 | static_cast<std::uint32_t>(std::min(local.tm_sec, 59) / 2);
  return static_cast<std::int32_t>(packed);
}

std::uint16_t FileAttributes(std::string_view path) {
  if (path.empty()) return 0;
  const std::string resolved = ResolvePath(path);
  struct stat info {};
  if (::stat(resolved.c_str(), &info) != 0) return 0;
  return AttributeBits(info, resolved);
}

std::uint16_t AttributeBits(const struct stat& info, std::string_view path, int fd) {
  std::uint16_t attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= kAttrDirectory;
  if (S_ISREG(info.st_mode)) attributes |= kAttrArchive;
  const std::string_view name = LastComponent(path);
  if (name.size() > 1 && name.front() == '.' && name != "..") attributes |= kAttrHidden;
  // Whether this process may write the file: asked of the open file when there is one.
  int denied = -1;
  if (fd >= 0) denied = ::faccessat(fd, "", W_OK, AT_EACCESS | AT_EMPTY_PATH);
  if (fd < 0 || (denied != 0 && errno == EINVAL)) {
    denied = ::faccessat(AT_FDCWD, std::string(path).c_str(), W_OK, AT_EACCESS);
  }
  if (denied != 0 && (errno == EACCES || errno == EROFS)) attributes |= kAttrReadOnly;
  return attributes;
}

std::optional<std::string> ShortName(std::string_view name) {
  if (name == "." || name == ".." || IsValidShortName(name)) return std::string(name);
  while (!name.empty() && name.front() == '.') name.remove_prefix(1);
  std::string_view base = name;
  std::string_view extension;
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    base = name.substr(0, dot);
    extension = name.substr(dot + 1);
  }
  std::string shortName = ShortNameChars(base, 6);
  if (shortName.empty()) return std::nullopt;
  shortName += "~1";
  const std::string shortExtension = ShortNameChars(extension, 3);
  if (!shortExtension.empty()) shortName += '.' + shortExtension;
  return shortName;
}

std::optional<std::string> ShortPathName(std::string_view path) {
  if (path.empty()) return std::nullopt;
  const std::string resolved = ResolvePath(path);
  struct stat info {};
  if (::lstat(resolved.c_str(), &info) != 0) return std::nullopt;

  std::string result;
  std::string_view rest(resolved);
  while (true) {
    const std::size_t slash = rest.find('/');
    const std::string_view component = rest.substr(0, slash);
    if (!component.empty()) {
      const std::optional<std::string> shortName = ShortName(component);
      if (!shortName) return std::nullopt;
      result += *shortName;
    }
    if (slash == std::string_view::npos) break;
    result += '/';
    rest.remove_prefix(slash + 1);
  }
  return result;
}

}  // namespace platform
