// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

  // Writes `bytes` to `relative` (parent folders are made), returns the full path.
  std::filesystem::path WriteFile(std::string_view relative, std::string_view bytes) const;
  // Makes the folder `relative` and its parents, returns the full path.
  std::filesystem::path MakeDir(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

// Makes `dir` the current directory for the lifetime of the object.
class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir);
  ~ScopedCurrentDir();
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

 private:
  std::filesystem::path previous_;
};

// True when the process runs as root, where permission bits do not stop reads.
bool RunningAsRoot();

}  // namespace testsupport
