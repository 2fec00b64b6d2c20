// The six texts of the ID3 panel from a file's ID3v2 tag.
#include <taglib/commentsframe.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "zodizidu/analysis/detail/id3v2_frames.h"
#include "zodizidu/analysis/genre_table.h"
#include "zodizidu/analysis/tag_texts.h"

namespace zodizidu::detail {

namespace {

// A text frame far larger than any title is passed over.
constexpr std::int64_t kMaxTextFrame = 64 * 1024;
constexpr std::size_t kTextBudget = 256 * 1024;
constexpr std::string_view kSeparator = " / ";

// The frames read, by their names in versions 2.3 and 2.4, and in 2.2.
constexpr std::array<std::string_view, 13> kTextFrames = {"TIT2", "TPE1", "TALB", "TYER", "TDRC", "TCON", "COMM",
                                                          "TT2",  "TP1",  "TAL",  "TYE",  "TCO",  "COM"};

bool IsTextFrame(std::string_view id, std::int64_t size) {
  return size <= kMaxTextFrame && std::find(kTextFrames.begin(), kTextFrames.end(), id) != kTextFrames.end();
}

std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }

// The values of a frame with several, each once, joined by " / ".
class Values {
 public:
  void Add(std::string value) {
    if (!value.empty() && std::find(values_.begin(), values_.end(), value) == values_.end())
      values_.push_back(std::move(value));
  }
  std::string Joined() const {
    std::string joined;
    for (const std::string& value : values_) joined += (joined.empty() ? "" : std::string(kSeparator)) + value;
    return joined;
  }

 private:
  std::vector<std::string> values_;
};

// The values of a text frame, one after another.
std::string FrameText(const TagLib::ID3v2::Frame& frame) {
  const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(&frame);
  if (text == nullptr) return Utf8(frame.toString());
  const TagLib::StringList fields = text->fieldList();
  if (fields.size() == 1) return Utf8(fields.front());
  Values values;
  for (const TagLib::String& field : fields) values.Add(Utf8(field));
  return values.Joined();
}

// The year of a time stamp ("2004-05-01T10:00" gives 2004); other texts as they stand.
std::string YearOf(std::string stamp) {
  if (stamp.size() >= 4 && std::all_of(stamp.begin(), stamp.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
    stamp.resize(4);
  return stamp;
}

bool IsCode(std::string_view text) {
  return !text.empty() && text.size() <= 3 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The genres of TCON: numbers, alone or as references "(17)" in front of a text, are codes of
// the genre table; "(RX)" and "(CR)" stand for Remix and Cover.
void ReadGenres(const TagLib::ID3v2::Frame& frame, Id3v2Texts& texts) {
  const auto* tcon = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(&frame);
  if (tcon == nullptr) return;
  Values genres;
  const auto addCode = [&](int code) {
    if (texts.genreNr == 255 && code < 255) texts.genreNr = static_cast<std::uint8_t>(code);
    genres.Add(GenreText(static_cast<std::uint8_t>(std::min(code, 255))));
  };
  for (const TagLib::String& value : tcon->fieldList()) {
    const std::string text = Utf8(value);
    std::string_view field = text;
    while (field.starts_with('(')) {
      const std::size_t close = field.find(')');
      if (close == std::string_view::npos) break;
      const std::string_view reference = field.substr(1, close - 1);
      if (IsCode(reference))
        addCode(std::stoi(std::string(reference)));
      else if (reference == "RX")
        genres.Add("Remix");
      else if (reference == "CR")
        genres.Add("Cover");
      else
        break;
      field.remove_prefix(close + 1);
    }
    if (IsCode(field)) {
      addCode(std::stoi(std::string(field)));
      continue;
    }
    const auto known = std::find(kGenreTable.begin(), kGenreTable.end(), field);
    if (known != kGenreTable.end() && texts.genreNr == 255)
      texts.genreNr = static_cast<std::uint8_t>(known - kGenreTable.begin());
    genres.Add(std::string(field));
  }
  texts.genre = genres.Joined();
}

}  // namespace

std::optional<Id3v2Texts> ReadId3v2Texts(FileWindow& window, std::int64_t size) {
  const std::optional<TagExtent> extent = FindId3v2Tag(window, size);
  if (!extent) return std::nullopt;
  const std::optional<KeptFrames> kept = CollectFrames(window, *extent, IsTextFrame, kTextBudget);
  if (!kept || kept->frames.empty()) return std::nullopt;
  Id3v2Texts texts;
  std::string recorded;       // the year of TYER, taken when there is no TDRC
  bool plainComment = false;  // a comment without a description was found
  bool anyComment = false;
  FrameReader reader(*kept);
  for (std::size_t i = 0; i < reader.Count(); ++i) {
    const TagLib::ID3v2::Frame* frame = reader.Read(i);
    if (!frame) continue;
    const TagLib::ByteVector& id = frame->frameID();
    // The first frame of each kind counts.
    const auto take = [&](std::string& text) {
      if (text.empty()) text = FrameText(*frame);
    };
    if (id == "TIT2") {
      take(texts.title);
    } else if (id == "TPE1") {
      take(texts.artist);
    } else if (id == "TALB") {
      take(texts.album);
    } else if (id == "TDRC") {
      if (texts.year.empty()) texts.year = YearOf(FrameText(*frame));
    } else if (id == "TYER") {
      take(recorded);
    } else if (id == "TCON") {
      if (texts.genre.empty()) ReadGenres(*frame, texts);
    } else if (const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame)) {
      // The comment without a description, else the first.
      if (!plainComment && (!anyComment || comment->description().isEmpty())) {
        texts.comment = Utf8(comment->text());
        plainComment = comment->description().isEmpty();
        anyComment = true;
      }
    }
  }
  if (texts.year.empty()) texts.year = YearOf(recorded);
  if (texts.title.empty() && texts.artist.empty() && texts.album.empty() && texts.year.empty() && texts.genre.empty() &&
      texts.comment.empty())
    return std::nullopt;
  return texts;
}

}  // namespace zodizidu::detail
