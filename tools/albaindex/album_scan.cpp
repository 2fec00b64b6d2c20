// Reading the compilation folder: one pass over it, one pass over each album.
#include "tools/albaindex/album_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/text.h"

namespace albaindex {

namespace {

// The entries of one folder with their kinds, closed on every path.
class Folder {
 public:
  explicit Folder(const std::string& path) : path_(path), dir_(::opendir(path.c_str())) {
    if (!dir_) error_ = errno;
  }
  ~Folder() {
    if (dir_) ::closedir(dir_);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // The next entry other than "." and "..", or nullptr at the end or on a read error.
  const dirent* Next() {
    if (!dir_) return nullptr;
    while (true) {
      errno = 0;
      const dirent* entry = ::readdir(dir_);
      if (!entry) {
        error_ = errno;
        return nullptr;
      }
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) return entry;
    }
  }

  // True when `entry` is a folder or a link to one (a dangling link or a loop is neither).
  bool IsFolder(const dirent* entry) const {
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat info {};
    return ::stat((path_ + "/" + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  std::string Error() const {
    return error_ ? "cannot read folder '" + path_ + "': " + std::strerror(error_) : std::string();
  }

 private:
  std::string path_;
  DIR* dir_;
  int error_ = 0;
};

bool IsDiscFolderName(std::string_view name) {
  const std::string upper = platform::AsciiUpper(name);
  return upper == "CD1" || upper == "CD2" || upper == "CD3" || upper == "CD4";
}

}  // namespace

AlbumScan ScanAlbums(const std::string& folder) {
  AlbumScan scan;
  Folder root(folder);
  while (const dirent* entry = root.Next()) {
    if (entry->d_name[0] == '.' || !root.IsFolder(entry)) continue;
    scan.albums.push_back({entry->d_name, false});
  }
  scan.error = root.Error();
  if (!scan.error.empty()) return scan;

  for (Album& album : scan.albums) {
    Folder albumFolder(folder + "/" + album.name);
    while (const dirent* entry = albumFolder.Next()) {
      if (IsDiscFolderName(entry->d_name) && albumFolder.IsFolder(entry)) {
        album.multiDisc = true;
        break;
      }
    }
    scan.error = albumFolder.Error();
    if (!scan.error.empty()) return scan;
  }
  std::sort(scan.albums.begin(), scan.albums.end(), [](const Album& a, const Album& b) { return a.name < b.name; });
  return scan;
}

}  // namespace albaindex
