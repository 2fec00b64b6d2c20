// Loading a shared library by name, only from where the program's own libraries lie.
#pragma once

#include <string>
#include <string_view>

namespace platform {

using LibraryHandle = void*;

// Loads `name`. A bare name (no '/') is loaded only from the program's own folder
// (LibraryFolder()), matched there without regard to letter case: never from the current
// folder, which is the compilation (a disc or a downloaded folder), and never by the system's
// search rules. A name with a folder is loaded from that folder, its components matched the
// same way. Returns nullptr on failure; LastLibraryError() then names the file tried and why.
LibraryHandle LoadLibrary(std::string_view name);

// The address of `symbol`, or nullptr.
void* GetProcAddress(LibraryHandle library, const char* symbol);

// Releases a library loaded by LoadLibrary; nullptr is ignored.
void FreeLibrary(LibraryHandle library);

// The directory holding the running executable, with a trailing '/' (empty when unknown).
std::string ExecutableDir();

// The folder a bare library name is loaded from, with a trailing '/': the executable's
// directory, unless a ScopedLibraryFolder names another.
std::string LibraryFolder();

// While alive, `folder` is the program's own folder for LoadLibrary (a test runs the window as a
// program whose folder it fills itself). Scopes nest; each restores the folder before it.
class ScopedLibraryFolder {
 public:
  explicit ScopedLibraryFolder(std::string folder);
  ~ScopedLibraryFolder();
  ScopedLibraryFolder(const ScopedLibraryFolder&) = delete;
  ScopedLibraryFolder& operator=(const ScopedLibraryFolder&) = delete;

 private:
  std::string previous_;
};

// Why the last LoadLibrary of this thread failed, beginning with the path of the file it tried
// ("/usr/lib/albavox/MPEGDLL.DLL: invalid ELF header"); empty after a success.
std::string LastLibraryError();

}  // namespace platform
