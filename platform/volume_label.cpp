// The volume label of the file system holding a file, from the mount table and the label links.
#include "platform/volume_label.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/detail/dir_reader.h"
#include "platform/detail/volume_label.h"
#include "platform/file_facts.h"
#include "platform/paths.h"

namespace platform {

namespace detail {

namespace {

struct Mount {
  std::string point;
  std::string source;
  unsigned major = 0;
  unsigned minor = 0;
};

// The mount table escapes blanks, tabs, newlines and backslashes as "\ooo" (three octal digits).
std::string DecodeOctalEscapes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const std::string_view digits = text.substr(i + 1, 3);
      bool octal = digits.size() == 3;
      for (char d : digits) octal = octal && d >= '0' && d <= '7';
      if (octal) {
        out += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t end = std::min(line.find(' ', pos), line.size());
    if (end > pos) fields.push_back(line.substr(pos, end - pos));
    pos = end + 1;
  }
  return fields;
}

// One line of the mount table: "id parent major:minor root point options [tags...] - type source ...".
bool ParseMountLine(std::string_view line, Mount& mount) {
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() < 7) return false;
  std::size_t separator = 6;
  while (separator < fields.size() && fields[separator] != "-") ++separator;
  if (separator + 2 >= fields.size()) return false;
  const std::string_view device = fields[2];
  const std::size_t colon = device.find(':');
  if (colon == std::string_view::npos) return false;
  mount.major = static_cast<unsigned>(std::strtoul(std::string(device.substr(0, colon)).c_str(), nullptr, 10));
  mount.minor = static_cast<unsigned>(std::strtoul(std::string(device.substr(colon + 1)).c_str(), nullptr, 10));
  mount.point = DecodeOctalEscapes(fields[4]);
  mount.source = DecodeOctalEscapes(fields[separator + 2]);
  return !mount.point.empty() && mount.point.front() == '/';
}

bool Contains(const std::string& mountPoint, std::string_view path) {
  if (mountPoint == "/") return true;
  return path.starts_with(mountPoint) && (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DecodeLabelName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
      const int high = HexValue(name[i + 2]);
      const int low = HexValue(name[i + 3]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 3;
        continue;
      }
    }
    out += name[i];
  }
  return out;
}

std::string VolumeLabelFrom(std::string_view path, std::string_view mountinfo, const std::string& byLabelDir) {
  Mount best;
  bool found = false;
  std::size_t pos = 0;
  while (pos < mountinfo.size()) {
    const std::size_t end = std::min(mountinfo.find('\n', pos), mountinfo.size());
    Mount mount;
    // A later mount on the same point hides the earlier one, hence ">=".
    if (ParseMountLine(mountinfo.substr(pos, end - pos), mount) && Contains(mount.point, path) &&
        (!found || mount.point.size() >= best.point.size())) {
      best = std::move(mount);
      found = true;
    }
    pos = end + 1;
  }
  if (!found) return {};

  const std::string source = best.source.starts_with('/') ? RealPath(best.source) : std::string();
  DirReader reader(byLabelDir);
  while (const char* entry = reader.Next()) {
    const std::string_view name(entry);
    if (name == "." || name == "..") continue;
    const std::string link = byLabelDir + "/" + entry;
    struct stat info {};
    const bool sameDevice = ::stat(link.c_str(), &info) == 0 && S_ISBLK(info.st_mode) &&
                            ::major(info.st_rdev) == best.major && ::minor(info.st_rdev) == best.minor;
    if (sameDevice || (!source.empty() && RealPath(link) == source)) return DecodeLabelName(name);
  }
  return {};
}

}  // namespace detail

std::string VolumeLabel(std::string_view path) {
  if (path.empty()) return {};
  const std::string resolved = ResolvePath(path);
  std::string full = detail::RealPath(resolved);
  if (full.empty()) full = FullPathName(resolved);
  std::ifstream in("/proc/self/mountinfo");
  if (!in) return {};
  std::ostringstream mountinfo;
  mountinfo << in.rdbuf();
  return detail::VolumeLabelFrom(full, mountinfo.str(), "/dev/disk/by-label");
}

}  // namespace platform
