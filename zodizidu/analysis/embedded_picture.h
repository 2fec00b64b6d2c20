// The picture a song carries in its ID3v2 tag, for a window that shows it where the album has no
// cover file. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zodizidu {

// The largest picture frame read: a larger one is passed over unread, and all the picture frames
// read from one tag together hold at most this many bytes, so a huge frame never fills memory.
inline constexpr std::size_t kMaxEmbeddedPictureBytes = 16 * 1024 * 1024;

// What tells one picture from another without looking at its bytes again: equal identities mean
// equal picture bytes (the same length and the same 64-bit hash of them), so a caller that keeps
// the identity of the picture it decoded last can leave an unchanged one alone, whichever song it
// comes from. `offset` says where its frame lies in the file.
struct PictureIdentity {
  std::size_t length = 0;
  std::uint64_t hash = 0;
  std::int64_t offset = 0;

  bool SamePicture(const PictureIdentity& other) const { return length == other.length && hash == other.hash; }
};

struct EmbeddedPicture {
  std::vector<std::uint8_t> bytes;  // the picture file as stored: a JPEG or a PNG
  std::string mimeType;             // "image/jpeg" or "image/png", from the picture's own bytes
  PictureIdentity identity;
};

// The picture of the ID3v2 tag (version 2.2, 2.3 or 2.4; the tag in front of the audio, else one
// at the end of the file) of the song at `path`, whose name is resolved ignoring letter case as
// the analysis does: the front cover (APIC or PIC frame of picture type 3), else the first
// picture. Only JPEG and PNG pictures count, known by their first bytes. Nothing when there is
// none, when the file is missing or cannot be read, or is not a regular file. Never throws.
std::optional<EmbeddedPicture> ReadEmbeddedPicture(const std::string& path);

}  // namespace zodizidu
