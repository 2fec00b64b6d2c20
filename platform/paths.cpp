// Path names as the program builds them, found on a file system that distinguishes letter case.
#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/detail/case_fold.h"
#include "platform/detail/dir_reader.h"
#include "platform/text.h"

namespace platform {

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `dir` that stands for `wanted` (a component that does not exist as written):
// a case-insensitive match of the name, else of its UTF-8 form when the name is not UTF-8.
// Among several candidates the lowest in byte order wins, so the choice never depends on
// the order the directory yields its entries. Empty when nothing matches.
std::string MatchInDirectory(const std::string& dir, const std::string& wanted, const std::string& wantedUtf8) {
  detail::DirReader reader(dir.empty() ? std::string(".") : dir);
  std::string best;
  int bestRank = 3;
  while (const char* entry = reader.Next()) {
    const std::string_view name(entry);
    int rank;
    if (detail::EqualIgnoringCase(name, wanted))
      rank = 1;
    else if (!wantedUtf8.empty() && detail::EqualIgnoringCase(name, wantedUtf8))
      rank = 2;
    else
      continue;
    if (rank < bestRank || (rank == bestRank && name < best)) {
      best.assign(name);
      bestRank = rank;
    }
  }
  return best;
}

// One component appended to a path under construction.
void Append(std::string& path, std::string_view component) {
  if (!path.empty() && path.back() != '/') path += '/';
  path += component;
}

}  // namespace

std::string ResolvePath(std::string_view path) {
  std::string written(path);
  if (written.empty() || Exists(written)) return written;

  std::string resolved = path.front() == '/' ? "/" : "";
  bool lost = false;  // once a component matches nothing, the rest is kept as written
  std::size_t start = resolved.size();
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string component(path.substr(start, end - start));
    const bool last = end == path.size();

    if (component.empty()) {
      // Doubled or trailing separators are kept as they are.
      if (!last || (!resolved.empty() && resolved.back() != '/')) resolved += '/';
    } else {
      std::string candidate = resolved;
      Append(candidate, component);
      if (!lost && component != "." && component != ".." && !Exists(candidate)) {
        const std::string utf8 = IsValidUtf8(component) ? std::string() : ToUtf8(component);
        std::string utf8Candidate = resolved;
        Append(utf8Candidate, utf8);
        if (!utf8.empty() && Exists(utf8Candidate)) {
          candidate = std::move(utf8Candidate);
        } else {
          const std::string match = MatchInDirectory(resolved, component, utf8);
          if (match.empty()) {
            lost = true;
          } else {
            candidate = resolved;
            Append(candidate, match);
          }
        }
      }
      resolved = std::move(candidate);
    }
    start = end + 1;
  }
  return resolved;
}

std::string FullPathName(std::string_view path) {
  std::string joined;
  if (path.empty() || path.front() != '/') {
    std::string cwd(256, '\0');
    while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
      if (errno != ERANGE) return std::string(path);
      cwd.resize(cwd.size() * 2);
    }
    joined = cwd.c_str();
    joined += '/';
  }
  joined += path;

  std::vector<std::string_view> parts;
  std::string_view rest(joined);
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }

  std::string full;
  for (std::string_view part : parts) {
    full += '/';
    full += part;
  }
  if (full.empty()) return "/";
  // A name that ends in a separator (or in "." / "..") still names a folder.
  const bool folder =
      path.ends_with('/') || path.ends_with("/.") || path.ends_with("/..") || path == "." || path == "..";
  if (folder && !path.empty()) full += '/';
  return full;
}

std::string NamePart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DirPart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat info {};
  return ::stat(ResolvePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat info {};
  return ::stat(ResolvePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool LeavesRoot(std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> FindMatching(std::string_view pattern) {
  std::vector<std::string> names;
  const std::string dir = DirPart(pattern);
  const std::string namePattern = NamePart(pattern);
  if (namePattern.empty()) return names;

  detail::DirReader reader(dir.empty() ? std::string(".") : ResolvePath(dir));
  while (const char* entry = reader.Next()) {
    const std::string_view name(entry);
    if (name == "." || name == "..") continue;
    if (WildcardMatch(namePattern, name)) names.emplace_back(name);
  }
  return names;
}

}  // namespace platform
