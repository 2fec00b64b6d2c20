// The loaded decoder library and its 19 entry points, bound by name.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string>

#include "mpegdll/mpegdll.h"
#include "platform/library.h"

namespace player::detail {

// The entry points in binding order (the order of MPEGDLL_ENTRY_POINT_NAMES).
enum class EntryPoint : std::size_t {
  init,
  deinit,
  Open,
  Pause,
  Restart,
  Stop,
  SetPriority,
  SetOutputDevice,
  Play,
  Close,
  GetPlayerMode,
  GetCurrentPos,
  GetLength,
  GetFrequency,
  GetBitrate,
  GetLayer,
  ResetPlayerMode,
  Seek,
  LastError,
  Count
};

inline constexpr std::size_t kEntryPointCount = static_cast<std::size_t>(EntryPoint::Count);
inline constexpr std::array<const char*, kEntryPointCount> kEntryPointNames = {MPEGDLL_ENTRY_POINT_NAMES};

class DecoderBinding {
 public:
  enum class LoadResult { kLoaded, kCannotLoad, kMissingEntryPoint };

  DecoderBinding() = default;
  DecoderBinding(const DecoderBinding&) = delete;
  DecoderBinding& operator=(const DecoderBinding&) = delete;

  // Loads `fileName` and binds every entry point; a library missing one is released again.
  LoadResult Load(const std::string& fileName);
  // Releases the library and forgets every entry point.
  void Release();

  bool Loaded() const { return handle_ != nullptr; }
  bool Bound(EntryPoint entry) const { return entries_[Index(entry)] != nullptr; }

  // The entry point as a function of type `Function` (one of the MpegDll_*_t types).
  template <typename Function>
  Function Get(EntryPoint entry) const {
    Function function = nullptr;
    void* address = entries_[Index(entry)];
    static_assert(sizeof(function) == sizeof(address));
    std::memcpy(&function, &address, sizeof(function));
    return function;
  }

 private:
  static constexpr std::size_t Index(EntryPoint entry) { return static_cast<std::size_t>(entry); }

  platform::LibraryHandle handle_ = nullptr;
  std::array<void*, kEntryPointCount> entries_{};
};

}  // namespace player::detail
