// Opening the file of an analysis and reading the facts the record keeps about it.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace zodizidu::detail {

// A file opened read-only for one analysis; closed when the object goes.
class SongFile {
 public:
  enum class State { kOpen, kMissing, kError };

  // Opens `path`, or when no file has that exact name, the one found ignoring letter case. Only a
  // regular file opens: a folder, a FIFO, a device or a socket counts as missing, and is looked
  // at without waiting for a writer or a device.
  explicit SongFile(const std::string& path);
  ~SongFile();
  SongFile(const SongFile&) = delete;
  SongFile& operator=(const SongFile&) = delete;

  State state() const { return state_; }
  int error() const { return error_; }  // the errno value when state() is kError
  int fd() const { return fd_; }
  std::int64_t size() const { return size_; }  // bytes
  const std::string& resolvedPath() const { return resolved_; }
  const struct stat& info() const { return info_; }

  // The facts the record keeps, from the one examination made when opening (the same rules as
  // platform::DosFileStamp and platform::FileAttributes, without naming the file again).
  std::int32_t DosStamp() const;
  std::uint16_t Attributes() const;

 private:
  std::string resolved_;
  int fd_ = -1;
  State state_ = State::kMissing;
  int error_ = 0;
  std::int64_t size_ = 0;
  struct stat info_ {};
};

// The label of the volume that holds the open file. Looked up once per
// device and reused for a second: reading the mount table costs more than a whole analysis,
// and a label only changes with the disc.
std::string CachedVolumeLabel(const SongFile& file);

}  // namespace zodizidu::detail
