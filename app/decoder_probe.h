// The start-up check that the compilation carries its decoder library.
#pragma once

#include "platform/library.h"

namespace app {

// The decoder library's file name in the compilation root.
inline constexpr const char* kDecoderLibraryName = "MPEGDLL.DLL";

// The check: a file "MPEGDLL.DLL" (any letter case) lies in the current directory and a library of
// that name can be loaded (the one beside the executable is tried first). The library stays
// loaded while the object lives, so that loading it for playing right after costs nothing more.
class DecoderProbe {
 public:
  DecoderProbe();
  ~DecoderProbe();
  DecoderProbe(const DecoderProbe&) = delete;
  DecoderProbe& operator=(const DecoderProbe&) = delete;

  bool Passed() const { return library_ != nullptr; }

 private:
  platform::LibraryHandle library_ = nullptr;
};

}  // namespace app
