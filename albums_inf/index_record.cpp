// Encoding and decoding one ALBUMS.INF record.
#include "albums_inf/index_record.h"

#include <algorithm>

namespace albums_inf {

Record DecodeRecord(std::span<const std::uint8_t, kRecordSize> record) {
  Record decoded;
  const std::size_t length = record[kNameLengthOffset];  // at most 255: always inside the record
  decoded.name.assign(reinterpret_cast<const char*>(record.data() + kNameOffset), length);
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(record[kFlagOffset + i]) << (8 * i);
  decoded.flag = static_cast<std::int32_t>(bits);
  return decoded;
}

bool AppendRecord(std::vector<std::uint8_t>& index, std::string_view name, std::int32_t flag) {
  if (name.size() > kMaxNameLength) return false;
  const std::size_t start = index.size();
  index.resize(start + kRecordSize, 0);
  std::uint8_t* record = index.data() + start;
  record[kNameLengthOffset] = static_cast<std::uint8_t>(name.size());
  std::copy(name.begin(), name.end(), record + kNameOffset);
  const auto bits = static_cast<std::uint32_t>(flag);
  for (std::size_t i = 0; i < 4; ++i) record[kFlagOffset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return true;
}

}  // namespace albums_inf
