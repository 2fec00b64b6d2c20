// The player panel heard at a private sound server's monitor: the silence between two songs under
// "Continua", and the time from a click on Play to the first sound, against mpg123 playing the
// same files to the same server in the same run.
//
// Gaps are measured on the recording: each song is found where its decoded samples appear, and
// the gap is the distance from the end of one to the start of the next. The start delay is the
// distance from the recording's length at the moment of the click (or of starting mpg123) to the
// first sound; the recorder's own buffering makes it a slight overestimate for both.
#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QToolButton>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application_setup.h"
#include "app/main_form.h"
#include "tests/app/compilation_files.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"
#include "tests/support/sound_match.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testsupport::PulseServer;

constexpr int kSongs = 7;
constexpr double kSongSeconds = 1.5;
constexpr int kStarts = 7;

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double FramesToMs(double frames) { return frames * 1000.0 / PulseServer::kRate; }

// The gaps, in milliseconds, between the songs found one after the other in `heard`.
std::vector<double> Gaps(const std::vector<std::int16_t>& heard, const std::vector<std::string>& songs) {
  std::vector<double> gaps;
  std::size_t from = 0;
  long previousEnd = -1;
  for (const std::string& song : songs) {
    const std::vector<std::int16_t> decoded = mpegdlltest::DirectDecode(song).samples;
    const testsupport::SoundMatch match = testsupport::FindPiece(heard, decoded, from);
    if (match.offset < 0) {
      std::printf("  %s not found in the recording\n", fs::path(song).filename().c_str());
      break;
    }
    if (previousEnd >= 0) gaps.push_back(FramesToMs(static_cast<double>(match.offset - previousEnd)));
    previousEnd = match.offset + static_cast<long>(decoded.size() / 2);
    from = static_cast<std::size_t>(previousEnd);
  }
  return gaps;
}

pid_t StartMpg123(const std::vector<std::string>& files) {
  std::vector<std::string> args = {"mpg123", "-q", "-o", "alsa"};
  args.insert(args.end(), files.begin(), files.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "mpg123", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// Frames from `clickFrame` to the first sound after it, in milliseconds.
double StartDelay(const std::vector<std::int16_t>& heard, std::size_t clickFrame) {
  const std::vector<std::int16_t> after(
      heard.begin() + static_cast<std::ptrdiff_t>(std::min(heard.size(), clickFrame * 2)), heard.end());
  const long first = testsupport::FirstSoundFrame(after);
  return first < 0 ? -1 : FramesToMs(static_cast<double>(first));
}

}  // namespace

int main(int argc, char** argv) {
  PulseServer server;
  if (!server.Running()) {
    std::fprintf(stderr, "no sound server: %s\n", server.Why().c_str());
    return 1;
  }
  QApplication application(argc, argv);
  app::SetUpApplication();

  testsupport::TempDir root;
  std::vector<std::string> songs;
  for (int i = 0; i < kSongs; ++i) {
    const std::string name = "Album/" + std::to_string(i + 1) + ".mp3";
    songs.push_back(root.WriteFile(name, testsupport::GeneratedMp3(kSongSeconds, {}, 100 + i)).string());
  }
  root.WriteFile("ALBUMS.INF", testsupport::IndexFile("", 0, {{"Album", 0}}));
  fs::copy_file(MPEGDLL_PATH, root.path() / "MPEGDLL.DLL");
  testsupport::ScopedCurrentDir inRoot(root.path());

  app::TMainForm form;
  form.show();

  // Click on Play to the first sound, then stop; kStarts times.
  std::vector<double> ours, theirs;
  for (int i = 0; i < kStarts; ++i) {
    PulseServer::Recording recording(server);
    QTest::qWait(100);
    const std::size_t click = recording.FramesSoFar();
    QTest::mouseClick(form.ButtonPlay, Qt::LeftButton);
    QTest::qWait(300);
    QTest::mouseClick(form.ButtonStop, Qt::LeftButton);
    ours.push_back(StartDelay(recording.Stop(), click));
    QTest::qWait(100);
  }
  for (int i = 0; i < kStarts; ++i) {
    PulseServer::Recording recording(server);
    QTest::qWait(100);
    const std::size_t start = recording.FramesSoFar();
    const pid_t pid = StartMpg123({songs.front()});
    QTest::qWait(300);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    theirs.push_back(StartDelay(recording.Stop(), start));
    QTest::qWait(100);
  }
  std::printf("click on Play to first sound: median %.1f ms; mpg123 start to first sound %.1f ms; ratio %.2f\n",
              Median(ours), Median(theirs), Median(ours) / std::max(0.1, Median(theirs)));

  // "Continua" over the whole album.
  std::vector<double> gaps, peerGaps;
  {
    PulseServer::Recording recording(server);
    form.ContCheckBox->setChecked(true);
    QTest::mouseClick(form.ButtonPlay, Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return form.SelectedSong() == kSongs - 1 && form.ButtonPlay->isEnabled(); },
                         static_cast<int>(kSongs * kSongSeconds * 1000 + 10000))) {
      std::printf("  the album did not play to its end in time\n");
    }
    QTest::qWait(200);
    gaps = Gaps(recording.Stop(), songs);
  }
  {
    PulseServer::Recording recording(server);
    const pid_t pid = StartMpg123(songs);
    ::waitpid(pid, nullptr, 0);
    QTest::qWait(200);
    peerGaps = Gaps(recording.Stop(), songs);
  }
  std::printf(
      "silence between songs under Continua: median %.1f ms (max %.1f) over %zu gaps; "
      "mpg123 %.1f ms; difference %.1f ms\n",
      Median(gaps), gaps.empty() ? -1 : *std::max_element(gaps.begin(), gaps.end()), gaps.size(), Median(peerGaps),
      Median(gaps) - Median(peerGaps));
  form.MPEGPlayer.UnloadDecoder();
  return 0;
}
