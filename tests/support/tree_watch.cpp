// inotify on every folder of the tree, and a snapshot of it by stat and checksum.
#include "tests/support/tree_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace testsupport {
namespace {

constexpr std::uint32_t kWatched = IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                   IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;

std::string EventName(std::uint32_t mask) {
  std::string names;
  const auto add = [&](std::uint32_t bit, const char* name) {
    if (mask & bit) names += names.empty() ? name : std::string("|") + name;
  };
  add(IN_MODIFY, "modified");
  add(IN_CREATE, "created");
  add(IN_DELETE, "deleted");
  add(IN_MOVED_FROM, "moved away");
  add(IN_MOVED_TO, "moved in");
  add(IN_ATTRIB, "attributes changed");
  add(IN_CLOSE_WRITE, "closed after writing");
  add(IN_DELETE_SELF, "folder deleted");
  add(IN_MOVE_SELF, "folder moved");
  add(IN_Q_OVERFLOW, "events lost");
  return names;
}

unsigned long long Checksum(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned long long hash = 1469598103934665603ull;  // FNV-1a
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    }
  }
  return hash;
}

}  // namespace

TreeWatch::TreeWatch(const std::filesystem::path& root) : root_(root) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("inotify_init1 failed");
  WatchFolder("");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
    const std::string relative = std::filesystem::relative(entry.path(), root_).string();
    State state;
    if (Examine(entry.path(), state, true)) before_[relative] = state;
    if (state.folder) WatchFolder(relative);
  }
}

TreeWatch::~TreeWatch() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t TreeWatch::Files() const {
  std::size_t files = 0;
  for (const auto& [name, state] : before_) files += state.folder ? 0 : 1;
  return files;
}

bool TreeWatch::Examine(const std::filesystem::path& path, State& state, bool withContents) {
  struct stat facts {};
  if (::lstat(path.c_str(), &facts) != 0) return false;
  state.folder = S_ISDIR(facts.st_mode);
  state.mode = facts.st_mode;
  state.uid = facts.st_uid;
  state.gid = facts.st_gid;
  state.size = state.folder ? 0 : facts.st_size;  // a folder's size follows its entries' bookkeeping
  state.modified = facts.st_mtim.tv_sec * 1000000000LL + facts.st_mtim.tv_nsec;
  state.changed = facts.st_ctim.tv_sec * 1000000000LL + facts.st_ctim.tv_nsec;
  state.checksum = withContents && S_ISREG(facts.st_mode) ? Checksum(path) : 0;
  return true;
}

void TreeWatch::WatchFolder(const std::filesystem::path& folder) {
  const int wd = inotify_add_watch(fd_, (root_ / folder).c_str(), kWatched);
  if (wd < 0) throw std::runtime_error("inotify_add_watch failed for " + (root_ / folder).string());
  folders_[wd] = folder.string();
}

void TreeWatch::Drain(const std::function<bool(const std::string&)>& allowed, std::vector<std::string>& changes) {
  alignas(inotify_event) char buffer[16 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) return;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_IGNORED) continue;
      std::filesystem::path relative = folders_.count(event->wd) ? folders_[event->wd] : "?";
      if (event->len > 0) relative /= event->name;
      const std::string name = relative.lexically_normal().string();
      if (allowed && allowed(name)) continue;
      if (event->mask == IN_ATTRIB || event->mask == (IN_ATTRIB | IN_ISDIR)) {
        State now;
        const auto noted = before_.find(name == "." ? "" : name);
        if (noted != before_.end() && Examine(root_ / relative, now, false)) {
          State was = noted->second;
          was.checksum = 0;
          if (now == was) continue;  // only the access time moved
        }
      }
      changes.push_back(name + ": " + EventName(event->mask & ~IN_ISDIR));
    }
  }
}

std::vector<std::string> TreeWatch::Changes(const std::function<bool(const std::string&)>& allowed) {
  std::vector<std::string> changes;
  Drain(allowed, changes);
  std::map<std::string, State> after;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
    const std::string relative = std::filesystem::relative(entry.path(), root_).string();
    State state;
    if (Examine(entry.path(), state, true)) after[relative] = state;
  }
  for (const auto& [name, state] : before_) {
    if (allowed && allowed(name)) continue;
    const auto now = after.find(name);
    if (now == after.end()) {
      changes.push_back(name + ": gone");
    } else if (!(now->second == state)) {
      changes.push_back(name + ": differs from before");
    }
  }
  for (const auto& [name, state] : after) {
    if (!before_.count(name) && !(allowed && allowed(name))) changes.push_back(name + ": new");
  }
  return changes;
}

}  // namespace testsupport
