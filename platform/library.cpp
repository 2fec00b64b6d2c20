// Loading shared libraries by name, searched where the program's Windows original looked first.
#include "platform/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

#include "platform/paths.h"

namespace platform {

namespace {

thread_local std::string t_lastError;

// Loads `file`. A name with a folder is made absolute first: the loader knows libraries by the
// name they were opened with, so a relative "./X.DLL" opened again from another current folder
// would give back the first folder's library.
LibraryHandle Open(const std::string& file) {
  const std::string path = file.find('/') != std::string::npos && file.front() != '/' ? FullPathName(file) : file;
  LibraryHandle handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    t_lastError = why ? why : "cannot load " + file;
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
  const std::string written(name);
  if (written.find('/') != std::string::npos) {
    LibraryHandle handle = Open(ResolvePath(written));
    if (handle) t_lastError.clear();
    return handle;
  }
  // A candidate that exists but cannot be loaded (a library built for another system) does not
  // end the search: the next place may hold one that loads.
  const std::array<std::string, 2> places = {ExecutableDir(), std::string("./")};
  for (const std::string& place : places) {
    if (place.empty()) continue;
    const std::string candidate = ResolvePath(place + written);
    if (!FileExists(candidate)) continue;
    if (LibraryHandle handle = Open(candidate)) {
      t_lastError.clear();
      return handle;
    }
  }
  LibraryHandle handle = Open(written);
  if (handle) t_lastError.clear();
  return handle;
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

std::string LastLibraryError() { return t_lastError; }

}  // namespace platform
