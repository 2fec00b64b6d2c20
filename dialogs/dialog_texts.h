// The fixed Italian texts of the usage guide and the version history, line by line as stored
// (leading and trailing blanks and quotes are part of them).
#pragma once

#include <QString>

#include <array>
#include <string_view>

namespace dialogs {

// UTF-8 lines of the usage guide.
extern const std::array<std::string_view, 23> kUsageGuideLines;

// UTF-8 lines of the version history.
extern const std::array<std::string_view, 29> kVersionHistoryLines;

// The lines joined by line breaks, as the text boxes hold them.
template <std::size_t N>
QString JoinedLines(const std::array<std::string_view, N>& lines) {
  QString text;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) text += QLatin1Char('\n');
    text += QString::fromUtf8(lines[i].data(), static_cast<qsizetype>(lines[i].size()));
  }
  return text;
}

}  // namespace dialogs
