// Template expansion and the report tool against direct peers.
// Prints, for each case, our time, the peer's time and the ratio (ours / peer):
//  - "%GAT%" and a 20-item template expanded 100,000 times over a set of analysed files, against
//    the same values formatted by hand with the analysis object's queries;
//  - the report tool's whole run over 1,000 files against analysing the same files in a loop.
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/best_time.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"
#include "zodizidu/analysis/mpeg_audio.h"
#include "zodizidu/macros/macro_table.h"
#include "zodizidu/macros/value_format.h"

namespace {

using namespace zodizidu;

constexpr int kExpansions = 100'000;
constexpr int kToolFiles = 1'000;

using bench::BestMicros;

void Report(const char* what, double ours, double peer, int count) {
  std::printf("%-44s ours %9.3f us  peer %9.3f us  per item  ratio %.2f\n", what, ours / count, peer / count,
              ours / peer);
}

std::string Padded(std::string text, std::size_t width, bool right) {
  if (text.size() >= width) return text.substr(0, width);
  return right ? std::string(width - text.size(), ' ') + text : text + std::string(width - text.size(), ' ');
}

constexpr const char* kTwentyItems =
    "%N,R,4%. %GA% - %GT% | %ALB% | %Y% | %G% | %TR% | %D% | %DF% | %DM% | %L% | %LC% | %LK% | "
    "%LM% | %V% | %LY% | %SR% | %SRK% | %BR% | %M% | %FN%";

// The 20-item line formatted directly with the queries: the peer of kTwentyItems.
std::string TwentyItemsByHand(const TMPEGAudio& f, int n) {
  const TMPEGData& d = f.Data();
  std::string s;
  s.reserve(400);
  s += Padded(std::to_string(n), 4, true) + ". ";
  s += Padded(f.GuessedArtist(), 30, false) + " - " + Padded(f.GuessedTitle(), 30, false);
  s += " | " + Padded(Strip(d.Album.str()), 35, false) + " | " + Padded(Strip(d.Year.str()), 4, false);
  s += " | " + Padded(f.GenreText(), 25, false) + " | " + Padded(std::to_string(d.Track), 3, true);
  s += " | " + Padded(std::to_string(d.Duration), 8, true);
  s += " | " + Padded(FormatMinutesSeconds(d.Duration), 8, true);
  s += " | " + Padded(FormatNumber(d.Duration, 60, 1, true), 7, true);
  s += " | " + Padded(std::to_string(d.FileLength), 12, true);
  s += " | " + Padded(FormatNumber(d.FileLength, 1, 0, true), 15, true);
  s += " | " + Padded(std::to_string(d.FileLength / 1024), 9, true);
  s += " | " + Padded(FormatNumber(d.FileLength, 1048576, 1, false), 9, true);
  s += " | " + Padded(f.VersionText(), 3, false) + " | " + Padded(f.LayerText(), 3, false);
  s += " | " + Padded(std::to_string(d.SampleRate), 5, true);
  s += " | " + Padded(FormatNumber(d.SampleRate, 1000, 1, false), 4, true);
  s += " | " + Padded(d.BitRate == -1 ? "VBR" : std::to_string(d.BitRate), 3, true);
  s += " | " + Padded(f.ModeText(), 12, false) + " | " + Padded(platform::NamePart(f.FileName()), 40, false);
  return s;
}

// A small varied set: tagged and tagless, constant and variable bit rate, three versions.
std::vector<std::string> WriteSampleFiles(const testsupport::TempDir& dir) {
  std::vector<std::string> paths;
  for (int i = 0; i < 20; ++i) {
    std::optional<testsupport::Id3v1Fields> tag;
    if (i % 2 == 0) {
      tag.emplace();
      tag->title = "Title number " + std::to_string(i);
      tag->artist = "Artist " + std::to_string(i % 5);
      tag->album = "Album of the benchmark";
      tag->year = "2001";
      tag->genre = static_cast<std::uint8_t>(i * 7);
      tag->track = static_cast<std::uint8_t>(i);
    }
    const int version = 1 + i % 3;
    const int rate = version == 1 ? 44100 : version == 2 ? 22050 : 11025;
    const auto header = testsupport::MakeHeader(version, 3, version == 1 ? 128 : 64, rate);
    std::string bytes;
    if (i % 4 == 3) {
      testsupport::XingFields xing;
      xing.frames = 5000 + static_cast<std::uint32_t>(i);
      bytes = testsupport::XingFrame(header, xing) + testsupport::Frames(header, 30);
    } else {
      bytes = testsupport::Mp3File(60, tag, header);
    }
    paths.push_back(
        dir.WriteFile("set/Artist " + std::to_string(i) + " - Song " + std::to_string(i) + ".mp3", bytes).string());
  }
  return paths;
}

void BenchExpansion(const testsupport::TempDir& dir) {
  std::vector<std::unique_ptr<TMPEGAudio>> files;
  for (const std::string& path : WriteSampleFiles(dir)) {
    files.push_back(std::make_unique<TMPEGAudio>());
    files.back()->SetFileName(path);
  }
  // Item N needs a list: give the table a supplier in a copy, as a list report does.
  TMacroDefinitions table = MacroDefinitions();
  table.SetCallback(table.IndexOfName("N"), TListSupplier([](std::int32_t n) { return std::to_string(n); }));
  std::size_t sink = 0;
  const std::size_t n = files.size();

  const double gat = BestMicros(3, [&] {
    for (int i = 0; i < kExpansions; ++i) sink += table.Expand("%GAT%", files[i % n].get(), 0).size();
  });
  const double gatPeer = BestMicros(3, [&] {
    for (int i = 0; i < kExpansions; ++i) {
      const TMPEGAudio& f = *files[i % n];
      sink += Padded(f.GuessedArtist() + " - " + f.GuessedTitle(), 80, false).size();
    }
  });
  Report("expand \"%GAT%\" (100,000 times)", gat, gatPeer, kExpansions);

  const double twenty = BestMicros(3, [&] {
    for (int i = 0; i < kExpansions; ++i) sink += table.Expand(kTwentyItems, files[i % n].get(), i + 1).size();
  });
  const double twentyPeer = BestMicros(3, [&] {
    for (int i = 0; i < kExpansions; ++i) sink += TwentyItemsByHand(*files[i % n], i + 1).size();
  });
  Report("expand a 20-item template (100,000 times)", twenty, twentyPeer, kExpansions);
  if (sink == 0) std::puts("(nothing expanded)");
}

void BenchTool(const testsupport::TempDir& dir) {
  std::vector<std::string> paths;
  const std::string song = testsupport::Mp3File(40);
  for (int i = 0; i < kToolFiles; ++i)
    paths.push_back(
        dir.WriteFile("tool/Album " + std::to_string(i / 10) + "/Track " + std::to_string(i % 10) + ".mp3", song)
            .string());
  const std::string command =
      std::string("'") + MP3REPORT_BINARY + "' -t '" + kTwentyItems + "' '" + dir.str() + "/tool' >/dev/null 2>&1";
  int status = 0;
  const double tool = BestMicros(3, [&] { status = std::system(command.c_str()); });
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("report tool failed: %d\n", status);
  std::size_t valid = 0;
  const double analysis = BestMicros(3, [&] {
    for (const std::string& path : paths) {
      TMPEGAudio f;
      f.SetFileName(path);
      valid += f.IsValid() ? 1 : 0;
    }
  });
  Report("report tool run vs analysis alone (1,000 files)", tool, analysis, kToolFiles);
  if (valid == 0) std::puts("(no file was valid)");
}

}  // namespace

int main() {
  platform::SetRegionalSettings({"%d/%m/%Y", "%H:%M:%S", ",", ".", ":"});
  testsupport::TempDir dir;
  BenchExpansion(dir);
  BenchTool(dir);
  return 0;
}
