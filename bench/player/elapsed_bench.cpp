// How long after the heard position crosses a whole second the window's elapsed time shows it, with
// the real decoder through a private sound server: the playback component's own looks (armed for
// just after each whole second heard) against a fixed-phase one-second tick started with the song,
// as a plain position timer does, both watching the same playback in the same run. The song is
// paused once and sought once, which moves the whole seconds heard against the wall clock.
//
// The heard position is the decoder's GetCurrentPos, read every 2 ms: second s is heard from the
// first reading at or past s * 1000, and shown from the first report at or past it; the lag is the
// time between the two. The looks per second count the component's polls while it plays (its
// position timer's wake-ups), the reports per second its position reports.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "player/mpeg_player.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"
#include "tests/support/temp_dir.h"

namespace {

using testsupport::PulseServer;

constexpr double kSongSeconds = 36;
// The run, in milliseconds of wall time from the start: a pause, a seek, and the stop well before
// the last stretch, whose end watch is another matter.
constexpr int kPauseAt = 9300;
constexpr int kPauseFor = 700;
constexpr int kSeekAt = 17000;
constexpr std::int32_t kSeekTo = 22400;
constexpr int kStopAt = 28000;
constexpr int kReadEveryMs = 2;
// What the component promises: the shown second follows the heard one within 100 ms, at a few
// looks a second.
constexpr double kMaxLagMs = 100;
constexpr double kMaxLooksPerSecond = 4;

struct Reading {
  qint64 at;    // milliseconds of the run
  int segment;  // 0 before the seek, 1 after
  std::int32_t position;
};

// The whole seconds after `start` that `readings` of `segment` reached, each with the time of the
// first reading at or past it.
std::vector<std::pair<std::int32_t, qint64>> Crossings(const std::vector<Reading>& readings, int segment,
                                                       std::int32_t start) {
  std::vector<std::pair<std::int32_t, qint64>> crossings;
  std::int32_t next = (start / 1000 + 1) * 1000;
  for (const Reading& reading : readings) {
    if (reading.segment != segment) continue;
    for (; reading.position >= next; next += 1000) crossings.emplace_back(next, reading.at);
  }
  return crossings;
}

// The lag, in milliseconds, of every second heard that `shown` showed; `starts` are the positions
// the segments start at.
std::vector<double> Lags(const std::vector<Reading>& heard, const std::vector<Reading>& shown,
                         const std::vector<std::int32_t>& starts) {
  std::vector<double> lags;
  for (int segment = 0; segment < static_cast<int>(starts.size()); ++segment) {
    const auto heardAt = Crossings(heard, segment, starts[static_cast<std::size_t>(segment)]);
    const auto shownAt = Crossings(shown, segment, starts[static_cast<std::size_t>(segment)]);
    for (std::size_t i = 0; i < std::min(heardAt.size(), shownAt.size()); ++i) {
      lags.push_back(static_cast<double>(std::max<qint64>(0, shownAt[i].second - heardAt[i].second)));
    }
  }
  return lags;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Worst(const std::vector<double>& values) {
  return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

// The component with its looks counted.
class CountingPlayer : public player::TMPEGPlayer {
 public:
  void TimerTick() override {
    ++looks;
    TMPEGPlayer::TimerTick();
  }
  int looks = 0;
};

// Runs the event loop until `milliseconds` of the run have passed.
void RunUntil(const QElapsedTimer& clock, int milliseconds) {
  const qint64 left = milliseconds - clock.elapsed();
  if (left <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void PrintRow(const char* what, const std::vector<double>& lags, double looks, double reports) {
  std::printf("  %-28s %7zu %6.0f ms %6.0f ms %8.2f %10.2f\n", what, lags.size(), Median(lags), Worst(lags), looks,
              reports);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  PulseServer server;
  if (!server.Running()) {
    std::printf("no sound server: %s\n", server.Why().c_str());
    return 1;
  }
  testsupport::TempDir dir;
  const std::string song = dir.WriteFile("song.mp3", testsupport::GeneratedMp3(kSongSeconds)).string();

  CountingPlayer player;
  player.SetPathToDLL(std::filesystem::path(MPEGDLL_PATH).parent_path().string());
  player.SetUseTimer(true);
  player.SetTimerFreq(1000);
  player.LoadDecoder();
  player.SetStreamName(song);
  QElapsedTimer clock;
  int segment = 0;
  std::vector<Reading> heard, reports, ticks;
  const auto read = [&] { return Reading{clock.elapsed(), segment, player.GetCurrentPos()}; };
  player.OnPosUpdate = [&](std::int32_t position, std::int32_t) {
    reports.push_back({clock.elapsed(), segment, position});
  };
  player.OnError = [](std::exception_ptr) { std::printf("a look failed\n"); };

  // The peer: a one-second tick whose phase follows the start, reading the same position.
  QTimer tick;
  tick.setInterval(1000);
  QObject::connect(&tick, &QTimer::timeout, [&] { ticks.push_back(read()); });
  QTimer reader;
  reader.setTimerType(Qt::PreciseTimer);
  reader.setInterval(kReadEveryMs);
  QObject::connect(&reader, &QTimer::timeout, [&] { heard.push_back(read()); });

  clock.start();
  reader.start();
  player.Play();
  tick.start();
  ticks.push_back(read());
  RunUntil(clock, kPauseAt);
  player.Pause(true);
  RunUntil(clock, kPauseAt + kPauseFor);
  player.Play();
  RunUntil(clock, kSeekAt);
  segment = 1;
  player.Seek(kSeekTo);
  RunUntil(clock, kStopAt);
  const double played = static_cast<double>(clock.elapsed() - kPauseFor) / 1000.0;
  const double looksPerSecond = player.looks / played;
  const double reportsPerSecond = static_cast<double>(reports.size()) / played;
  const double ticksPerSecond = static_cast<double>(ticks.size()) / (played + kPauseFor / 1000.0);
  player.Stop();
  player.Close();
  player.UnloadDecoder();

  const std::vector<std::int32_t> starts = {0, kSeekTo};
  const std::vector<double> now = Lags(heard, reports, starts);
  const std::vector<double> fixed = Lags(heard, ticks, starts);
  std::printf(
      "Elapsed second shown after the second heard: %.0f s song, real decoder, private sound server,\n"
      "one pause and one seek, %.1f s played\n",
      kSongSeconds, played);
  std::printf("  %-28s %7s %9s %9s %8s %10s\n", "", "seconds", "median", "worst", "looks/s", "reports/s");
  PrintRow("looks at each second heard", now, looksPerSecond, reportsPerSecond);
  PrintRow("fixed-phase 1 s tick", fixed, ticksPerSecond, ticksPerSecond);
  std::printf("  lag of the fixed tick / the looks: median %.1fx, worst %.1fx\n",
              Median(fixed) / std::max(1.0, Median(now)), Worst(fixed) / std::max(1.0, Worst(now)));
  const bool ok = !now.empty() && Worst(now) <= kMaxLagMs && looksPerSecond <= kMaxLooksPerSecond;
  if (!ok) {
    std::printf("FAILED: the shown second lags more than %.0f ms, or more than %.0f looks a second\n", kMaxLagMs,
                kMaxLooksPerSecond);
  }
  return ok ? 0 : 1;
}
