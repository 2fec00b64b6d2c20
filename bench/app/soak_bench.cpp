// Soak of the player panel: 1000 cycles of play, pause, resume, seek, stop and next on the real
// window with the real decoder library, heard through a private sound server. Memory and open
// descriptors must end where they were once the window had warmed up, and no cycle may take much
// longer than the first ones: the last hundred cycles are compared with the first hundred.
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "app/application_setup.h"
#include "app/main_form.h"
#include "platform/ui/message_box.h"
#include "tests/app/compilation_files.h"
#include "tests/app/main_form_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/process_usage.h"
#include "tests/support/pulse_server.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::PulseServer;

constexpr int kSongs = 4;
constexpr int kWarmUp = 100;  // cycles after which memory and descriptors are taken as the start

double Mean(const std::vector<double>& values, std::size_t from, std::size_t to) {
  return std::accumulate(values.begin() + static_cast<std::ptrdiff_t>(from),
                         values.begin() + static_cast<std::ptrdiff_t>(to), 0.0) /
         static_cast<double>(to - from);
}

void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }

}  // namespace

int main(int argc, char** argv) {
  const int cycles = argc > 1 ? std::max(kWarmUp + 100, std::atoi(argv[1])) : 1000;
  PulseServer server;
  if (!server.Running()) {
    std::fprintf(stderr, "no sound server: %s\n", server.Why().c_str());
    return 1;
  }
  QApplication application(argc, argv);
  app::SetUpApplication();
  platform::MessageBoxRecorder boxes;

  testsupport::TempDir root;
  for (int i = 0; i < kSongs; ++i) {
    root.WriteFile("Album/" + std::to_string(i + 1) + ".mp3", testsupport::GeneratedMp3(4.0, {}, 200 + i));
  }
  root.WriteFile("ALBUMS.INF", testsupport::IndexFile("", 0, {{"Album", 0}}));
  fs::copy_file(MPEGDLL_PATH, root.path() / "MPEGDLL.DLL");
  testsupport::ScopedCurrentDir inRoot(root.path());

  app::TMainForm form;
  form.show();
  QTest::qWait(50);
  const long rssAtStart = testsupport::ResidentKb();
  const std::size_t fdsAtStart = testsupport::OpenDescriptors();
  long rssWarm = 0;
  std::size_t fdsWarm = 0;

  std::vector<double> times;
  int silent = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    QElapsedTimer clock;
    clock.start();
    Click(form.ButtonPlay);
    if (!QTest::qWaitFor([&] { return form.MPEGPlayer.GetCurrentPos() > 0; }, 3000)) ++silent;
    Click(form.ButtonPause);
    Click(form.ButtonPlay);  // resumes
    testsupport::DragThumbTo(form.PosMP3ScrollBar, 2);
    QApplication::processEvents();
    Click(form.ButtonStop);
    if (form.ButtonNext->isEnabled()) {
      Click(form.ButtonNext);
    } else {
      app::detail::ListBox* songs = form.SongsListBox;
      QTest::mouseClick(songs->viewport(), Qt::LeftButton, {}, songs->visualRect(songs->model()->index(0, 0)).center());
    }
    QApplication::processEvents();
    times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    if (cycle + 1 == kWarmUp) {
      rssWarm = testsupport::ResidentKb();
      fdsWarm = testsupport::OpenDescriptors();
    }
  }
  QTest::qWait(200);
  const long rssEnd = testsupport::ResidentKb();
  const std::size_t fdsEnd = testsupport::OpenDescriptors();

  const double first = times.front();
  const auto slowest = std::max_element(times.begin() + 1, times.end());
  const double worst = *slowest;
  const auto beyond = std::count_if(times.begin() + 1, times.end(), [&](double t) { return t > first * 1.5; });
  const double firstHundred = Mean(times, 0, 100);
  const double lastHundred = Mean(times, times.size() - 100, times.size());
  std::vector<double> sorted(times);
  std::sort(sorted.begin(), sorted.end());
  std::printf("cycles: %d (play, pause, resume, seek, stop, next), message boxes: %zu, plays without sound: %d\n",
              cycles, boxes.Calls().size(), silent);
  std::printf("resident memory: %ld KB at start, %ld KB after %d cycles, %ld KB at the end (%+ld KB since cycle %d)\n",
              rssAtStart, rssWarm, kWarmUp, rssEnd, rssEnd - rssWarm, kWarmUp);
  std::printf("open descriptors: %zu at start, %zu after %d cycles, %zu at the end\n", fdsAtStart, fdsWarm, kWarmUp,
              fdsEnd);
  std::printf(
      "cycle time: first %.1f ms, median %.1f ms, 99th percentile %.1f ms, slowest after the first %.1f ms "
      "(cycle %td); %td cycles over 1.5 times the first\n",
      first, sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], worst, slowest - times.begin() + 1, beyond);
  std::printf("last 100 cycles against the first 100: %.1f ms / %.1f ms = %.2f\n", lastHundred, firstHundred,
              lastHundred / firstHundred);
  std::printf("mean cycle time of each hundred, ms:");
  for (std::size_t from = 0; from + 100 <= times.size(); from += 100)
    std::printf(" %.1f", Mean(times, from, from + 100));
  std::printf("\n");
  // Memory may settle by a page or two of allocator slack; a leak of a cycle's worth would show as
  // hundreds of kilobytes over 900 cycles.
  const bool held = fdsEnd == fdsWarm && rssEnd - rssWarm < 1024 && lastHundred < firstHundred * 1.25 &&
                    boxes.Calls().empty() && silent == 0;
  std::printf("%s\n", held ? "soak held" : "SOAK FAILED");
  form.MPEGPlayer.UnloadDecoder();
  return held ? 0 : 1;
}
