// Reading ALBUMS.INF: the header record, then album records up to the last complete one.
#include "albums_inf/album_index.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

#include "albums_inf/index_record.h"
#include "platform/interrupted.h"
#include "platform/regular_file.h"

namespace albums_inf {

namespace {

using RecordBytes = std::array<std::uint8_t, kRecordSize>;

constexpr std::string_view kReadBeyondEnd = "Read beyond end of file";

// Reads the next record into its argument; false (with the reason in `error`) when it cannot.
using RecordSource = std::function<bool(RecordBytes&, std::string& error)>;

// The header, then at least one album record, then more while complete records remain.
AlbumIndex ReadRecords(std::size_t recordCount, const RecordSource& next) {
  AlbumIndex index;
  index.entries.reserve(recordCount > 0 ? recordCount - 1 : 0);
  RecordBytes record{};
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
  if (Record header = DecodeRecord(record); header.flag == kTitleFlag) index.title = std::move(header.name);
  do {
    if (!read()) return index;
    Record album = DecodeRecord(record);
    if (!TrimmedName(album.name).empty()) index.entries.push_back({std::move(album.name), album.flag});
  } while (position < recordCount);
  return index;
}

std::string OpenErrorText(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO: return "File not found";  // ENXIO: a FIFO, a device or a socket, which is no index
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
  return ReadRecords(bytes.size() / kRecordSize, [&](RecordBytes& record, std::string&) {
    std::memcpy(record.data(), bytes.data() + offset, kRecordSize);
    offset += kRecordSize;
    return true;
  });
}

AlbumIndex ReadAlbumIndex(const std::string& path) {
  const int fd = platform::OpenRegularFile(path);
  if (fd < 0) {
    AlbumIndex failed;
    failed.error = OpenErrorText(errno);
    return failed;
  }
  struct stat facts {};
  if (::fstat(fd, &facts) != 0) facts.st_size = 0;
  const std::size_t recordCount = static_cast<std::size_t>(facts.st_size) / kRecordSize;
  // Records are taken from blocks of many at a time: an index of thousands of albums is read
  // with a handful of system calls.
  std::vector<std::uint8_t> block(kRecordSize * 256);
  std::size_t begin = 0;  // the unread bytes of the block are [begin, end)
  std::size_t end = 0;
  AlbumIndex index = ReadRecords(recordCount, [&](RecordBytes& record, std::string& error) {
    if (end - begin < kRecordSize) {
      std::memmove(block.data(), block.data() + begin, end - begin);
      end -= begin;
      begin = 0;
      while (end < kRecordSize) {
        const ssize_t got =
            platform::RetryInterrupted([&] { return ::read(fd, block.data() + end, block.size() - end); });
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
    std::memcpy(record.data(), block.data() + begin, kRecordSize);
    begin += kRecordSize;
    return true;
  });
  ::close(fd);
  return index;
}

}  // namespace albums_inf
