// Sorting list entries alphabetically, ignoring letter case and accents.
#include "app/display_order.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace app {

namespace {

// Appends the order key of `text` to `out`.
void AppendOrderKey(const QString& text, std::string& out) {
  // Most names are plain ASCII: lower-casing them is all they need, and it is cheap for long lists.
  const std::size_t start = out.size();
  for (QChar c : text) {
    const char16_t code = c.unicode();
    if (code >= 0x80) {
      out.resize(start);
      QString base;
      for (QChar d : text.normalized(QString::NormalizationForm_KD)) {
        if (d.category() != QChar::Mark_NonSpacing) base.append(d);
      }
      out += base.toCaseFolded().toStdString();
      return;
    }
    out.push_back(static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code));
  }
}

}  // namespace

std::string OrderKey(const QString& text) {
  std::string key;
  key.reserve(static_cast<std::size_t>(text.size()));
  AppendOrderKey(text, key);
  return key;
}

namespace {

// The first 16 bytes of a key as two big-endian words: comparing the words compares those bytes
// in order, so most keys are told apart by two integer comparisons.
struct KeyHead {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  std::size_t length = 0;
};

KeyHead HeadOf(std::string_view key) {
  KeyHead head;
  head.length = key.size();
  for (std::size_t i = 0; i < 16; ++i) {
    const std::uint64_t byte = i < key.size() ? static_cast<unsigned char>(key[i]) : 0;
    if (i < 8)
      head.high |= byte << (8 * (7 - i));
    else
      head.low |= byte << (8 * (15 - i));
  }
  return head;
}

}  // namespace

std::vector<int> DisplayOrder(const QStringList& texts) {
  // All keys live in one buffer and the sort moves plain indexes: lists of thousands of albums
  // are ordered without an allocation per entry.
  const std::size_t count = static_cast<std::size_t>(texts.size());
  std::string keys;
  std::vector<std::size_t> bounds(count + 1, 0);
  for (std::size_t i = 0; i < count; ++i) {
    AppendOrderKey(texts[static_cast<qsizetype>(i)], keys);
    bounds[i + 1] = keys.size();
  }
  const auto key = [&](int i) {
    const auto at = static_cast<std::size_t>(i);
    return std::string_view(keys).substr(bounds[at], bounds[at + 1] - bounds[at]);
  };
  std::vector<KeyHead> heads(count);
  for (std::size_t i = 0; i < count; ++i) heads[i] = HeadOf(key(static_cast<int>(i)));

  std::vector<int> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    const KeyHead& ha = heads[static_cast<std::size_t>(a)];
    const KeyHead& hb = heads[static_cast<std::size_t>(b)];
    if (ha.high != hb.high) return ha.high < hb.high;
    if (ha.low != hb.low) return ha.low < hb.low;
    if (ha.length > 16 || hb.length > 16) {
      if (const int byKey = key(a).compare(key(b)); byKey != 0) return byKey < 0;
    } else if (ha.length != hb.length) {
      return ha.length < hb.length;
    }
    if (const int exact = texts[a].compare(texts[b]); exact != 0) return exact < 0;
    return a < b;
  });
  return order;
}

}  // namespace app
