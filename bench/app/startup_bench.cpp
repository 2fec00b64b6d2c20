// Start-up of albavox on a compilation of 10,000 albums, until the window's first frame with the
// first album opened, against a bare Qt window's start-up measured in the same run.
//
// The program re-executes itself: "--bare" shows an empty window of the same size, "--bare-text"
// the same window with one label, "--albavox" starts as the program does in a compilation. Each
// child reports the moment its first frame was painted; the parent measures from just before it
// started the child, alternating the kinds, and prints the medians and their ratios: albavox on
// 10,000 albums and albavox in a compilation without an index (the window alone), each against
// the bare window with one label (targets: at most 1.30 and 1.15). A third compilation is the
// first with the covers a scanned disc has: its first album has a 1500x1500 front.jpg and a
// 1500x1500 progressive back.jpg.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/application_setup.h"
#include "app/program_windows.h"
#include "desktop/mpris_bridge.h"
#include "tests/app/jpeg_files.h"
#include "tests/support/lame_encoder.h"
#include "zodizidu/macros/macro_table.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAlbums = 10000;
constexpr int kRounds = 25;

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Prints the time once the window's first frame has been painted, then ends the process at once
// (tearing down is no part of starting).
class FirstFrame : public QObject {
 public:
  explicit FirstFrame(QWidget& window) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, [] {
        std::printf("%lld\n", static_cast<long long>(NowNs()));
        std::fflush(stdout);
        std::_Exit(0);
      });
    }
    return false;
  }

 private:
  bool seen_ = false;
};

int RunBare(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(577, 332);
  window.setWindowTitle(QStringLiteral("Albavox v2.0"));
  FirstFrame frame(window);
  window.show();
  return QApplication::exec();
}

// The same bare window with one line of text: the fixed price of drawing any text at all
// (the system's font configuration is read on first use).
int RunBareText(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(577, 332);
  window.setWindowTitle(QStringLiteral("Albavox v2.0"));
  QLabel label(QStringLiteral("Nessun album."), &window);
  label.move(10, 10);
  FirstFrame frame(window);
  window.show();
  return QApplication::exec();
}

// The program's own start (app/main.cpp) after its command line.
int RunAlbavox(int argc, char** argv, const char* root) {
  fs::current_path(root);
  zodizidu::MacroDefinitions();
  QApplication application(argc, argv);
  app::SetUpApplication();
  app::ProgramWindows windows;
  new desktop::MprisBridge(windows.MainForm());
  FirstFrame frame(windows.MainForm());
  windows.Show();
  return QApplication::exec();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string Record(const std::string& name, std::int32_t flag) {
  std::string record(260, '\0');
  record[0] = static_cast<char>(name.size());
  std::copy(name.begin(), name.end(), record.begin() + 1);
  for (int i = 0; i < 4; ++i) record[256 + i] = static_cast<char>((static_cast<std::uint32_t>(flag) >> (8 * i)) & 0xFF);
  return record;
}

// The index lists the albums in a shuffled order, so the window really sorts them; the album
// shown first holds three real songs.
fs::path MakeCompilation(bool covers) {
  const fs::path root = fs::path(ALBAVOX_BENCH_DATA) / (covers ? "compilation-covers" : "compilation");
  fs::remove_all(root);
  std::vector<int> order(kAlbums);
  for (int i = 0; i < kAlbums; ++i) order[static_cast<std::size_t>(i)] = i;
  std::uint32_t state = 12345;
  for (int i = kAlbums - 1; i > 0; --i) {
    state = state * 1103515245u + 12345u;
    std::swap(order[static_cast<std::size_t>(i)], order[(state >> 8) % static_cast<std::uint32_t>(i + 1)]);
  }
  std::string index = Record("Albavox benchmark", 1);
  char name[32];
  for (int album : order) {
    std::snprintf(name, sizeof name, "Album %05d", album);
    index += Record(name, album % 7 == 0 ? 1 : 0);
  }
  WriteFile(root / "ALBUMS.INF", index);
  for (int song = 1; song <= 3; ++song) {
    WriteFile(root / "Album 00001" / ("Song " + std::to_string(song) + ".mp3"),
              testsupport::GeneratedMp3(20.0, {}, song));
  }
  fs::create_directories(root / "Album 00000" / "CD1");
  fs::copy_file(root / "Album 00001" / "Song 1.mp3", root / "Album 00000" / "CD1" / "Song 1.mp3");
  if (covers) {
    WriteFile(root / "Album 00000" / "front.jpg", testsupport::JpegPhoto(QSize(1500, 1500), false));
    WriteFile(root / "Album 00000" / "back.jpg", testsupport::JpegPhoto(QSize(1500, 1500), true));
  }
  fs::copy_file(MPEGDLL_PATH, root / "MPEGDLL.DLL");
  return root;
}

// The decoder library and nothing else: the window starts in its empty state.
fs::path MakeEmptyCompilation() {
  const fs::path root = fs::path(ALBAVOX_BENCH_DATA) / "no-index";
  fs::remove_all(root);
  fs::create_directories(root);
  fs::copy_file(MPEGDLL_PATH, root / "MPEGDLL.DLL");
  return root;
}

// Runs this program with `mode`; returns nanoseconds from just before the start to its first frame.
std::int64_t TimeChild(const char* self, const std::string& mode, const std::string& root) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<std::string> args = {self, mode};
  if (!root.empty()) args.push_back(root);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const std::int64_t start = NowNs();
  if (::posix_spawn(&child, self, &actions, nullptr, argv.data(), environ) != 0) throw std::runtime_error("spawn");
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  std::string output;
  char buffer[64];
  ssize_t got = 0;
  while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<std::size_t>(got));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (output.empty()) throw std::runtime_error(mode + " reported no frame");
  return std::stoll(output) - start;
}

double MedianMs(std::vector<std::int64_t> values) {
  std::sort(values.begin(), values.end());
  return static_cast<double>(values[values.size() / 2]) / 1e6;
}

// The ratio of each round's two times, as "median (quartiles low-high)": a round's two starts lie
// a few milliseconds apart, so a machine that slows down for a while slows both, and the spread
// shows how far one run's ratio can be trusted.
std::string RoundRatios(const std::vector<std::int64_t>& times, const std::vector<std::int64_t>& reference) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < times.size(); ++i) {
    ratios.push_back(static_cast<double>(times[i]) / static_cast<double>(reference[i]));
  }
  std::sort(ratios.begin(), ratios.end());
  const std::size_t n = ratios.size();
  char text[64];
  std::snprintf(text, sizeof text, "%.2f (quartiles %.2f-%.2f)", ratios[n / 2], ratios[n / 4], ratios[(3 * n) / 4]);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--bare") return RunBare(argc, argv);
  if (argc >= 2 && std::string(argv[1]) == "--bare-text") return RunBareText(argc, argv);
  if (argc >= 3 && std::string(argv[1]) == "--albavox") return RunAlbavox(argc, argv, argv[2]);

  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string root = MakeCompilation(false).string();
  const std::string withCovers = MakeCompilation(true).string();
  const std::string empty = MakeEmptyCompilation().string();
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  TimeChild(self.c_str(), "--bare", "");  // warm the caches for all
  TimeChild(self.c_str(), "--albavox", root);
  TimeChild(self.c_str(), "--albavox", empty);
  TimeChild(self.c_str(), "--albavox", withCovers);
  TimeChild(self.c_str(), "--bare-text", "");
  std::vector<std::int64_t> bare, bareText, albavox, window, covered;
  for (int round = 0; round < kRounds; ++round) {
    bare.push_back(TimeChild(self.c_str(), "--bare", ""));
    bareText.push_back(TimeChild(self.c_str(), "--bare-text", ""));
    albavox.push_back(TimeChild(self.c_str(), "--albavox", root));
    window.push_back(TimeChild(self.c_str(), "--albavox", empty));
    covered.push_back(TimeChild(self.c_str(), "--albavox", withCovers));
  }
  const double bareMs = MedianMs(bare);
  const double bareTextMs = MedianMs(bareText);
  const double albavoxMs = MedianMs(albavox);
  const double windowMs = MedianMs(window);
  std::printf("start-up to the first frame, median of %d runs each (offscreen)\n", kRounds);
  std::printf("  bare Qt window:                       %8.1f ms\n", bareMs);
  std::printf("  bare Qt window with one label:         %8.1f ms\n", bareTextMs);
  std::printf("  albavox, %d albums, first opened:  %8.1f ms\n", kAlbums, albavoxMs);
  std::printf("  albavox without an index:              %8.1f ms\n", windowMs);
  std::printf("  albavox, %d albums, covers 1500x1500: %8.1f ms\n", kAlbums, MedianMs(covered));
  std::printf("ratio albavox, %d albums / bare window with one label: %.2f (target at most 1.30)\n", kAlbums,
              albavoxMs / bareTextMs);
  std::printf("ratio albavox without an index / bare window with one label: %.2f (target at most 1.15)\n",
              windowMs / bareTextMs);
  std::printf("round by round, albavox, %d albums / bare window with one label: %s\n", kAlbums,
              RoundRatios(albavox, bareText).c_str());
  std::printf("round by round, albavox without an index / bare window with one label: %s\n",
              RoundRatios(window, bareText).c_str());
  std::printf("round by round, albavox, %d albums with covers / bare window with one label: %s\n", kAlbums,
              RoundRatios(covered, bareText).c_str());
  std::printf("ratio albavox, %d albums / bare window: %.2f\n", kAlbums, albavoxMs / bareMs);
  std::printf("ratio albavox, %d albums / albavox without an index: %.2f\n", kAlbums, albavoxMs / windowMs);
  return 0;
}
