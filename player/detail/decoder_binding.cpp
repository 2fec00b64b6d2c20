// Loading the decoder library and binding its entry points.
#include "player/detail/decoder_binding.h"

namespace player::detail {

DecoderBinding::LoadResult DecoderBinding::Load(const std::string& fileName) {
  Release();
  platform::LibraryHandle handle = platform::LoadLibrary(fileName);
  if (!handle) return LoadResult::kCannotLoad;
  std::array<void*, kEntryPointCount> entries{};
  for (std::size_t i = 0; i < kEntryPointCount; ++i) {
    entries[i] = platform::GetProcAddress(handle, kEntryPointNames[i]);
    if (!entries[i]) {
      platform::FreeLibrary(handle);
      return LoadResult::kMissingEntryPoint;
    }
  }
  handle_ = handle;
  entries_ = entries;
  return LoadResult::kLoaded;
}

void DecoderBinding::Release() {
  if (handle_) platform::FreeLibrary(handle_);
  handle_ = nullptr;
  entries_.fill(nullptr);
}

}  // namespace player::detail
