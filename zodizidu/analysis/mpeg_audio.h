// TMPEGAudio: analyses one MP3 file when its name is set and answers queries about it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "zodizidu/analysis/id3v2_texts.h"
#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu {

namespace detail {
class Analysis;
class SongFile;
}  // namespace detail

// Where the tag texts of an analysed file come from.
enum class TagSource {
  kNone,   // no tag: the record holds the empty-state texts, Title and Artist the defaults
  kId3v1,  // the ID3v1 tag at the end of the file (HasTag): exactly what it holds
  kId3v2,  // no ID3v1 tag, but an ID3v2 tag with texts: UTF-8, in full
};

class TMPEGAudio {
 public:
  TMPEGAudio();

  // Analysis results; read-only to callers.
  const TMPEGData& Data() const { return data_; }

  // File position beyond which the frame search gives up; 0 (or negative) = no limit.
  std::int32_t ScanLimit() const { return scanLimit_; }
  void SetScanLimit(std::int32_t limit) { scanLimit_ = limit; }

  // Shown by Artist/Title and the guessed values when the file has no tag (max 30 characters).
  const std::string& DefaultArtist() const { return defaultArtist_; }
  void SetDefaultArtist(std::string_view text) { defaultArtist_ = text; }
  const std::string& DefaultTitle() const { return defaultTitle_; }
  void SetDefaultTitle(std::string_view text) { defaultTitle_ = text; }

  // Setting FileName runs Analyze when true.
  bool AutoRead() const { return autoRead_; }
  void SetAutoRead(bool on) { autoRead_ = on; }

  // File position of the first accepted frame header.
  std::int32_t HeaderPos() const { return headerPos_; }

  // Report template expanded for this file after each reset and each normal analysis.
  const std::string& Template() const { return template_; }
  void SetTemplate(std::string_view text) { template_ = text; }
  const std::string& TemplateResult() const { return templateResult_; }

  // The file's whole name (after an analysis, the full path). Setting stores it, and its first
  // 255 characters in the record's FileName, and runs Analyze when AutoRead is on. The file is
  // opened, and the name values are taken, by the whole name: paths are often longer than the
  // record holds.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string_view name);

  // Reads FileName and fills Data: 0 = a frame pair was found (or the file holds 5 bytes or
  // fewer), -1 = missing file, no frame pair or a short read, else the system's open error code.
  int Analyze();
  // The empty state of the record (the file name emptied too); recomputes TemplateResult.
  void ResetData();

  bool IsValid() const;
  // The file has an ID3v1 tag (the record's Header is "TAG").
  bool HasTag() const;
  TagSource Tags() const;

  // The texts of the ID3 panel, in its order. With an ID3v1 tag, or without any tag, they are the
  // record's fields (Title and Artist: or the defaults, when there is no tag). With texts from an
  // ID3v2 tag (Tags() == TagSource::kId3v2) they are that tag's texts in full and in UTF-8, while
  // the record's Title, Artist, Album and Comment hold their first 30 bytes (whole characters),
  // Year the first four, Header "ID3", GenreNr the genre table's code of the first genre it
  // knows.
  std::string Title() const;
  std::string Artist() const;
  std::string Album() const;
  std::string Year() const;
  std::string GenreText() const;
  std::string Comment() const;
  const Id3v2Texts& Id3v2() const { return id3v2_; }  // empty unless Tags() == TagSource::kId3v2

  std::string VersionText() const;
  std::string LayerText() const;
  std::string ModeText() const;
  std::string CopyrightText(std::string_view ifTrue, std::string_view ifFalse) const;
  std::string OriginalText(std::string_view ifTrue, std::string_view ifFalse) const;
  std::string ErrorProtText(std::string_view ifTrue, std::string_view ifFalse) const;
  // The 8.3 form of FileName, or "Error converting long filename to short.".
  std::string ShortPathName() const;
  // FileStamp as a date-time value (days since 30 December 1899); 0 when not a valid stamp.
  double FileDateTime() const;
  std::string ExtractedArtist() const;
  std::string ExtractedTitle() const;
  std::string GuessedArtist() const;
  std::string GuessedTitle() const;

 private:
  friend class detail::Analysis;  // the steps of Analyze
  int AnalyzeOpenFile(const detail::SongFile& file);
  void UpdateTemplateResult();
  // Takes the texts of an ID3v2 tag for a file without an ID3v1 tag.
  void TakeId3v2Texts(Id3v2Texts texts);

  TMPEGData data_;
  Id3v2Texts id3v2_;
  std::string fileName_;  // the whole name; data_.FileName holds its first 255 characters
  std::int32_t scanLimit_ = 0;
  BoundedText<30> defaultArtist_{"Unknown Artist"};
  BoundedText<30> defaultTitle_{"Unknown Title"};
  bool autoRead_ = true;
  std::int32_t headerPos_ = 0;
  std::string template_;
  std::string templateResult_;
};

// A packed MS-DOS date-time as a date-time value (days since 30 December 1899, the time of day
// as the fraction); 0 when the stamp is 0 or not a valid date and time.
double DosStampToDateTime(std::int32_t stamp);

// The message pump the frame search calls every 300 bytes of file position; nothing by default.
using MessagePump = void (*)();
void SetMessagePump(MessagePump pump);

// The file position of the innermost frame search running on this thread (the position at which
// the pump is being called, when asked from inside it); -1 when no search runs.
std::int64_t SearchPosition();

}  // namespace zodizidu
