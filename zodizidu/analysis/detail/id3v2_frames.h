// Finding a file's ID3v2 tag and reading some of its frames with TagLib: only the frames asked
// for are read from the file, so a tag holding a large picture costs little when only its texts
// are wanted.
#pragma once

#include <taglib/commentsframe.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2header.h>
#include <taglib/tbytevector.h>
#include <taglib/textidentificationframe.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "zodizidu/analysis/detail/file_window.h"
#include "zodizidu/analysis/id3v2_texts.h"

namespace zodizidu::detail {

// Where a tag lies in the file: header, body and footer.
struct TagExtent {
  std::int64_t offset = 0;
  std::int64_t length = 0;
};

// The file's ID3v2 tag: the well-formed one at its start, else one at its end (found by its
// footer, which version 2.4 gives a tag there), before an APE tag and an ID3v1 tag if any.
std::optional<TagExtent> FindId3v2Tag(FileWindow& window, std::int64_t size);

// Whether to keep a frame: its identifier (three characters in version 2.2, four later) and the
// size of its content.
using FrameFilter = bool (*)(std::string_view id, std::int64_t size);

// The frames of a tag a filter kept, laid out as a tag of their own.
struct KeptFrames {
  // The tag's header, without the flags of what is dealt with here (an extended header, which is
  // dropped; a footer; the unsynchronisation of a version 2.2 or 2.3 tag, which is undone).
  std::array<std::uint8_t, 10> header{};
  std::vector<std::uint8_t> bytes;  // the kept frames, headers included, one after another
  struct Frame {
    std::size_t begin;  // where it lies in `bytes`
    std::size_t end;
    std::int64_t offset;  // where it begins in the tag (in the undone bytes of an unsynchronised one)
    bool plainText;       // a text or comment frame without frame flags, kept with a version 2.4
                          // header (a version 2.2 name given its later form: TT2 as TIT2)
  };
  std::vector<Frame> frames;
};

// Walks the frames of the tag at `extent` and keeps those `keep` accepts while they total at most
// `budget` bytes. Only frame headers and kept frames are read, except in an unsynchronised
// version 2.2 or 2.3 tag, which is read whole when it is at most kMaxWholeTag bytes. Nothing when
// the tag cannot be read (a compressed version 2.2 tag, a short read).
std::optional<KeptFrames> CollectFrames(FileWindow& window, const TagExtent& extent, FrameFilter keep,
                                        std::size_t budget);
inline constexpr std::int64_t kMaxWholeTag = 32 * 1024 * 1024;

// TagLib's reading of kept frames, one at a time. Plain text and comment frames are read by one
// text and one comment frame object, reused; the others by TagLib's frame factory, which gives the
// frames of versions 2.2 and 2.3 their version 2.4 names where it converts them.
class FrameReader {
 public:
  explicit FrameReader(const KeptFrames& kept);
  std::size_t Count() const { return kept_.frames.size(); }
  // The frame numbered `index`, valid until the next call; null when TagLib cannot read it.
  const TagLib::ID3v2::Frame* Read(std::size_t index);

 private:
  const KeptFrames& kept_;
  TagLib::ID3v2::Header header_;
  TagLib::ByteVector bytes_;
  std::optional<TagLib::ID3v2::TextIdentificationFrame> text_;
  std::optional<TagLib::ID3v2::CommentsFrame> comment_;
  std::unique_ptr<TagLib::ID3v2::Frame> other_;
};

// The texts of the file's ID3v2 tag; nothing when it has none of title, artist, album, year,
// genre and comment.
std::optional<Id3v2Texts> ReadId3v2Texts(FileWindow& window, std::int64_t size);

}  // namespace zodizidu::detail
