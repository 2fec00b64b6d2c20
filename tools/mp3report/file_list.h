// The MP3 files a report covers, in report order, found from the paths named on the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mp3report {

struct FileList {
  std::vector<std::string> files;              // paths as found, in report order, each once
  std::vector<std::string> unreadableFolders;  // folders that could not be listed
};

// Collects the files for `paths` in the order given. A folder contributes its "*.mp3" files (any
// letter case), sorted by NameLess, then each sub-folder in the same order, depth first; symbolic
// links to folders are not followed. Any other path is taken as a file, whatever its name, so a
// missing file is still reported. A file reached twice is listed at its first place only.
FileList CollectFiles(const std::vector<std::string>& paths);

// The order of names within a folder: ASCII letters compared without regard to case, other bytes
// by value; names equal but for case by their exact bytes.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace mp3report
