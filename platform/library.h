// Loading a shared library by name as the program's Windows original searched for it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

using LibraryHandle = void*;

// Loads `name`. A bare name (no '/') is searched first in the directory of the running
// executable, then in the current directory (both ignoring letter case), then by the
// system's own rules. Returns nullptr on failure.
LibraryHandle LoadLibrary(std::string_view name);

// The address of `symbol`, or nullptr.
void* GetProcAddress(LibraryHandle library, const char* symbol);

// Releases a library loaded by LoadLibrary; nullptr is ignored.
void FreeLibrary(LibraryHandle library);

// The directory holding the running executable, with a trailing '/' (empty when unknown).
std::string ExecutableDir();

// Why the last LoadLibrary of this thread failed (the system's text), empty after a success.
std::string LastLibraryError();

}  // namespace platform
