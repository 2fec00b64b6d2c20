// The alphabetical order, ignoring letter case and accents, in which the album and song lists
// show their entries.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace app {

// The key a list entry is ordered by (UTF-8, compared byte by byte): letters folded to one case,
// accents set aside ("Città" and "CITTA" order alike).
std::string OrderKey(const QString& text);

// Indexes into `texts` in display order. Texts with equal keys keep a fixed order (by exact
// comparison, then by position), so the same input always shows the same way, whatever the
// system's language settings.
std::vector<int> DisplayOrder(const QStringList& texts);

}  // namespace app
