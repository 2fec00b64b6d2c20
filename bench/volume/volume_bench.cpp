// Processor time of the volume component's idle polling, ten ticks a second on the wave volume
// of a private sound server, with nothing changing; each tick's handler reads the volume three
// times, as the main window's does. Peers in the same run: a bare timer of the same period
// (what any polling costs), and the same component on the fake mixer (what the sound server's
// mixer adds). The sound server's own processor time over the same spans shows whether the
// polls reached it. Last, the server is stopped: the component then polls a mixer that is gone,
// which it tries to reach again about once a second.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "platform/mixer/mixer.h"
#include "tests/support/fake_mixer.h"
#include "tests/support/pulse_server.h"
#include "volume/vol_control.h"

namespace {

constexpr int kSpanMs = 5000;  // 50 ticks
constexpr int kRounds = 5;

double ProcessCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The processor time (user + system) of process `pid` in seconds; 0 when it cannot be read.
double ChildCpuSeconds(pid_t pid) {
  if (pid <= 0) return 0;
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The sound server this process started: its child named "pulseaudio".
pid_t SoundServerPid() {
  DIR* proc = ::opendir("/proc");
  if (!proc) return -1;
  pid_t found = -1;
  while (const dirent* entry = ::readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto open = text.find('('), close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 2));
    std::string state;
    pid_t parent = 0;
    rest >> state >> parent;
    if (parent == ::getpid() && text.substr(open + 1, close - open - 1) == "pulseaudio") found = pid;
  }
  ::closedir(proc);
  return found;
}

// Runs the event loop for one span; the processor time this process spent, in seconds.
double IdleSpan() {
  QEventLoop loop;
  QTimer::singleShot(kSpanMs, &loop, &QEventLoop::quit);
  const double start = ProcessCpuSeconds();
  loop.exec();
  return ProcessCpuSeconds() - start;
}

// One span with `setUp`'s poller alive: the share of one core this process spent.
double Share(const std::function<std::shared_ptr<void>()>& setUp) {
  const std::shared_ptr<void> poller = setUp();
  return IdleSpan() / (kSpanMs / 1000.0);
}

// The component on the wave output, its tick handler reading the volume three times.
std::shared_ptr<void> Component(int& ticks) {
  auto control = std::make_shared<volume::TmVolControl>();
  control->SetDeviceType(volume::TDeviceType::dvWave);
  control->onChange = [&ticks](volume::TmVolControl& sender) {
    ++ticks;
    volatile int sum = sender.Volume() + sender.Volume() + sender.Volume();
    (void)sum;
  };
  return control;
}

// The same on the fake mixer, which holds the sound server's range and volume.
std::shared_ptr<void> OnFakeMixer(int& ticks) {
  struct Poller {
    testsupport::FakeMixer mixer;
    std::shared_ptr<void> control;
  };
  auto poller = std::make_shared<Poller>();
  poller->mixer.Add("Master", 0, 65536, false, 39322);
  poller->control = Component(ticks);
  return poller;
}

std::shared_ptr<void> BareTimer(int& ticks) {
  auto timer = std::make_shared<QTimer>();
  QObject::connect(timer.get(), &QTimer::timeout, [&ticks] { ++ticks; });
  timer->start(volume::TmVolControl::kPollPeriod);
  return timer;
}

void Report(const char* what, double share, double peer, const char* peerName) {
  std::printf("%-44s %8.4f %% of a core  (%s %8.4f %%, ratio %.2f)\n", what, share * 100, peerName, peer * 100,
              share / peer);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testsupport::PulseServer server;
  if (!server.Running()) {
    std::fprintf(stderr, "volume_bench: no sound server: %s\n", server.Why().c_str());
    return 1;
  }
  platform::CloseMixer();
  if (platform::WaveOutGetNumDevs() == 0) {
    std::fprintf(stderr, "volume_bench: the sound server's mixer cannot be reached\n");
    return 1;
  }
  server.SetSinkVolume(39322, 39322);  // 60 %, left alone from here on
  const pid_t serverPid = SoundServerPid();

  // The three pollers take turns, so that the machine's other work falls on each alike; the
  // least of each one's spans is the least disturbed.
  int pulseTicks = 0, bareTicks = 0, fakeTicks = 0;
  double pulse = 1e9, bare = 1e9, fake = 1e9, serverSeconds = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double serverBefore = ChildCpuSeconds(serverPid);
    pulse = std::min(pulse, Share([&] { return Component(pulseTicks); }));
    serverSeconds += ChildCpuSeconds(serverPid) - serverBefore;
    bare = std::min(bare, Share([&] { return BareTimer(bareTicks); }));
    fake = std::min(fake, Share([&] { return OnFakeMixer(fakeTicks); }));
  }
  const double serverShare = serverSeconds / (kRounds * kSpanMs / 1000.0);
  std::uint32_t left = 0, right = 0;
  server.SinkVolume(left, right);
  server.Pactl("exit");
  int goneTicks = 0;
  double gone = 1e9;
  for (int round = 0; round < 2; ++round) gone = std::min(gone, Share([&] { return Component(goneTicks); }));

  std::printf("Idle polling, %d ticks a second, best of %d spans of %d ms\n", 1000 / volume::TmVolControl::kPollPeriod,
              kRounds, kSpanMs);
  std::printf("ticks: sound server %d, bare timer %d, fake mixer %d\n", pulseTicks, bareTicks, fakeTicks);
  Report("component on the sound server's mixer", pulse, bare, "bare timer");
  Report("component on the sound server's mixer", pulse, fake, "fake mixer");
  std::printf("%-44s %8.4f %% of a core, %.1f us a tick  (target: under 0.05 %%)\n", "polling over the bare timer",
              (pulse - bare) * 100, (pulse - bare) * 1e6 * volume::TmVolControl::kPollPeriod / 1000.0);
  std::printf("%-44s %8.4f %% of a core\n", "sound server meanwhile", serverShare * 100);
  Report("component with the sound server gone", gone, bare, "bare timer");
  std::printf("sink volume after the polling: %u %u (39322 before: step 153, which sets 39322)\n", left, right);
  return 0;
}
