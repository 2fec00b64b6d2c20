// libFuzzer target: any bytes as ALBUMS.INF are read without a crash, and the result keeps its rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/album_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const app::AlbumIndex index = app::ParseAlbumIndex({data, size});
  const std::size_t records = size / app::kAlbumRecordSize;
  // Every record after the header may give one album; a file of fewer than two records fails.
  if (index.entries.size() + 1 > (records > 1 ? records : 1)) std::abort();
  if (index.error.empty() != (records >= 2)) std::abort();
  for (const app::AlbumEntry& entry : index.entries) {
    if (entry.EntryName.size() > 255 || app::TrimmedName(entry.EntryName).empty()) std::abort();
  }
  return 0;
}
