// Sorting list entries alphabetically, ignoring letter case and accents.
#include "app/display_order.h"

#include <algorithm>

namespace app {

std::string OrderKey(const QString& text) {
  // Most names are plain ASCII: lower-casing them is all they need, and it is cheap for long lists.
  std::string key;
  key.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) {
    const char16_t code = c.unicode();
    if (code >= 0x80) {
      QString base;
      for (QChar d : text.normalized(QString::NormalizationForm_KD)) {
        if (d.category() != QChar::Mark_NonSpacing) base.append(d);
      }
      return base.toCaseFolded().toStdString();
    }
    key.push_back(static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code));
  }
  return key;
}

std::vector<int> DisplayOrder(const QStringList& texts) {
  std::vector<std::pair<std::string, int>> keyed;
  keyed.reserve(static_cast<std::size_t>(texts.size()));
  for (int i = 0; i < texts.size(); ++i) keyed.emplace_back(OrderKey(texts[i]), i);
  std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
    if (const int byKey = a.first.compare(b.first); byKey != 0) return byKey < 0;
    if (const int exact = texts[a.second].compare(texts[b.second]); exact != 0) return exact < 0;
    return a.second < b.second;
  });
  std::vector<int> order;
  order.reserve(keyed.size());
  for (const auto& entry : keyed) order.push_back(entry.second);
  return order;
}

}  // namespace app
