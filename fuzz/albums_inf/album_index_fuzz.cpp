// libFuzzer target: any bytes as ALBUMS.INF are read without a crash, and the result keeps its rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "albums_inf/album_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const albums_inf::AlbumIndex index = albums_inf::ParseAlbumIndex({data, size});
  const std::size_t records = size / albums_inf::kRecordSize;
  // Every record after the header may give one album; a file of fewer than two records fails.
  if (index.entries.size() + 1 > (records > 1 ? records : 1)) std::abort();
  if (index.error.empty() != (records >= 2)) std::abort();
  for (const albums_inf::AlbumEntry& entry : index.entries) {
    if (entry.EntryName.size() > 255 || albums_inf::TrimmedName(entry.EntryName).empty()) std::abort();
  }
  return 0;
}
