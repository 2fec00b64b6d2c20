// Decoder library benchmarks; each prints its figure and its ratio to a peer run in the same go.
//   1. A 5-minute 128 kbit/s file decoded into a WAV file (device 2) against `mpg123 -w`.
//   2. Processor time of the decode thread while the file plays on ALSA's null device, per
//      second of music, against mpg123 playing it to its dummy output.
//   3. Delay from "Play" to the first samples reaching the device, and from "Seek" to the
//      samples of the new position reaching it: ALSA's file plugin copies what the library writes
//      into a FIFO that a reader thread timestamps (silence before the seek target, a tone after).
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/mpegdll/library.h"
#include "tests/support/lame_encoder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using mpegdlltest::MpegDll;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

const fs::path kData = MPEGDLL_BENCH_DATA;

// The file of `name` under the bench data folder, made by `make` unless it is there already.
template <typename Make>
std::string Material(const std::string& name, Make make) {
  const fs::path path = kData / name;
  if (!fs::exists(path)) {
    fs::create_directories(kData);
    const std::string bytes = make();
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  return path.string();
}

std::string FiveMinutes() {
  return Material("five-minutes-128k.mp3", [] { return testsupport::GeneratedMp3(300.0); });
}

// Silence up to `toneAtS`, then a loud tone for ten seconds.
std::string SilenceThenTone(double toneAtS) {
  return Material("silence-then-tone.mp3", [toneAtS] {
    const int rate = 44100;
    std::vector<std::int16_t> samples(static_cast<std::size_t>((toneAtS + 10.0) * rate) * 2, 0);
    for (std::size_t i = static_cast<std::size_t>(toneAtS * rate); i < samples.size() / 2; ++i) {
      const auto v = static_cast<std::int16_t>(20000.0 * std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / rate));
      samples[2 * i] = samples[2 * i + 1] = v;
    }
    return testsupport::EncodeMp3(samples, {});
  });
}

void UseAlsaConfig(const std::string& text) {
  const std::string path = (kData / "asound.conf").string();
  std::ofstream(path) << text;
  setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
}

// Runs a command; its wall time, and its processor time through `cpu`.
double RunCommand(const std::vector<std::string>& args, double* cpu = nullptr) {
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    dup2(devnull, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double wall = Seconds(Clock::now() - start);
  if (cpu) {
    *cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return wall;
}

// Processor time of the library's decode thread (found by its name), seconds.
double DecodeThreadCpu() {
  DIR* tasks = opendir("/proc/self/task");
  double cpu = -1.0;
  while (dirent* entry = tasks ? readdir(tasks) : nullptr) {
    const std::string tid = entry->d_name;
    if (tid == "." || tid == "..") continue;
    std::string name;
    std::ifstream("/proc/self/task/" + tid + "/comm") >> name;
    if (name != "mpegdll-decode") continue;
    const auto id = static_cast<pid_t>(std::stol(tid));
    // The per-thread scheduler clock of a thread id (what pthread_getcpuclockid builds).
    const clockid_t clock = static_cast<clockid_t>((~static_cast<unsigned>(id) << 3) | 6u);
    timespec ts{};
    if (clock_gettime(clock, &ts) == 0) cpu = static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
  }
  if (tasks) closedir(tasks);
  return cpu;
}

bool PlayToEnd(const MpegDll& dll, const std::string& mp3, int device, const std::string& wav) {
  unsigned char end = 0;
  if (dll.OpenFile(mp3) != 0) return false;
  if (dll.SetOutputDevice(device, wav.c_str()) != 0) return false;
  if (dll.Play(0, 0, &end) != 0) return false;
  const bool ended = mpegdlltest::WaitForByte(&end, 120.0);
  dll.Close();
  return ended;
}

void WavBench(const MpegDll& dll) {
  const std::string mp3 = FiveMinutes();
  const std::string ours = (kData / "ours.wav").string();
  const std::string theirs = (kData / "mpg123.wav").string();
  double best = 1e9, peer = 1e9, bestCpu = 1e9, peerCpu = 1e9;
  for (int round = 0; round < 5; ++round) {
    const auto start = Clock::now();
    const double cpuBefore = DecodeThreadCpu();
    if (!PlayToEnd(dll, mp3, MPEG_DEVICE_WAV_FILE, ours)) std::printf("  decoding into WAV failed\n");
    best = std::min(best, Seconds(Clock::now() - start));
    bestCpu = std::min(bestCpu, DecodeThreadCpu() - cpuBefore);
    double cpu = 0;
    peer = std::min(peer, RunCommand({"mpg123", "-q", "-w", theirs, mp3}, &cpu));
    peerCpu = std::min(peerCpu, cpu);
  }
  std::printf("WAV file of a 5-minute 128 kbit/s file: library %.3f s, mpg123 -w %.3f s, ratio %.3f (target <= 1.05)\n",
              best, peer, best / peer);
  std::printf("  processor time: decode thread %.3f s, mpg123 -w %.3f s, ratio %.3f\n", bestCpu, peerCpu, bestCpu / peerCpu);
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  std::printf("  the two WAV files are %s\n", bytes(ours) == bytes(theirs) ? "identical" : "different");
}

// "Open" runs on the caller's thread: the frame search past junk and the full scan that makes the
// length exact. Peer: reading the same file once.
void OpenBench(const MpegDll& dll) {
  const std::string mp3 = FiveMinutes();
  const std::string junk = Material("ten-megabytes-of-junk.mp3", [] {
    std::string bytes(10 * 1024 * 1024, '\0');
    std::uint32_t x = 12345;
    for (auto& c : bytes) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    return bytes + testsupport::GeneratedMp3(5.0);
  });
  for (const std::string& path : {mp3, junk}) {
    double open = 1e9, read = 1e9;
    for (int round = 0; round < 5; ++round) {
      auto start = Clock::now();
      if (dll.OpenFile(path) != 0) std::printf("  cannot open %s\n", path.c_str());
      open = std::min(open, Seconds(Clock::now() - start));
      dll.Close();
      start = Clock::now();
      std::ifstream in(path, std::ios::binary);
      std::vector<char> buffer(1 << 16);
      while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
      }
      read = std::min(read, Seconds(Clock::now() - start));
    }
    std::printf("Open of %s: %.2f ms, reading it once %.2f ms, ratio %.2f\n", fs::path(path).filename().c_str(),
                open * 1000, read * 1000, open / read);
  }
}

void CpuBench(const MpegDll& dll) {
  const std::string mp3 = FiveMinutes();
  UseAlsaConfig("pcm.!default { type null }\n");
  double ours = 1e9, theirs = 1e9;
  for (int round = 0; round < 3; ++round) {
    unsigned char end = 0;
    if (dll.OpenFile(mp3) != 0 || dll.SetOutputDevice(MPEG_DEVICE_WAVE_MAPPER, "") != 0) return;
    const double before = DecodeThreadCpu();
    if (dll.Play(0, 0, &end) != 0 || !mpegdlltest::WaitForByte(&end, 120.0)) std::printf("  playing failed\n");
    ours = std::min(ours, DecodeThreadCpu() - before);
    dll.Close();
    double cpu = 0;
    RunCommand({"mpg123", "-q", "-o", "dummy", mp3}, &cpu);
    theirs = std::min(theirs, cpu);
  }
  const double duration = dll.OpenFile(mp3) == 0 ? dll.GetLength() / 1000.0 : 300.0;
  dll.Close();
  std::printf("Processor time of playing (null device): decode thread %.3f s for %.0f s = %.3f %% of a core "
              "(target < 0.5 %%); mpg123 -o dummy %.3f s = %.3f %%; ratio %.3f\n",
              ours, duration, 100.0 * ours / duration, theirs, 100.0 * theirs / duration, ours / theirs);
}

// Reads the FIFO the file plugin writes, noting when the first sample and the first loud sample came.
class FifoWatcher {
 public:
  explicit FifoWatcher(const std::string& path) {
    unlink(path.c_str());
    mkfifo(path.c_str(), 0600);
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    thread_ = std::thread([this] { Run(); });
  }
  ~FifoWatcher() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    first_.reset();
    loud_.reset();
  }
  std::optional<Clock::time_point> First() {
    std::lock_guard lock(mutex_);
    return first_;
  }
  std::optional<Clock::time_point> Loud() {
    std::lock_guard lock(mutex_);
    return loud_;
  }

 private:
  void Run() {
    std::vector<std::int16_t> buffer(65536);
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      poll(&p, 1, 1);
      const ssize_t got = read(fd_, buffer.data(), buffer.size() * 2);
      if (got <= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        continue;
      }
      const auto now = Clock::now();
      const bool loud = std::any_of(buffer.begin(), buffer.begin() + got / 2, [](std::int16_t s) { return std::abs(s) > 5000; });
      std::lock_guard lock(mutex_);
      if (!first_) first_ = now;
      if (loud && !loud_) loud_ = now;
    }
  }

  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::optional<Clock::time_point> first_, loud_;
  std::thread thread_;
};

template <typename Ready>
std::optional<double> WaitFor(Ready ready, Clock::time_point since) {
  const auto deadline = since + std::chrono::seconds(5);
  while (Clock::now() < deadline) {
    if (auto t = ready()) return Seconds(*t - since) * 1000.0;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  return std::nullopt;
}

void LatencyBench(const MpegDll& dll) {
  const double toneAt = 110.0;
  const std::string mp3 = SilenceThenTone(toneAt);
  const std::string fifo = (kData / "device.fifo").string();
  FifoWatcher watcher(fifo);
  UseAlsaConfig("pcm.!default { type file slave { pcm { type null } } file \"" + fifo + "\" format \"raw\" }\n");
  std::vector<double> plays, seeks;
  for (int round = 0; round < 7; ++round) {
    unsigned char end = 0;
    if (dll.OpenFile(mp3) != 0 || dll.SetOutputDevice(MPEG_DEVICE_WAVE_MAPPER, "") != 0) {
      std::printf("  cannot open %s\n", mp3.c_str());
      return;
    }
    watcher.Reset();
    const auto play = Clock::now();
    if (const int code = dll.Play(0, 0, &end); code != 0) {
      std::printf("  Play failed with code %d\n", code);
      return;
    }
    const auto firstMs = WaitFor([&] { return watcher.First(); }, play);
    const auto seek = Clock::now();
    dll.Seek(static_cast<int>((toneAt + 1.0) * 1000));
    const auto loudMs = WaitFor([&] { return watcher.Loud(); }, seek);
    dll.Close();
    if (firstMs) plays.push_back(*firstMs);
    if (loudMs) seeks.push_back(*loudMs);
  }
  auto median = [](std::vector<double> v) {
    if (v.empty()) return -1.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("Play to first samples at the device: median %.2f ms of %zu (target < 20 ms)\n", median(plays), plays.size());
  std::printf("Seek to the new position's samples at the device: median %.2f ms of %zu (target < 20 ms)\n",
              median(seeks), seeks.size());
}

}  // namespace

int main() {
  UseAlsaConfig("pcm.!default { type null }\n");
  std::string missing;
  MpegDll dll = mpegdlltest::LoadMpegDll(MPEGDLL_PATH, &missing);
  if (!dll.handle || !dll.init()) {
    std::fprintf(stderr, "cannot load %s: %s\n", MPEGDLL_PATH, missing.c_str());
    return 1;
  }
  WavBench(dll);
  OpenBench(dll);
  CpuBench(dll);
  LatencyBench(dll);
  dll.deinit();
  return 0;
}
