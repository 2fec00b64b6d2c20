// Analysing the files of a report and keeping their group and list totals.
#include "tools/mp3report/report_list.h"

#include <set>

#include "platform/paths.h"
#include "platform/text.h"
#include "zodizidu/analysis/mpeg_data.h"

namespace mp3report {

void Totals::Add(const zodizidu::TMPEGAudio& file) {
  ++files;
  seconds += file.Data().Duration;
  bytes += file.Data().FileLength;
}

bool ReportList::Add(const std::string& path) {
  Entry e;
  e.path = path;
  e.file = std::make_unique<zodizidu::TMPEGAudio>();
  e.file->SetFileName(path);
  const std::string folder = platform::DirPart(platform::FullPathName(path));
  const auto [found, isNew] = groupByFolder_.try_emplace(folder, groups_.size());
  if (isNew) groups_.push_back({});
  const std::size_t g = found->second;
  groups_[g].totals.Add(*e.file);
  totals_.Add(*e.file);
  e.group = static_cast<int>(g);
  e.numberInGroup = static_cast<int>(groups_[g].totals.files);
  const bool valid = e.file->IsValid();
  entries_.push_back(std::move(e));
  return valid;
}

int ReportList::ArtistCount() const {
  std::set<std::string> artists;
  for (const Entry& e : entries_) {
    const zodizidu::TMPEGAudio& f = *e.file;
    if (f.Tags() == zodizidu::TagSource::kNone && f.ExtractedArtist().empty()) continue;
    const std::string artist = zodizidu::Strip(f.GuessedArtist());
    if (!artist.empty()) artists.insert(platform::AsciiUpper(artist));
  }
  return static_cast<int>(artists.size());
}

}  // namespace mp3report
