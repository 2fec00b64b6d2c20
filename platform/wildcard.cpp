// The wildcard match of directory searches: '*' and '?' over characters, ignoring letter case.
#include <vector>

#include "platform/detail/case_fold.h"
#include "platform/paths.h"

namespace platform {

namespace {

// The folded characters of a name; '?' then stands for one whole character, not one byte.
std::vector<char32_t> FoldedChars(std::string_view text) {
  std::vector<char32_t> chars;
  chars.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const detail::NameChar c = detail::ReadNameChar(text, pos);
    chars.push_back(detail::FoldCase(c.code));
    pos += c.length;
  }
  return chars;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const std::vector<char32_t> p = FoldedChars(pattern);
  const std::vector<char32_t> n = FoldedChars(name);
  // Greedy scan that, on a mismatch, lets the last '*' take one more character. Only the last
  // '*' ever needs to be revisited, so the work stays within pattern length x name length.
  std::size_t pi = 0, ni = 0;
  std::size_t starAt = p.size(), resumeAt = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == U'*') {
      starAt = pi++;
      resumeAt = ni;
    } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (starAt != p.size()) {
      pi = starAt + 1;
      ni = ++resumeAt;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  return pi == p.size();
}

}  // namespace platform
