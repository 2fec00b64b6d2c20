// Reading ALBUMS.INF: the header record, then album records up to the last complete one.
#include "app/album_index.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

namespace app {

namespace {

using Record = std::array<std::uint8_t, kAlbumRecordSize>;

constexpr std::size_t kNameLengthOffset = 0;
constexpr std::size_t kNameOffset = 1;
constexpr std::size_t kFlagOffset = 256;
constexpr std::string_view kReadBeyondEnd = "Read beyond end of file";

std::string NameOf(const Record& record) {
  const std::size_t length = record[kNameLengthOffset];  // at most 255: always inside the record
  return std::string(reinterpret_cast<const char*>(record.data() + kNameOffset), length);
}

std::int32_t FlagOf(const Record& record) {
  const std::uint32_t bits = static_cast<std::uint32_t>(record[kFlagOffset]) |
                             static_cast<std::uint32_t>(record[kFlagOffset + 1]) << 8 |
                             static_cast<std::uint32_t>(record[kFlagOffset + 2]) << 16 |
                             static_cast<std::uint32_t>(record[kFlagOffset + 3]) << 24;
  return static_cast<std::int32_t>(bits);
}

// Reads the next record into its argument; false (with the reason in `error`) when it cannot.
using RecordSource = std::function<bool(Record&, std::string& error)>;

// The header, then at least one album record, then more while complete records remain.
AlbumIndex ReadRecords(std::size_t recordCount, const RecordSource& next) {
  AlbumIndex index;
  index.entries.reserve(recordCount > 0 ? recordCount - 1 : 0);
  Record record{};
  std::size_t position = 0;
  auto read = [&] {
    if (position >= recordCount) {
      index.error = kReadBeyondEnd;
      return false;
    }
    ++position;
    return next(record, index.error);
  };
  if (!read()) return index;
  if (FlagOf(record) == 1) index.title = NameOf(record);
  do {
    if (!read()) return index;
    std::string name = NameOf(record);
    if (!TrimmedName(name).empty()) index.entries.push_back({std::move(name), FlagOf(record)});
  } while (position < recordCount);
  return index;
}

std::string OpenErrorText(int error) {
  switch (error) {
    case ENOENT: return "File not found";
    case EACCES:
    case EPERM: return "File access denied";
    default: return std::strerror(error);
  }
}

}  // namespace

std::string_view TrimmedName(std::string_view name) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!name.empty() && blank(name.front())) name.remove_prefix(1);
  while (!name.empty() && blank(name.back())) name.remove_suffix(1);
  return name;
}

AlbumIndex ParseAlbumIndex(std::span<const std::uint8_t> bytes) {
  std::size_t offset = 0;
  return ReadRecords(bytes.size() / kAlbumRecordSize, [&](Record& record, std::string&) {
    std::memcpy(record.data(), bytes.data() + offset, kAlbumRecordSize);
    offset += kAlbumRecordSize;
    return true;
  });
}

AlbumIndex ReadAlbumIndex(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    AlbumIndex failed;
    failed.error = OpenErrorText(errno);
    return failed;
  }
  struct stat facts {};
  if (::fstat(fd, &facts) != 0) facts.st_size = 0;
  const std::size_t recordCount = static_cast<std::size_t>(facts.st_size) / kAlbumRecordSize;
  // Records are taken from blocks of many at a time: an index of thousands of albums is read
  // with a handful of system calls.
  std::vector<std::uint8_t> block(kAlbumRecordSize * 256);
  std::size_t begin = 0;  // the unread bytes of the block are [begin, end)
  std::size_t end = 0;
  AlbumIndex index = ReadRecords(recordCount, [&](Record& record, std::string& error) {
    if (end - begin < kAlbumRecordSize) {
      std::memmove(block.data(), block.data() + begin, end - begin);
      end -= begin;
      begin = 0;
      while (end < kAlbumRecordSize) {
        const ssize_t got = ::read(fd, block.data() + end, block.size() - end);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
          error = std::strerror(errno);
          return false;
        }
        if (got == 0) {  // the file shrank while it was read
          error = kReadBeyondEnd;
          return false;
        }
        end += static_cast<std::size_t>(got);
      }
    }
    std::memcpy(record.data(), block.data() + begin, kAlbumRecordSize);
    begin += kAlbumRecordSize;
    return true;
  });
  ::close(fd);
  return index;
}

}  // namespace app
