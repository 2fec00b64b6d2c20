// The alphabetical order, ignoring letter case, in which the album and song lists show entries.
#pragma once

#include <QStringList>

#include <vector>

namespace app {

// Indexes into `texts` in display order. Texts equal but for letter case keep a fixed order
// (by exact comparison, then by position), so the same input always shows the same way.
std::vector<int> DisplayOrder(const QStringList& texts);

}  // namespace app
