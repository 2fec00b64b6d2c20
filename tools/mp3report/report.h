// One run of the report tool: files found, analysed, expanded and written, with a summary.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace mp3report {

// Exit codes of the tool.
inline constexpr int kAllRead = 0;
inline constexpr int kSomeNotRead = 1;  // a file was not a readable MPEG audio file, or a
                                        // folder could not be listed
inline constexpr int kUsageError = 2;   // bad command line, unreadable template, unwritable output

// Files beyond which a run on a terminal shows its progress.
inline constexpr int kProgressThreshold = 300;

// Runs the tool with the arguments after the program name. The report goes to `out` unless an
// output file is named; messages, progress (when `showProgress`) and the summary go to `err`.
int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress);

}  // namespace mp3report
