// The analysed files of one report with their groups (one per folder) and totals.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "zodizidu/analysis/mpeg_audio.h"

namespace mp3report {

// Number of files, play time in seconds and size in bytes of a set of files.
struct Totals {
  std::int64_t files = 0;
  std::int64_t seconds = 0;
  std::int64_t bytes = 0;

  void Add(const zodizidu::TMPEGAudio& file);
};

class ReportList {
 public:
  // Analyses `path` and appends it; its group is the folder that holds it. Returns whether the
  // analysis found a valid MPEG audio file.
  bool Add(const std::string& path);

  // Number of files; entries are numbered 1..Count() (the list context of their expansion).
  int Count() const { return static_cast<int>(entries_.size()); }
  // The analysed file numbered `number` (1-based).
  const zodizidu::TMPEGAudio& File(int number) const { return *entry(number).file; }
  // The path of file `number` as it was named or found.
  const std::string& Path(int number) const { return entry(number).path; }

  // The group of file `number` (1-based, in order of first appearance) and the file's own
  // number within it (1-based).
  int GroupNo(int number) const { return entry(number).group + 1; }
  int GroupFileNo(int number) const { return entry(number).numberInGroup; }
  int GroupCount() const { return static_cast<int>(groups_.size()); }
  const Totals& GroupTotals(int number) const { return groups_[static_cast<std::size_t>(entry(number).group)].totals; }
  const Totals& ListTotals() const { return totals_; }

  // Distinct guessed artists (ASCII letter case ignored); files whose artist is only the
  // default text for "no artist known" do not count.
  int ArtistCount() const;

 private:
  struct Entry {
    std::string path;
    std::unique_ptr<zodizidu::TMPEGAudio> file;
    int group = 0;
    int numberInGroup = 0;
  };
  struct Group {
    Totals totals;
  };
  const Entry& entry(int number) const { return entries_.at(static_cast<std::size_t>(number - 1)); }

  std::vector<Entry> entries_;
  std::vector<Group> groups_;
  std::unordered_map<std::string, std::size_t> groupByFolder_;  // full folder path -> group
  Totals totals_;
};

}  // namespace mp3report
