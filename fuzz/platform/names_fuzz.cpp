// libFuzzer target for the byte-level parsers of the platform layer: the text rule, the
// wildcard match, 8.3 short names, the mount table and time patterns. Each input is split at
// its first zero byte into two texts; the checks are properties that hold for any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/detail/case_fold.h"
#include "platform/detail/time_format.h"
#include "platform/detail/volume_label.h"
#include "platform/file_facts.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  const std::string_view first = input.substr(0, zero);
  const std::string_view second = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);

  // Whatever the bytes, the display text is UTF-8, and UTF-8 input comes back unchanged.
  const std::string display = platform::ToUtf8(first);
  Require(platform::IsValidUtf8(display));
  if (platform::IsValidUtf8(first)) Require(display == first);

  platform::WildcardMatch(first, second);
  Require(platform::WildcardMatch("*", first));
  if (!HasWildcard(first)) {
    Require(platform::WildcardMatch(first, first));
    Require(platform::WildcardMatch(first, second) == platform::detail::EqualIgnoringCase(first, second));
  }
  Require(platform::detail::EqualIgnoringCase(first, second) == platform::detail::EqualIgnoringCase(second, first));

  // A short name is at most 8 + 1 + 3 characters, upper-case ASCII.
  if (const auto shortName = platform::ShortName(first)) {
    if (*shortName != "." && *shortName != "..") {
      Require(shortName->size() <= 12);
      for (char c : *shortName) Require(static_cast<unsigned char>(c) > 32 && c < 127 && !(c >= 'a' && c <= 'z'));
    }
  }

  platform::detail::VolumeLabelFrom("/media/music/song.mp3", input, "/nonexistent-by-label");
  platform::detail::DecodeLabelName(first);
  const std::string expanded = platform::detail::ExpandTimeFormat(first, second);
  Require(!platform::detail::TimeSeparatorOf(expanded).empty());
  platform::LeavesRoot(first);
  platform::FullPathName("/" + std::string(first));
  return 0;
}
