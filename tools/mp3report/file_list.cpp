// Finding the MP3 files under the folders named, in the order of a song list.
#include "tools/mp3report/file_list.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "platform/paths.h"
#include "platform/text.h"

namespace mp3report {

namespace {

namespace fs = std::filesystem;

// The path of `name` inside the folder `dir` as the user would write it.
std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

class Collector {
 public:
  explicit Collector(FileList& list) : list_(list) {}

  void AddFile(const std::string& path) {
    if (seen_.insert(platform::FullPathName(path)).second) list_.files.push_back(path);
  }

  void AddFolder(const std::string& dir) {
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? "." : dir, ec);
    if (ec) {
      list_.unreadableFolders.push_back(dir);
      return;
    }
    std::vector<std::string> files;
    std::vector<std::string> folders;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      if (ec) break;
      const std::string name = it->path().filename().string();
      std::error_code typeError;
      if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
        folders.push_back(name);
      } else if (platform::WildcardMatch("*.mp3", name) && !it->is_directory(typeError)) {
        files.push_back(name);
      }
    }
    if (ec) list_.unreadableFolders.push_back(dir);
    std::sort(files.begin(), files.end(), NameLess);
    std::sort(folders.begin(), folders.end(), NameLess);
    for (const std::string& name : files) AddFile(Join(dir, name));
    for (const std::string& name : folders) AddFolder(Join(dir, name));
  }

 private:
  FileList& list_;
  std::set<std::string> seen_;
};

}  // namespace

bool NameLess(std::string_view a, std::string_view b) {
  const std::string la = platform::AsciiLower(a);
  const std::string lb = platform::AsciiLower(b);
  if (la != lb) return la < lb;
  return a < b;
}

FileList CollectFiles(const std::vector<std::string>& paths) {
  FileList list;
  Collector collector(list);
  for (const std::string& path : paths) {
    std::error_code ec;
    if (fs::is_directory(path, ec))
      collector.AddFolder(path);
    else
      collector.AddFile(path);
  }
  return list;
}

}  // namespace mp3report
