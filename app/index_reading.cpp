// The compilation index read and put in display order away from the window's thread.
#include "app/index_reading.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "app/album_paths.h"
#include "app/detail/titled_group_box.h"
#include "app/display_order.h"
#include "app/shown_text.h"
#include "platform/paths.h"
#include "platform/regular_file.h"

namespace app {

namespace {

namespace fs = std::filesystem;

constexpr const char* kIndexFileName = "ALBUMS.INF";

struct FileState {
  fs::path folder;
  std::uintmax_t size = 0;
  fs::file_time_type changed{};
  bool found = false;
};

FileState StateNow() {
  FileState state;
  std::error_code error;
  state.folder = fs::current_path(error);
  if (!platform::FileExists(kIndexFileName)) return state;
  const fs::path file = platform::ResolvePath(kIndexFileName);
  state.size = fs::file_size(file, error);
  state.changed = fs::last_write_time(file, error);
  state.found = true;
  return state;
}

// Starts decoding the front cover of the album the list shows first, as its page shows it: the
// window opens that album while it is made, and takes the picture when the file is still the one
// decoded.
std::optional<CoverAhead> DecodeFirstFront(const IndexReading& reading) {
  if (reading.order.empty()) return std::nullopt;
  const auto first = static_cast<std::size_t>(reading.order.front());
  std::string path = AlbumFolder(reading.index.entries[first].EntryName) + "/front.jpg";
  if (!InsideCompilation(path)) return std::nullopt;
  const std::string resolved = platform::ResolvePath(path);
  const std::optional<CoverFileFacts> facts = ExamineCoverFile(resolved);
  if (!facts) return std::nullopt;
  // Opened here, so that the thread depends on no path (the current folder included).
  const int fd = platform::OpenRegularFile(resolved);
  std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "rb");
  if (!file) {
    if (fd >= 0) ::close(fd);
    return std::nullopt;  // the window tries it again, and says why it cannot
  }
  auto decoded = std::make_shared<std::promise<CoverPicture>>();
  CoverAhead ahead{std::move(path), *facts, decoded->get_future()};
  std::thread([decoded, file] {
    decoded->set_value(DecodeCover(file, kCoverPageArea));
    std::fclose(file);
  }).detach();
  return ahead;
}

// The group box frame's picture is read first: the window's first paint needs it too.
IndexReading ReadForWindow() {
  detail::TitledGroupBox::ReadFramePicture();
  IndexReading reading = ReadIndex();
  reading.firstFront = DecodeFirstFront(reading);
  return reading;
}

std::optional<std::future<IndexReading>>& Ahead() {
  static std::optional<std::future<IndexReading>> ahead;
  return ahead;
}

}  // namespace

IndexReading ReadIndex() {
  IndexReading reading;
  const FileState state = StateNow();
  reading.folder = state.folder;
  reading.size = state.size;
  reading.changed = state.changed;
  reading.found = state.found;
  if (!state.found) return reading;
  reading.index = albums_inf::ReadAlbumIndex(platform::ResolvePath(kIndexFileName));
  QStringList names;
  names.reserve(static_cast<qsizetype>(reading.index.entries.size()));
  for (const albums_inf::AlbumEntry& album : reading.index.entries) names.push_back(ShownText(album.EntryName));
  reading.order = DisplayOrder(names);
  reading.sorted.reserve(names.size());
  for (int entry : reading.order) reading.sorted.push_back(names[entry]);
  return reading;
}

void ReadIndexAhead() {
  if (!Ahead()) Ahead() = std::async(std::launch::async, ReadForWindow);
}

std::future<IndexReading> TakeIndexReading() {
  if (!Ahead()) return std::async(std::launch::async, ReadForWindow);
  std::future<IndexReading> reading = std::move(*Ahead());
  Ahead().reset();
  return reading;
}

IndexReading Current(IndexReading reading) {
  const FileState now = StateNow();
  if (now.folder == reading.folder && now.found == reading.found && now.size == reading.size &&
      now.changed == reading.changed) {
    return reading;
  }
  return ReadIndex();
}

}  // namespace app
