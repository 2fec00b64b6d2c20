// Locating an ID3v2 tag, walking its frame headers and handing the frames wanted to TagLib.
#include "zodizidu/analysis/detail/id3v2_frames.h"

#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2synchdata.h>
#include <taglib/tbytevector.h>

#include <cstring>

#include "zodizidu/analysis/ape_tag.h"
#include "zodizidu/analysis/id3v1_tag.h"
#include "zodizidu/analysis/id3v2_tag.h"

namespace zodizidu::detail {

namespace {

constexpr std::uint8_t kUnsynchronisation = 0x80;
constexpr std::uint8_t kExtendedHeader = 0x40;  // in version 2.2 the flag of a compressed tag
constexpr std::uint8_t kFooter = 0x10;

std::int64_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::int64_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  return value;
}

std::int64_t SynchSafe(std::span<const std::uint8_t> bytes) {
  std::int64_t value = 0;
  for (std::uint8_t b : bytes) value = value << 7 | (b & 0x7F);
  return value;
}

TagLib::ByteVector Vector(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), static_cast<unsigned int>(bytes.size())};
}

bool IsFrameId(std::string_view id) {
  for (char c : id)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

// The bytes of a tag's body (after its header): from the file, or from memory once an
// unsynchronised body has been read whole and undone.
class Body {
 public:
  Body(FileWindow& window, std::int64_t start, std::int64_t length) : window_(window), start_(start), length_(length) {}

  bool ReadWholeAndUndoUnsynchronisation() {
    if (length_ > kMaxWholeTag) return false;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(length_));
    if (window_.Read(start_, raw) < raw.size()) return false;
    const TagLib::ByteVector decoded = TagLib::ID3v2::SynchData::decode(Vector(raw));
    whole_.assign(decoded.begin(), decoded.end());
    inMemory_ = true;
    length_ = static_cast<std::int64_t>(whole_.size());
    return true;
  }

  std::int64_t length() const { return length_; }

  bool Read(std::int64_t pos, std::span<std::uint8_t> out) {
    if (pos < 0 || pos + static_cast<std::int64_t>(out.size()) > length_) return false;
    if (!inMemory_) return window_.Read(start_ + pos, out) == out.size();
    std::memcpy(out.data(), whole_.data() + pos, out.size());
    return true;
  }

 private:
  FileWindow& window_;
  std::int64_t start_;
  std::int64_t length_;
  bool inMemory_ = false;
  std::vector<std::uint8_t> whole_;
};

// The version 2.4 name of a text or comment frame whose content TagLib's frame classes read as it
// stands (no frame flags, no unsynchronisation of the whole tag in version 2.4); empty otherwise.
std::string_view PlainTextName(std::string_view id, std::span<const std::uint8_t> frameHeader, std::uint8_t major,
                               std::uint8_t tagFlags) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kNames = {
      {{"TT2", "TIT2"}, {"TP1", "TPE1"}, {"TAL", "TALB"}, {"TYE", "TYER"}, {"TCO", "TCON"}, {"COM", "COMM"}}};
  if (major == 2) {
    for (const auto& [old, name] : kNames)
      if (id == old) return name;
    return {};
  }
  if (frameHeader[8] != 0 || frameHeader[9] != 0 || (major == 4 && (tagFlags & kUnsynchronisation) != 0)) return {};
  if (id == "COMM" || (id.front() == 'T' && id != "TXXX")) return id;
  return {};
}

}  // namespace

std::optional<TagExtent> FindId3v2Tag(FileWindow& window, std::int64_t size) {
  std::array<std::uint8_t, kId3v2HeaderSize> bytes{};
  if (window.Read(0, bytes) == bytes.size()) {
    const std::int64_t length = Id3v2TagLength(bytes);
    if (length > 0 && length <= size) return TagExtent{0, length};
  }
  // At the end: before an ID3v1 tag and an APE tag, a version 2.4 footer "3DI".
  std::int64_t end = size;
  std::array<std::uint8_t, 3> mark{};
  if (end >= static_cast<std::int64_t>(kId3v1Size) && window.Read(end - kId3v1Size, mark) == mark.size() &&
      std::memcmp(mark.data(), "TAG", 3) == 0)
    end -= static_cast<std::int64_t>(kId3v1Size);
  std::array<std::uint8_t, kApeFooterSize> apeFooter{};
  if (end >= static_cast<std::int64_t>(kApeFooterSize) &&
      window.Read(end - static_cast<std::int64_t>(kApeFooterSize), apeFooter) == apeFooter.size()) {
    const std::int64_t ape = ApeTagLength(apeFooter);
    if (ape > 0 && ape <= end) end -= ape;
  }
  if (end < static_cast<std::int64_t>(kId3v2HeaderSize) ||
      window.Read(end - static_cast<std::int64_t>(kId3v2HeaderSize), bytes) < bytes.size() ||
      std::memcmp(bytes.data(), "3DI", 3) != 0)
    return std::nullopt;
  std::memcpy(bytes.data(), "ID3", 3);
  const std::int64_t length = Id3v2TagLength(bytes);
  if (length <= 0 || length > end) return std::nullopt;
  std::array<std::uint8_t, kId3v2HeaderSize> header{};
  if (window.Read(end - length, header) < header.size() || header != bytes) return std::nullopt;
  return TagExtent{end - length, length};
}

std::optional<KeptFrames> CollectFrames(FileWindow& window, const TagExtent& extent, FrameFilter keep,
                                        std::size_t budget) {
  KeptFrames kept;
  // Room for the text frames of a usual tag, so that collecting them asks for memory once or twice;
  // less than 1 KiB, a size for which the allocator would first tidy up the small blocks TagLib
  // leaves behind.
  kept.bytes.reserve(960);
  kept.frames.reserve(8);
  std::array<std::uint8_t, kId3v2HeaderSize>& header = kept.header;
  if (window.Read(extent.offset, header) < header.size()) return std::nullopt;
  const std::uint8_t major = header[3];
  std::uint8_t& flags = header[5];
  if (major == 2 && (flags & kExtendedHeader) != 0) return std::nullopt;  // compressed, with no method defined
  Body body(window, extent.offset + static_cast<std::int64_t>(kId3v2HeaderSize),
            SynchSafe(std::span(header).subspan(6, 4)));
  if (major <= 3 && (flags & kUnsynchronisation) != 0) {
    if (!body.ReadWholeAndUndoUnsynchronisation()) return std::nullopt;
    flags &= static_cast<std::uint8_t>(~kUnsynchronisation);
  }
  std::int64_t pos = 0;
  if (major >= 3 && (flags & kExtendedHeader) != 0) {
    // Its size excludes its own four bytes in version 2.3 and is synch-safe and whole in 2.4.
    std::array<std::uint8_t, 4> size{};
    if (!body.Read(0, size)) return std::nullopt;
    pos = major == 3 ? BigEndian(size) + 4 : SynchSafe(size);
    flags &= static_cast<std::uint8_t>(~kExtendedHeader);
  }
  flags &= static_cast<std::uint8_t>(~kFooter);

  const std::size_t headerSize = major == 2 ? 6 : 10;
  std::array<std::uint8_t, 10> frameHeader{};
  const std::span<std::uint8_t> fh(frameHeader.data(), headerSize);
  while (pos + static_cast<std::int64_t>(headerSize) <= body.length() && body.Read(pos, fh) && fh[0] != 0) {
    const std::string_view id(reinterpret_cast<const char*>(fh.data()), major == 2 ? 3 : 4);
    if (!IsFrameId(id)) break;
    const std::int64_t content = major == 2   ? BigEndian(fh.subspan(3, 3))
                                 : major == 3 ? BigEndian(fh.subspan(4, 4))
                                              : TagLib::ID3v2::SynchData::toUInt(Vector(fh.subspan(4, 4)));
    const std::int64_t total = static_cast<std::int64_t>(headerSize) + content;
    if (pos + total > body.length()) break;
    if (keep(id, content) && kept.bytes.size() + static_cast<std::size_t>(total) <= budget) {
      const std::size_t at = kept.bytes.size();
      const std::string_view name = PlainTextName(id, fh, major, header[5]);
      if (name.empty()) {
        kept.bytes.resize(at + static_cast<std::size_t>(total));
        if (!body.Read(pos, std::span(kept.bytes).subspan(at))) return std::nullopt;
      } else {
        // The same frame with a version 2.4 header: its name, the synch-safe size, no flags.
        kept.bytes.resize(at + 10 + static_cast<std::size_t>(content));
        std::memcpy(kept.bytes.data() + at, name.data(), 4);
        for (int i = 0; i < 4; ++i) kept.bytes[at + 4 + i] = static_cast<std::uint8_t>(content >> (7 * (3 - i)) & 0x7F);
        kept.bytes[at + 8] = kept.bytes[at + 9] = 0;
        if (!body.Read(pos + static_cast<std::int64_t>(headerSize), std::span(kept.bytes).subspan(at + 10)))
          return std::nullopt;
      }
      kept.frames.push_back({at, kept.bytes.size(), static_cast<std::int64_t>(kId3v2HeaderSize) + pos, !name.empty()});
    }
    pos += total;
  }
  const auto keptSize = static_cast<std::uint32_t>(kept.bytes.size());
  for (int i = 0; i < 4; ++i) header[6 + i] = static_cast<std::uint8_t>((keptSize >> (7 * (3 - i))) & 0x7F);
  return kept;
}

FrameReader::FrameReader(const KeptFrames& kept)
    : kept_(kept), header_(Vector(kept.header)), bytes_(Vector(kept.bytes)) {}

const TagLib::ID3v2::Frame* FrameReader::Read(std::size_t index) {
  const KeptFrames::Frame& kept = kept_.frames[index];
  const TagLib::ByteVector frame =
      bytes_.mid(static_cast<unsigned int>(kept.begin), static_cast<unsigned int>(kept.end - kept.begin));
  if (kept.plainText && std::memcmp(frame.data(), "COMM", 4) == 0) {
    if (!comment_) comment_.emplace();
    comment_->setData(frame);
    return &*comment_;
  }
  if (kept.plainText) {
    if (!text_) text_.emplace(TagLib::ByteVector("TIT2", 4), TagLib::String::Latin1);
    text_->setData(frame);
    return &*text_;
  }
  other_.reset(TagLib::ID3v2::FrameFactory::instance()->createFrame(frame, &header_));
  return other_.get();
}

}  // namespace zodizidu::detail
