// Paths inside the compilation: album folders, disc folders, songs and covers, all relative to the
// compilation root (the current directory).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace app {

// One disc of a multi-disc album.
struct DiscInfo {
  std::string_view directory;   // appended to the album folder to test that the disc exists
  std::string_view pattern;     // appended to the album folder to list the disc's songs
  std::string_view discFolder;  // put between the album folder and a song's file name
  std::string_view caption;     // what CDLabel shows
};

// Discs 1 to 4 (index 0 to 3).
inline constexpr std::array<DiscInfo, 4> kDiscs = {{
    {"/CD1", "/CD1/*.mp3", "CD1/", " CD1 "},
    {"/CD2", "/CD2/*.mp3", "CD2/", " CD2 "},
    {"/CD3", "/CD3/*.mp3", "CD3/", " CD3 "},
    {"/CD4", "/CD4/*.mp3", "CD4/", " CD4 "},
}};

// Appended to the folder of a single-disc album to list its songs.
inline constexpr std::string_view kSongPattern = "/*.mp3";

// "./" + the album's name as stored in the index.
std::string AlbumFolder(std::string_view entryName);

// False for a path that could lead out of the compilation: a ".." component (an index comes from
// a disc and is not trusted) or a NUL byte, which the system would cut the name at. Such a path
// is treated as one that names nothing.
bool InsideCompilation(std::string_view path);

}  // namespace app
