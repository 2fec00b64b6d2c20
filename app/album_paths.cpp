// Paths inside the compilation.
#include "app/album_paths.h"

#include "platform/paths.h"

namespace app {

std::string AlbumFolder(std::string_view entryName) { return "./" + std::string(entryName); }

bool InsideCompilation(std::string_view path) {
  return path.find('\0') == std::string_view::npos && !platform::LeavesRoot(path);
}

}  // namespace app
