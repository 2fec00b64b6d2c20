// Finding the album folders of a compilation folder and whether each spans several discs.
#pragma once

#include <string>
#include <vector>

namespace albaindex {

struct Album {
  std::string name;  // folder name, the bytes on disk
  bool multiDisc;    // holds a folder CD1, CD2, CD3 or CD4 (any letter case)
};

struct AlbumScan {
  std::vector<Album> albums;  // sorted by name in byte order
  std::string error;          // why the scan failed; empty on success
};

// The album folders of `folder`: every sub-folder, or link to one, whose name does not begin
// with '.'. A folder that cannot be read (the compilation folder or an album) fails the scan.
AlbumScan ScanAlbums(const std::string& folder);

}  // namespace albaindex
