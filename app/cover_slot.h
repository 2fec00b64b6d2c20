// The picture one cover page shows, kept with the facts of the file it was decoded from.
#pragma once

#include <sys/types.h>

#include <QPixmap>

#include <ctime>
#include <optional>
#include <string>

namespace app {

// What tells one state of a cover file from another: the file itself, its size and the time
// it was last changed (to the nanosecond).
struct CoverFileFacts {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::time_t changedSeconds = 0;
  long changedNanoseconds = 0;

  bool operator==(const CoverFileFacts&) const = default;
};

// The facts of the file at `resolvedPath`; nothing when it is missing or not a regular file.
std::optional<CoverFileFacts> ExamineCoverFile(const std::string& resolvedPath);

// Returning to the window shows a cover file that has not changed since it was decoded without
// decoding it again (a large picture costs a noticeable pause each time). A damaged file is
// remembered as such, with its reason.
class CoverSlot {
 public:
  // True when the slot holds what the file `path` gave while it had `facts`.
  bool Holds(const std::string& path, const CoverFileFacts& facts) const {
    return held_ && path_ == path && facts_ == facts;
  }
  void Keep(const std::string& path, const CoverFileFacts& facts, QPixmap pixmap, std::string error) {
    held_ = true;
    path_ = path;
    facts_ = facts;
    pixmap_ = std::move(pixmap);
    error_ = std::move(error);
  }
  void Forget() { *this = CoverSlot(); }

  const QPixmap& pixmap() const { return pixmap_; }  // null when the file could not be decoded
  const std::string& error() const { return error_; }

 private:
  bool held_ = false;
  std::string path_;
  CoverFileFacts facts_;
  QPixmap pixmap_;
  std::string error_;
};

}  // namespace app
