// The player panel heard at a private sound server's monitor: the joins between songs under
// "Continua", the processor time of playing, and the time from a click on Play to the first
// sound, against mpg123 playing the same files to the same server in the same run.
//
// The album is one continuous sweep cut into songs of uneven lengths, each encoded on its own
// (encoder delay and padding in its Info frame), as a live album or a continuous mix is. Each song
// is found in the recording where its decoded samples appear; a join's gap is the distance in
// samples from the end of one song to the start of the next (0: the next song's first sample
// follows the last one of the song before). The whole recording of the album is also compared
// with mpg123's decode of the list into one file. The processor time is the whole process's (the
// window and the decoder library) while the album plays, against mpg123's own while it plays it.
// The start delay is the distance from the recording's length at the moment of the click (or of
// starting mpg123) to the first sound; the recorder's own buffering makes it a slight
// overestimate for both.
#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QToolButton>

#include <spawn.h>
#include <sys/resource.h>
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
#include "tests/support/process_usage.h"
#include "tests/support/pulse_server.h"
#include "tests/support/sound_match.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testsupport::PulseServer;

// Lengths of the songs cut from the sweep, seconds: none a whole number of MPEG frames.
const std::vector<double> kSongSeconds = {3.1, 4.7, 2.3, 5.2, 3.9, 4.4};
constexpr int kStarts = 7;

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Worst(const std::vector<double>& values) {
  double worst = 0;
  for (double v : values) worst = std::abs(v) > std::abs(worst) ? v : worst;
  return worst;
}

double FramesToMs(double frames) { return frames * 1000.0 / PulseServer::kRate; }

struct Joins {
  std::vector<double> gaps;  // samples per channel; negative: the next song began too early
  std::size_t songsFound = 0;
  std::size_t differing = 0;  // frames of the songs found that differ from their decode
  bool listMatches = false;   // the recording holds the decode of the whole list, sample for sample
};

Joins MeasureJoins(const std::vector<std::int16_t>& heard, const std::vector<std::string>& songs,
                   const std::vector<std::int16_t>& listDecode) {
  Joins joins;
  std::size_t from = 0;
  long previousEnd = -1;
  for (const std::string& song : songs) {
    const std::vector<std::int16_t> decoded = mpegdlltest::DirectDecode(song).samples;
    const testsupport::SoundMatch match = testsupport::FindPiece(heard, decoded, from);
    if (match.offset < 0) {
      std::printf("  %s not found in the recording\n", fs::path(song).filename().c_str());
      break;
    }
    ++joins.songsFound;
    joins.differing += match.mismatches + match.missing;
    if (previousEnd >= 0) joins.gaps.push_back(static_cast<double>(match.offset - previousEnd));
    previousEnd = match.offset + static_cast<long>(decoded.size() / 2);
    from = static_cast<std::size_t>(std::max(0L, match.offset + 1));
  }
  const testsupport::SoundMatch whole = testsupport::FindPiece(heard, listDecode);
  joins.listMatches = whole.offset >= 0 && whole.mismatches == 0 && whole.missing == 0;
  return joins;
}

void PrintJoins(const char* who, const Joins& joins, std::size_t songs) {
  std::printf(
      "  %-8s songs found %zu of %zu; gap at the joins: median %.0f samples, worst %.0f (%.1f ms); "
      "differing frames %zu; recording matches mpg123's decode of the list: %s\n",
      who, joins.songsFound, songs, Median(joins.gaps), Worst(joins.gaps), FramesToMs(Worst(joins.gaps)),
      joins.differing, joins.listMatches ? "yes" : "no");
}

pid_t Spawn(const std::vector<std::string>& command) {
  std::vector<std::string> args = command;
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

pid_t StartMpg123(const std::vector<std::string>& files) {
  std::vector<std::string> args = {"mpg123", "-q", "-o", "alsa"};
  args.insert(args.end(), files.begin(), files.end());
  return Spawn(args);
}

// Waits for `pid`; the processor time it used, seconds.
double Reap(pid_t pid) {
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// mpg123's decode of the whole list into one file, as interleaved samples.
std::vector<std::int16_t> ListDecode(const std::vector<std::string>& songs, const fs::path& wav) {
  std::vector<std::string> args = {"mpg123", "-q", "-w", wav.string()};
  args.insert(args.end(), songs.begin(), songs.end());
  Reap(Spawn(args));
  return mpegdlltest::ReadWav(wav.string()).pcm.samples;
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
  double albumSeconds = 0;
  for (double s : kSongSeconds) albumSeconds += s;
  const std::vector<std::int16_t> sweep = testsupport::TestSignal(PulseServer::kRate, 2, albumSeconds + 1, 7);
  std::vector<std::string> songs;
  std::size_t cut = 0;
  for (std::size_t i = 0; i < kSongSeconds.size(); ++i) {
    const auto frames = static_cast<std::size_t>(kSongSeconds[i] * PulseServer::kRate);
    const std::vector<std::int16_t> piece(sweep.begin() + static_cast<std::ptrdiff_t>(cut * 2),
                                          sweep.begin() + static_cast<std::ptrdiff_t>((cut + frames) * 2));
    cut += frames;
    const std::string name = "Album/" + std::to_string(i + 1) + ".mp3";
    songs.push_back(root.WriteFile(name, testsupport::EncodeMp3(piece, {})).string());
  }
  const std::vector<std::int16_t> listDecode = ListDecode(songs, root.path() / "list.wav");
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

  // "Continua" over the whole album, then mpg123 playing the same list.
  Joins joins, peerJoins;
  double cpu = 0, peerCpu = 0;
  {
    PulseServer::Recording recording(server);
    form.ContCheckBox->setChecked(true);
    const double before = testsupport::CpuSeconds();
    QTest::mouseClick(form.ButtonPlay, Qt::LeftButton);
    const int last = static_cast<int>(songs.size()) - 1;
    if (!QTest::qWaitFor([&] { return form.SelectedSong() == last && form.ButtonPlay->isEnabled(); },
                         static_cast<int>(albumSeconds * 1000 + 10000))) {
      std::printf("  the album did not play to its end in time\n");
    }
    cpu = testsupport::CpuSeconds() - before;
    QTest::qWait(300);
    joins = MeasureJoins(recording.Stop(), songs, listDecode);
  }
  {
    PulseServer::Recording recording(server);
    peerCpu = Reap(StartMpg123(songs));
    QTest::qWait(300);
    peerJoins = MeasureJoins(recording.Stop(), songs, listDecode);
  }
  std::printf("joins under Continua, %zu songs cut from one sweep (%zu joins):\n", songs.size(), songs.size() - 1);
  PrintJoins("albavox", joins, songs.size());
  PrintJoins("mpg123", peerJoins, songs.size());
  std::printf(
      "processor time of playing the album (%.1f s of music): %.1f ms per second of music; mpg123 %.1f ms; "
      "ratio %.2f\n",
      albumSeconds, cpu * 1000 / albumSeconds, peerCpu * 1000 / albumSeconds, cpu / std::max(1e-6, peerCpu));
  form.MPEGPlayer.UnloadDecoder();
  return 0;
}
