// Sorting list entries as the user's locale orders words, ignoring letter case.
#include "app/display_order.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

namespace app {

std::vector<int> DisplayOrder(const QStringList& texts) {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<QCollatorSortKey> keys;
  keys.reserve(static_cast<std::size_t>(texts.size()));
  // Folded first: some locales' collators (the C locale's among them) do not ignore case themselves.
  for (const QString& text : texts) keys.push_back(collator.sortKey(text.toCaseFolded()));

  std::vector<int> order(static_cast<std::size_t>(texts.size()));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int byKey = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
    if (byKey != 0) return byKey < 0;
    return texts[a] < texts[b];
  });
  return order;
}

}  // namespace app
