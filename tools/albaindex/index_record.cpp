// Encoding of one ALBUMS.INF record.
#include "tools/albaindex/index_record.h"

#include <algorithm>

namespace albaindex {

bool AppendRecord(std::vector<std::uint8_t>& index, std::string_view name, std::int32_t flag) {
  if (name.size() > kMaxNameLength) return false;
  const std::size_t start = index.size();
  index.resize(start + kRecordSize, 0);
  std::uint8_t* record = index.data() + start;
  record[0] = static_cast<std::uint8_t>(name.size());
  std::copy(name.begin(), name.end(), record + 1);
  const auto bits = static_cast<std::uint32_t>(flag);
  for (std::size_t i = 0; i < 4; ++i) record[kFlagOffset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return true;
}

}  // namespace albaindex
