// --with-decoder: the decoder library installed with albaindex placed into the compilation, so
// that the compilation plays where it lies (the program's start-up check wants MPEGDLL.DLL there).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace albaindex {

inline constexpr const char* kDecoderName = "MPEGDLL.DLL";
inline constexpr mode_t kLibraryMode = 0755;

// The installed decoder library: MPEGDLL.DLL beside the running program (a build folder), else
// in the program's private folder of an installation (ALBAVOX_PRIVATE_FROM_BIN, relative to the
// folder of albaindex). Empty when there is none.
std::string InstalledDecoder();

// What placing `source` into `folder` would do. `target` is the compilation's MPEGDLL.DLL as the
// program finds it (any letter case), or FOLDER/MPEGDLL.DLL when there is none.
struct DecoderPlan {
  std::string target;
  bool copy = false;  // false: the same library is there already
  std::string error;  // why it cannot be done, or ""
};

// A different file already there is only replaced with `force`.
DecoderPlan PlanDecoderCopy(const std::string& folder, const std::string& source, bool force);

// The bytes of the installed library `source`; nothing, with the reason in `error`, when it cannot
// be read.
std::optional<std::vector<std::uint8_t>> ReadDecoder(const std::string& source, std::string& error);

}  // namespace albaindex
