// Reading the names of one directory, one readdir pass, closed on every path.
#pragma once

#include <dirent.h>

#include <string>

namespace platform::detail {

class DirReader {
 public:
  // Opens `dir`; a directory that cannot be opened simply yields no names.
  explicit DirReader(const std::string& dir) : dir_(::opendir(dir.c_str())) {}
  ~DirReader() {
    if (dir_) ::closedir(dir_);
  }
  DirReader(const DirReader&) = delete;
  DirReader& operator=(const DirReader&) = delete;

  bool IsOpen() const { return dir_ != nullptr; }

  // The next entry name ("." and ".." included), or nullptr at the end or on a read error.
  const char* Next() {
    if (!dir_) return nullptr;
    const dirent* entry = ::readdir(dir_);
    return entry ? entry->d_name : nullptr;
  }

 private:
  DIR* dir_;
};

}  // namespace platform::detail
