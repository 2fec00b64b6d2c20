// --with-decoder: the installed decoder library copied into the compilation.
#include "tools/albaindex/decoder_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/interrupted.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "platform/regular_file.h"

namespace albaindex {

namespace {

bool IsFile(const std::string& path) {
  struct stat facts {};
  return ::stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

// The bytes of the regular file at `path`; nothing (errno saying why) when it cannot be read. A
// FIFO, a device or a socket is refused at once, never waited on nor read without end.
std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& path) {
  const int fd = platform::OpenRegularFile(path);
  if (fd < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::array<std::uint8_t, 65536> block{};
  ssize_t got = 0;
  while ((got = platform::RetryInterrupted([&] { return ::read(fd, block.data(), block.size()); })) > 0)
    bytes.insert(bytes.end(), block.begin(), block.begin() + got);
  const int error = errno;
  ::close(fd);
  if (got < 0) {
    errno = error;
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::string InstalledDecoder() {
  const std::string here = platform::ExecutableDir();
  if (here.empty()) return {};
  for (const std::string& candidate :
       {here + kDecoderName, here + ALBAVOX_PRIVATE_FROM_BIN + "/" + std::string(kDecoderName)}) {
    if (IsFile(candidate)) return candidate;
  }
  return {};
}

DecoderPlan PlanDecoderCopy(const std::string& folder, const std::string& source, bool force) {
  DecoderPlan plan;
  plan.target = platform::ResolvePath(folder + "/" + kDecoderName);
  struct stat facts {};
  if (::lstat(plan.target.c_str(), &facts) != 0) {
    plan.copy = true;
    return plan;
  }
  if (S_ISDIR(facts.st_mode)) {
    plan.error = "'" + plan.target + "' is a folder; the decoder library cannot be placed there";
    return plan;
  }
  const auto ours = ReadBytes(source);
  if (!ours) {
    plan.error = "cannot read the decoder library '" + source + "': " + std::strerror(errno);
    return plan;
  }
  const auto theirs = ReadBytes(plan.target);
  plan.copy = !theirs || *theirs != *ours;
  if (plan.copy && !force)
    plan.error = "'" + plan.target + "' is already there and is not the installed decoder library (" + source +
                 "); --force replaces it";
  return plan;
}

std::optional<std::vector<std::uint8_t>> ReadDecoder(const std::string& source, std::string& error) {
  auto bytes = ReadBytes(source);
  if (!bytes) error = "cannot read the decoder library '" + source + "': " + std::strerror(errno);
  return bytes;
}

}  // namespace albaindex
