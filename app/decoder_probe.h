// The start-up check that the compilation carries its decoder library.
#pragma once

#include <string>

#include "platform/library.h"

namespace app {

// The decoder library's file name in the compilation root.
inline constexpr const char* kDecoderLibraryName = "MPEGDLL.DLL";

// The check: a file "MPEGDLL.DLL" (any letter case) lies in the current directory, the
// compilation, and the program's own library of that name (the one in its own folder; the
// compilation's file is never loaded) can be loaded. The library stays loaded while the object
// lives, so that loading it for playing right after costs nothing more.
class DecoderProbe {
 public:
  DecoderProbe();
  ~DecoderProbe();
  DecoderProbe(const DecoderProbe&) = delete;
  DecoderProbe& operator=(const DecoderProbe&) = delete;

  bool Passed() const { return library_ != nullptr; }
  // Why the program's own library could not be loaded: the file tried and the loader's reason.
  // Empty when it loaded, and when the compilation holds no such file (then it is not tried).
  const std::string& LoadError() const { return loadError_; }

 private:
  platform::LibraryHandle library_ = nullptr;
  std::string loadError_;
};

}  // namespace app
