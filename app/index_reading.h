// The compilation index read and put in display order away from the window's thread, so that
// reading it overlaps the program's start.
#pragma once

#include <QStringList>

#include <cstdint>

#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "albums_inf/album_index.h"
#include "app/cover_picture.h"
#include "app/cover_slot.h"

namespace app {

// A cover file being decoded for a cover page on a thread of its own, with the facts of the file
// it is decoded from. The thread needs nothing else, so a window that goes without taking the
// picture never waits for it (a stuck medium included).
struct CoverAhead {
  std::string path;  // as the window names it (relative to the compilation root)
  CoverFileFacts facts;
  std::future<CoverPicture> picture;
};

// What the album list needs of ALBUMS.INF.
struct IndexReading {
  albums_inf::AlbumIndex index;
  std::vector<int> order;  // album list row -> index into index.entries
  QStringList sorted;      // the names shown, in display order
  // Which file was read, as it stood: the current folder, the file's size and time of last change.
  std::filesystem::path folder;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type changed{};
  bool found = false;  // false: there was no ALBUMS.INF
  // The front cover of the album listed first, when the reading ahead found one.
  std::optional<CoverAhead> firstFront;
};

// Reads ALBUMS.INF of the current folder and orders its albums; nothing without one. Touches no
// window, so any thread may run it.
IndexReading ReadIndex();

// Starts reading the index of the current folder on a thread of its own (with the picture of the
// group boxes' frame and the front cover of the album listed first, which the window's first
// paint needs as well).
void ReadIndexAhead();

// The reading started by ReadIndexAhead, taken once; else a reading started now.
std::future<IndexReading> TakeIndexReading();

// The reading's result, read again when the current folder or its ALBUMS.INF is not the one read.
IndexReading Current(IndexReading reading);

}  // namespace app
