// Watches a folder tree for any change: every write, creation, removal, rename or change of
// attributes while watched (inotify on every folder), and every difference between the tree's
// state when the watch began and at the end (contents, sizes, modes, owners, change times).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

class TreeWatch {
 public:
  // Notes the state of every file and folder under `root` and starts watching every folder.
  explicit TreeWatch(const std::filesystem::path& root);
  ~TreeWatch();
  TreeWatch(const TreeWatch&) = delete;
  TreeWatch& operator=(const TreeWatch&) = delete;

  // Every change seen so far, as "relative/path: what" (empty when nothing changed). Names for
  // which `allowed` answers true are left out. An attribute event that leaves mode, owner,
  // modification and change time as they were (a read that only set the access time) is no change.
  std::vector<std::string> Changes(const std::function<bool(const std::string& relative)>& allowed = {});

  // Files noted at the start (the tree is not empty by mistake).
  std::size_t Files() const;

 private:
  struct State {
    bool folder = false;
    unsigned mode = 0, uid = 0, gid = 0;
    long long size = 0, modified = 0, changed = 0;  // times in nanoseconds
    unsigned long long checksum = 0;                // of a file's bytes
    bool operator==(const State&) const = default;
  };
  static bool Examine(const std::filesystem::path& path, State& state, bool withContents);
  void WatchFolder(const std::filesystem::path& folder);
  void Drain(const std::function<bool(const std::string&)>& allowed, std::vector<std::string>& changes);

  std::filesystem::path root_;
  int fd_ = -1;
  std::map<int, std::string> folders_;  // watch descriptor -> relative folder
  std::map<std::string, State> before_;
};

}  // namespace testsupport
