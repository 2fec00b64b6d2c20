// The start-up check that the compilation carries its decoder library.
#pragma once

namespace app {

// The decoder library's file name in the compilation root.
inline constexpr const char* kDecoderLibraryName = "MPEGDLL.DLL";

// True when a file "MPEGDLL.DLL" (any letter case) lies in the current directory and a library
// of that name can be loaded (the one beside the executable is tried first).
bool ProbeDecoder();

}  // namespace app
