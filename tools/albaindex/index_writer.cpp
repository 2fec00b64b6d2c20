// Writing the index through a temporary file, fsync and rename.
#include "tools/albaindex/index_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/interrupted.h"

namespace albaindex {

namespace {

std::string Failure(const std::string& what, const std::string& path, int error) {
  return what + " '" + path + "': " + std::strerror(error);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = platform::RetryInterrupted([&] { return ::write(fd, bytes.data(), bytes.size()); });
    if (written < 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

// The permissions a newly created file gets under the process's umask (mkstemp gives 0600).
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string WriteIndexFile(const std::string& folder, std::span<const std::uint8_t> bytes) {
  return ReplaceFile(folder, folder + "/" + kIndexName, bytes, NewFileMode());
}

std::string ReplaceFile(const std::string& folder, const std::string& target, std::span<const std::uint8_t> bytes,
                        mode_t mode) {
  std::string temporary = target + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Failure("cannot create a file in folder", folder, errno);

  std::string error;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0)
    error = Failure("cannot write", temporary, errno);
  if (::close(fd) != 0 && error.empty()) error = Failure("cannot write", temporary, errno);
  if (error.empty() && ::rename(temporary.c_str(), target.c_str()) != 0)
    error = Failure("cannot replace", target, errno);
  if (!error.empty()) {
    ::unlink(temporary.c_str());
    return error;
  }
  // Make the new name itself durable; an index already renamed into place is not undone
  // when only this last flush fails.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace albaindex
