// TMPEGAudio: construction, the FileName property, the reset and the queries on the record.
#include "zodizidu/analysis/mpeg_audio.h"

#include <chrono>
#include <optional>

#include "platform/file_facts.h"
#include "platform/paths.h"
#include "zodizidu/macros/expand.h"

namespace zodizidu {

namespace {

constexpr std::string_view kNoTag = "[notag]";
// The record's Header when its texts come from an ID3v2 tag.
constexpr std::string_view kId3v2Header = "ID3";

// The longest start of the UTF-8 text `text` that fits `bytes` bytes without cutting a character.
std::string_view Utf8Prefix(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t cut = bytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}
constexpr std::string_view kShortNameError = "Error converting long filename to short.";
// The system's short-name buffer holds 260 characters, its terminating zero included.
constexpr std::size_t kShortNameBuffer = 260;

// The name part of the record's file name split at its first '-': artist before, title after.
struct NameSplit {
  std::string artist;
  std::string title;
};

NameSplit SplitName(const std::string& fileName) {
  const std::string name = platform::NamePart(fileName);
  const std::size_t dash = name.find('-');
  if (dash == std::string::npos) return {};
  NameSplit split{Strip(std::string_view(name).substr(0, dash)), Strip(std::string_view(name).substr(dash + 1))};
  const std::size_t dot = split.title.rfind('.');
  if (dot != std::string::npos) split.title.resize(dot);
  return split;
}

}  // namespace

TMPEGAudio::TMPEGAudio() = default;

void TMPEGAudio::SetFileName(std::string_view name) {
  fileName_ = name;
  data_.FileName = name;
  if (autoRead_) Analyze();
}

void TMPEGAudio::ResetData() {
  data_ = TMPEGData{};
  id3v2_ = Id3v2Texts{};
  fileName_.clear();
  data_.Header = "BAD";
  data_.Title = kNoTag;
  data_.Artist = kNoTag;
  data_.Album = kNoTag;
  data_.Comment = kNoTag;
  data_.Year = "    ";
  data_.GenreNr = 255;
  UpdateTemplateResult();
}

void TMPEGAudio::UpdateTemplateResult() {
  // An empty template expands to an empty text; the expander is not needed for it.
  templateResult_ = template_.empty() ? std::string() : ExpandTemplate(template_, this, 0);
}

bool TMPEGAudio::IsValid() const { return zodizidu::IsValid(data_); }

bool TMPEGAudio::HasTag() const { return data_.Header == "TAG"; }

TagSource TMPEGAudio::Tags() const {
  if (HasTag()) return TagSource::kId3v1;
  return data_.Header == kId3v2Header ? TagSource::kId3v2 : TagSource::kNone;
}

void TMPEGAudio::TakeId3v2Texts(Id3v2Texts texts) {
  id3v2_ = std::move(texts);
  data_.Header = kId3v2Header;
  data_.Title = Utf8Prefix(id3v2_.title, 30);
  data_.Artist = Utf8Prefix(id3v2_.artist, 30);
  data_.Album = Utf8Prefix(id3v2_.album, 30);
  data_.Year = Utf8Prefix(id3v2_.year, 4);
  data_.Comment = Utf8Prefix(id3v2_.comment, 30);
  data_.GenreNr = id3v2_.genreNr;
}

std::string TMPEGAudio::Title() const {
  if (Tags() == TagSource::kId3v2) return id3v2_.title;
  return HasTag() || defaultTitle_.empty() ? data_.Title.str() : defaultTitle_.str();
}

std::string TMPEGAudio::Artist() const {
  if (Tags() == TagSource::kId3v2) return id3v2_.artist;
  return HasTag() || defaultArtist_.empty() ? data_.Artist.str() : defaultArtist_.str();
}

std::string TMPEGAudio::Album() const { return Tags() == TagSource::kId3v2 ? id3v2_.album : data_.Album.str(); }
std::string TMPEGAudio::Year() const { return Tags() == TagSource::kId3v2 ? id3v2_.year : data_.Year.str(); }
std::string TMPEGAudio::Comment() const { return Tags() == TagSource::kId3v2 ? id3v2_.comment : data_.Comment.str(); }

std::string TMPEGAudio::GenreText() const {
  return Tags() == TagSource::kId3v2 ? id3v2_.genre : zodizidu::GenreText(data_.GenreNr);
}
std::string TMPEGAudio::VersionText() const { return zodizidu::VersionText(data_.Version); }
std::string TMPEGAudio::LayerText() const { return zodizidu::LayerText(data_.Layer); }
std::string TMPEGAudio::ModeText() const { return zodizidu::ModeText(data_.Mode); }

std::string TMPEGAudio::CopyrightText(std::string_view ifTrue, std::string_view ifFalse) const {
  return std::string(data_.Copyright ? ifTrue : ifFalse);
}
std::string TMPEGAudio::OriginalText(std::string_view ifTrue, std::string_view ifFalse) const {
  return std::string(data_.Original ? ifTrue : ifFalse);
}
std::string TMPEGAudio::ErrorProtText(std::string_view ifTrue, std::string_view ifFalse) const {
  return std::string(data_.ErrorProt ? ifTrue : ifFalse);
}

std::string TMPEGAudio::ShortPathName() const {
  const std::optional<std::string> shortName = platform::ShortPathName(fileName_);
  if (!shortName || shortName->size() >= kShortNameBuffer) return std::string(kShortNameError);
  return *shortName;
}

double TMPEGAudio::FileDateTime() const { return DosStampToDateTime(data_.FileStamp); }

std::string TMPEGAudio::ExtractedArtist() const { return SplitName(fileName_).artist; }
std::string TMPEGAudio::ExtractedTitle() const { return SplitName(fileName_).title; }

std::string TMPEGAudio::GuessedArtist() const {
  if (Tags() != TagSource::kNone) return Artist();
  std::string extracted = ExtractedArtist();
  return extracted.empty() ? defaultArtist_.str() : extracted;
}

std::string TMPEGAudio::GuessedTitle() const {
  if (Tags() != TagSource::kNone) return Title();
  std::string extracted = ExtractedTitle();
  return extracted.empty() ? defaultTitle_.str() : extracted;
}

double DosStampToDateTime(std::int32_t stamp) {
  using namespace std::chrono;
  const auto packed = static_cast<std::uint32_t>(stamp);
  if (packed == 0) return 0;
  const year_month_day date{year{static_cast<int>(packed >> 25) + 1980}, month{(packed >> 21) & 0xF},
                            day{(packed >> 16) & 0x1F}};
  const unsigned hour = (packed >> 11) & 0x1F;
  const unsigned minute = (packed >> 5) & 0x3F;
  const unsigned second = (packed & 0x1F) * 2;
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return 0;
  // Date-time values count days from 30 December 1899.
  const auto days = (sys_days{date} - sys_days{year{1899} / December / 30}).count();
  return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

}  // namespace zodizidu
