// --with-decoder: the installed decoder library copied into the compilation.
#include "tools/albaindex/decoder_copy.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/library.h"
#include "platform/paths.h"
#include "tools/albaindex/index_writer.h"

namespace albaindex {

namespace {

constexpr mode_t kLibraryMode = 0755;

bool IsFile(const std::string& path) {
  struct stat facts {};
  return ::stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
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

std::string CopyDecoder(const std::string& folder, const std::string& source, const DecoderPlan& plan) {
  if (!plan.copy) return {};
  const auto bytes = ReadBytes(source);
  if (!bytes) return "cannot read the decoder library '" + source + "': " + std::strerror(errno);
  return ReplaceFile(folder, plan.target, *bytes, kLibraryMode);
}

}  // namespace albaindex
