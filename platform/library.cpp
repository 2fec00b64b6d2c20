// Loading shared libraries by name from the program's own folder.
#include "platform/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include "platform/paths.h"

namespace platform {

namespace {

thread_local std::string t_lastError;

// The folder named by the innermost ScopedLibraryFolder; empty: the executable's.
std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

void Fail(const std::string& path, const std::string& why) {
  // The loader's text usually begins with the path already; a missing dependency it names instead.
  t_lastError = why.starts_with(path + ":") ? why : path + ": " + why;
}

// Loads the file at `path`, which names a folder. A relative path is made absolute first: the
// loader knows libraries by the name they were opened with, so a relative "./X.DLL" opened
// again from another current folder would give back the first folder's library.
LibraryHandle Open(std::string path) {
  if (path.front() != '/') path = FullPathName(path);
  // A FIFO or a device under the name would make the loader wait; a missing file says so plainly.
  if (!FileExists(path)) {
    Fail(path, "no such library file");
    return nullptr;
  }
  LibraryHandle handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    Fail(path, why ? why : "cannot be loaded");
  }
  return handle;
}

}  // namespace

LibraryHandle LoadLibrary(std::string_view name) {
  t_lastError.clear();
  if (name.empty()) {
    t_lastError = "no library name";
    return nullptr;
  }
  std::string path(name);
  if (path.find('/') == std::string::npos) {
    const std::string folder = LibraryFolder();
    if (folder.empty()) {
      t_lastError = path + ": the program's own folder is unknown";
      return nullptr;
    }
    path = folder + path;
  }
  return Open(ResolvePath(path));
}

void* GetProcAddress(LibraryHandle library, const char* symbol) {
  if (!library || !symbol) return nullptr;
  return ::dlsym(library, symbol);
}

void FreeLibrary(LibraryHandle library) {
  if (library) ::dlclose(library);
}

std::string ExecutableDir() {
  std::string target(256, '\0');
  while (true) {
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      break;
    }
    target.resize(target.size() * 2);
  }
  return DirPart(target);
}

std::string LibraryFolder() { return FolderOverride().empty() ? ExecutableDir() : FolderOverride(); }

ScopedLibraryFolder::ScopedLibraryFolder(std::string folder) : previous_(FolderOverride()) {
  if (!folder.empty() && !folder.ends_with('/')) folder += '/';
  FolderOverride() = std::move(folder);
}

ScopedLibraryFolder::~ScopedLibraryFolder() { FolderOverride() = previous_; }

std::string LastLibraryError() { return t_lastError; }

}  // namespace platform
