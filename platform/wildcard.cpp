// The wildcard match of directory searches: '*' and '?' over characters, ignoring letter case.
#include "platform/detail/case_fold.h"
#include "platform/paths.h"

namespace platform {

namespace {
constexpr unsigned char AsciiFold(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Greedy scan that, on a mismatch, lets the last '*' take one more character. Only the last
  // '*' ever needs to be revisited, so the work stays within pattern length x name length.
  // Positions are byte offsets; '?' takes one whole character (a UTF-8 sequence or a stray byte).
  constexpr std::size_t kNoStar = std::string_view::npos;
  std::size_t pi = 0, ni = 0;
  std::size_t afterStar = kNoStar, starTakesUpTo = 0;
  while (ni < name.size()) {
    if (pi < pattern.size() && pattern[pi] == '*') {
      afterStar = ++pi;
      starTakesUpTo = ni;
      continue;
    }
    if (pi < pattern.size()) {
      const auto pb = static_cast<unsigned char>(pattern[pi]);
      const auto nb = static_cast<unsigned char>(name[ni]);
      if (pb < 0x80 && nb < 0x80) {  // the common case, without decoding
        if (pb == '?' || AsciiFold(pb) == AsciiFold(nb)) {
          ++pi;
          ++ni;
          continue;
        }
      } else {
        const detail::NameChar p = detail::ReadNameChar(pattern, pi);
        const detail::NameChar n = detail::ReadNameChar(name, ni);
        if (p.code == U'?' || detail::FoldCase(p.code) == detail::FoldCase(n.code)) {
          pi += p.length;
          ni += n.length;
          continue;
        }
      }
    }
    if (afterStar == kNoStar) return false;
    starTakesUpTo += detail::ReadNameChar(name, starTakesUpTo).length;
    pi = afterStar;
    ni = starTakesUpTo;
  }
  while (pi < pattern.size() && pattern[pi] == '*') ++pi;
  return pi == pattern.size();
}

}  // namespace platform
