// Suppliers of the file macros: the values of one analysed MPEG audio file as text.
#include <array>
#include <string>

#include "platform/paths.h"
#include "zodizidu/analysis/mpeg_audio.h"
#include "zodizidu/macros/detail/macro_rows.h"
#include "zodizidu/macros/macro.h"
#include "zodizidu/macros/value_format.h"

namespace zodizidu::detail {

namespace {

constexpr std::string_view kShortNameFailure = "Error converting long filename to short.";
constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1024 * 1024;

const TMPEGData& D(const TMPEGAudio& f) { return f.Data(); }

std::string ShortFileName(const TMPEGAudio& f) {
  const std::string shortPath = f.ShortPathName();
  if (shortPath == kShortNameFailure) return shortPath;
  return platform::NamePart(shortPath);
}

// A drive label may arrive as a path; only the text after its last backslash or colon is shown.
std::string LabelText(const TMPEGAudio& f) {
  const std::string& label = D(f).VolumeLabel;
  const std::size_t cut = label.find_last_of("\\:");
  return cut == std::string::npos ? label : label.substr(cut + 1);
}

std::string BitRateText(const TMPEGAudio& f) {
  return D(f).BitRate == -1 ? std::string("VBR") : std::to_string(D(f).BitRate);
}

std::string Seconds(const TMPEGAudio& f) { return std::to_string(D(f).Duration); }
std::string SecondsComma(const TMPEGAudio& f) { return FormatNumber(D(f).Duration, 1, 0, true); }
std::string Minutes(const TMPEGAudio& f) { return FormatNumber(D(f).Duration, 60, 1, true); }

constexpr std::string_view kFile = "Mpeg audio file";

// ShortName, Name, Width, Align, Description, Group, Kind, file supplier, -, Template.
constexpr std::array<MacroRow, 43> kRows = {{
    {"FN", "FileName", 40, 'L', "Mpeg audio file name", kFile, mkFile,
     [](const TMPEGAudio& f) { return platform::NamePart(f.FileName()); }, nullptr, ""},
    {"FNS", "FileNameShort", 40, 'L', "Mpeg audio file name short (8+3)", kFile, mkFile, ShortFileName, nullptr, ""},
    {"FP", "FilePath", 40, 'L', "MPEG audio file path (without file name)", kFile, mkFile,
     [](const TMPEGAudio& f) { return platform::DirPart(f.FileName()); }, nullptr, ""},
    {"VL", "VolumeLabel", 11, 'L', "Volume label", kFile, mkFile, LabelText, nullptr, ""},
    {"T", "Title", 30, 'L', "Title", kFile, mkFile, [](const TMPEGAudio& f) { return f.Title(); }, nullptr, ""},
    {"ET", "ExtractedTitle", 30, 'L', "Title extracted from file name", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.ExtractedTitle(); }, nullptr, ""},
    {"GT", "GuessedTitle", 30, 'L', "Title guessed from TAG or from file name", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.GuessedTitle(); }, nullptr, ""},
    {"FD", "FileDate", 10, 'L', "Date of last file change", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatShortDate(f.FileDateTime()); }, nullptr, ""},
    {"FDTFS", "FileDateTimeForSort", 14, 'L', "File Date time formated for sorting (yyyymmddhhmmss).", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatSortableDateTime(f.FileDateTime()); }, nullptr, ""},
    {"FT", "FileTime", 11, 'L', "Time of last file change", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatLongTime(f.FileDateTime()); }, nullptr, ""},
    {"A", "Artist", 30, 'L', "Artist", kFile, mkFile, [](const TMPEGAudio& f) { return f.Artist(); }, nullptr, ""},
    {"EA", "ExtractedArtist", 30, 'L', "Artist extracted from file name", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.ExtractedArtist(); }, nullptr, ""},
    {"GA", "GuessedArtist", 30, 'L', "Artist guessed from TAG or from file name", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.GuessedArtist(); }, nullptr, ""},
    {"ALB", "Album", 35, 'L', "Album", kFile, mkFile, [](const TMPEGAudio& f) { return f.Album(); }, nullptr, ""},
    {"Y", "Year", 4, 'L', "Year", kFile, mkFile, [](const TMPEGAudio& f) { return f.Year(); }, nullptr, ""},
    {"CMNT", "Comment", 30, 'L', "Comment", kFile, mkFile, [](const TMPEGAudio& f) { return f.Comment(); }, nullptr,
     ""},
    {"G", "Genre", 25, 'L', "Genre description", kFile, mkFile, [](const TMPEGAudio& f) { return f.GenreText(); },
     nullptr, ""},
    {"GNR", "GenreNr", 3, 'R', "Genre code", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::to_string(D(f).GenreNr); }, nullptr, ""},
    {"TR", "Track", 3, 'R', "Album track number", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::to_string(D(f).Track); }, nullptr, ""},
    {"D", "Duration", 8, 'R', "Duration (seconds)", kFile, mkFile, Seconds, nullptr, ""},
    {"DC", "DurationComma", 10, 'R', "Duration, thousands comma delimited (seconds)", kFile, mkFile, SecondsComma,
     nullptr, ""},
    {"DM", "DurationMinutes", 7, 'R', "Duration (minutes)", kFile, mkFile, Minutes, nullptr, ""},
    {"DMC", "DurationMinutesComma", 9, 'R', "Duration, thousands comma delimited (minutes)", kFile, mkFile, Minutes,
     nullptr, ""},
    {"DF", "DurationForm", 8, 'R', "Duration (formated as MM:SS)", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatMinutesSeconds(D(f).Duration); }, nullptr, ""},
    {"L", "Length", 12, 'R', "File length in bytes", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::to_string(D(f).FileLength); }, nullptr, ""},
    {"LC", "LengthComma", 15, 'R', "File length in bytes, thousands comma delimited", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatNumber(D(f).FileLength, 1, 0, true); }, nullptr, ""},
    {"LK", "LengthKB", 9, 'R', "File length in kilobytes", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::to_string(D(f).FileLength / kKilobyte); }, nullptr, ""},
    {"LKC", "LengthKBComma", 11, 'R', "File length in kilobytes, thousands comma delimited", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatNumber(D(f).FileLength, kKilobyte, 0, true); }, nullptr, ""},
    {"LM", "LengthMB", 9, 'R', "File length in megabytes (one decimal place)", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatNumber(D(f).FileLength, kMegabyte, 1, false); }, nullptr, ""},
    {"V", "Version", 3, 'L', "MPEG Audio version.", kFile, mkFile, [](const TMPEGAudio& f) { return f.VersionText(); },
     nullptr, ""},
    {"LY", "Layer", 3, 'L', "MPEG Audio Layer Type (I, II, III or else for unknown)", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.LayerText(); }, nullptr, ""},
    {"LYN", "LayerNr", 1, 'L', "MPEG Audio Layer Type (1, 2, 3 or else for unknown)", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::to_string(D(f).Layer); }, nullptr, ""},
    {"SR", "SampleRate", 5, 'R', "Sample rate", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::to_string(D(f).SampleRate); }, nullptr, ""},
    {"SRK", "SampleRateKHz", 4, 'R', "Sample rate in kilobytes", kFile, mkFile,
     [](const TMPEGAudio& f) { return FormatNumber(D(f).SampleRate, 1000, 1, false); }, nullptr, ""},
    {"BR", "BitRate", 3, 'R', "BitRate in kilobytes", kFile, mkFile, BitRateText, nullptr, ""},
    {"EP", "ErrorProt", 3, 'L', "Error protection ('Yes'/'No')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.ErrorProtText("Yes", "No"); }, nullptr, ""},
    {"EP*", "ErrorProt*", 1, 'L', "Error Protection ('*'/' ')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.ErrorProtText("*", " "); }, nullptr, ""},
    {"C", "Copyright", 3, 'L', "Copyrighted ('Yes'/'No')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.CopyrightText("Yes", "No"); }, nullptr, ""},
    {"C*", "Copyright*", 1, 'L', "Copyrighted ('*'/' ')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.CopyrightText("*", " "); }, nullptr, ""},
    {"O", "Original", 3, 'L', "Original ('Yes'/'No')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.OriginalText("Yes", "No"); }, nullptr, ""},
    {"O*", "Original*", 3, 'L', "Original ('*'/' ')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.OriginalText("*", " "); }, nullptr, ""},
    {"M", "Mode", 12, 'L', "Channel mode ('Stereo'/'Joint-Stereo'/'Dual-Channel'/'Mono')", kFile, mkFile,
     [](const TMPEGAudio& f) { return f.ModeText(); }, nullptr, ""},
    {"S", "Stereo", 6, 'L', "Stereo mode ('Stereo'/'Mono')", kFile, mkFile,
     [](const TMPEGAudio& f) { return std::string(D(f).Mode == 3 ? "Mono" : "Stereo"); }, nullptr, ""},
}};

}  // namespace

std::span<const MacroRow> FileMacroRows() { return kRows; }

}  // namespace zodizidu::detail
