// The facts of a cover file that say whether it changed.
#include "app/cover_slot.h"

#include <sys/stat.h>

namespace app {

std::optional<CoverFileFacts> ExamineCoverFile(const std::string& resolvedPath) {
  struct stat info {};
  if (::stat(resolvedPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return CoverFileFacts{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

}  // namespace app
