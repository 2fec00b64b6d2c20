// Reading the front cover (or the first picture) of a song's ID3v2 tag with TagLib.
#include "zodizidu/analysis/embedded_picture.h"

#include <taglib/attachedpictureframe.h>

#include <cstring>
#include <string_view>

#include "zodizidu/analysis/detail/file_window.h"
#include "zodizidu/analysis/detail/id3v2_frames.h"
#include "zodizidu/analysis/detail/song_file.h"

namespace zodizidu {

namespace {

bool IsPictureFrame(std::string_view id, std::int64_t size) {
  return (id == "APIC" || id == "PIC") && size <= static_cast<std::int64_t>(kMaxEmbeddedPictureBytes);
}

// The MIME type of a JPEG or PNG picture by its first bytes; empty for anything else.
std::string_view PictureType(const TagLib::ByteVector& picture) {
  if (picture.size() >= 3 && std::memcmp(picture.data(), "\xFF\xD8\xFF", 3) == 0) return "image/jpeg";
  if (picture.size() >= 8 && std::memcmp(picture.data(), "\x89PNG\r\n\x1A\n", 8) == 0) return "image/png";
  return {};
}

// FNV-1a over the bytes: cheap next to decoding a picture, and enough to tell pictures apart.
std::uint64_t Hash(const TagLib::ByteVector& bytes) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3u;
  }
  return hash;
}

std::optional<EmbeddedPicture> FindPicture(detail::FileWindow& window, std::int64_t size) {
  const std::optional<detail::TagExtent> extent = detail::FindId3v2Tag(window, size);
  if (!extent) return std::nullopt;
  const std::optional<detail::KeptFrames> kept =
      detail::CollectFrames(window, *extent, IsPictureFrame, kMaxEmbeddedPictureBytes);
  if (!kept) return std::nullopt;
  detail::FrameReader reader(*kept);
  std::optional<EmbeddedPicture> first;
  for (std::size_t i = 0; i < reader.Count(); ++i) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(reader.Read(i));
    if (picture == nullptr) continue;
    const bool front = picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover;
    if (first && !front) continue;
    const TagLib::ByteVector bytes = picture->picture();
    const std::string_view type = PictureType(bytes);
    if (type.empty()) continue;
    EmbeddedPicture found{{bytes.begin(), bytes.end()},
                          std::string(type),
                          {bytes.size(), Hash(bytes), extent->offset + kept->frames[i].offset}};
    if (front) return found;
    first = std::move(found);
  }
  return first;
}

}  // namespace

std::optional<EmbeddedPicture> ReadEmbeddedPicture(const std::string& path) {
  try {
    const detail::SongFile file(path);
    if (file.state() != detail::SongFile::State::kOpen) return std::nullopt;
    detail::FileWindow window(file.fd());
    return FindPicture(window, file.size());
  } catch (...) {
    // No memory for the picture: as if there were none.
    return std::nullopt;
  }
}

}  // namespace zodizidu
