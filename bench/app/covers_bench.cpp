// Covers of the main window: choosing an album whose front and back covers are large progressive
// pictures (4000 x 4000 and 1500 x 1500), against djpeg decoding the same two files at the same
// scale in the same run; and returning to the window with those covers unchanged.
//
// Choosing alternates between two albums with the same pictures, so every choice decodes both.
// Each figure is the median of the rounds; the ratio of the choice to djpeg is printed.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/application_setup.h"
#include "app/main_form.h"
#include "tests/app/compilation_files.h"
#include "tests/app/jpeg_files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 15;
constexpr int kActivations = 200;

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The two pictures, made once and kept between runs (encoding the large one takes seconds).
fs::path Picture(const char* name, int side) {
  const fs::path path = fs::path(ALBAVOX_BENCH_DATA) / "covers" / name;
  if (!fs::exists(path)) WriteFile(path, testsupport::JpegPhoto(QSize(side, side), true));
  return path;
}

fs::path MakeCompilation(const fs::path& front, const fs::path& back) {
  const fs::path root = fs::path(ALBAVOX_BENCH_DATA) / "covers" / "compilation";
  fs::remove_all(root);
  WriteFile(root / "ALBUMS.INF", testsupport::IndexFile("Covers", 0, {{"Uno", 0}, {"Due", 0}}));
  for (const char* album : {"Uno", "Due"}) {
    WriteFile(root / album / "song.mp3", testsupport::Mp3File(30));
    fs::copy_file(front, root / album / "front.jpg");
    fs::copy_file(back, root / album / "back.jpg");
  }
  fs::copy_file(MPEGDLL_PATH, root / "MPEGDLL.DLL");
  return root;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Millis(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// djpeg decoding `file` at 1/`denominator` into nothing, waited for.
void Djpeg(const fs::path& file, int denominator) {
  const std::string scale = "1/" + std::to_string(denominator);
  std::vector<std::string> args = {"djpeg", "-scale", scale, "-outfile", "/dev/null", file.string()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawnp(&child, "djpeg", nullptr, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("djpeg is not installed (package libjpeg-turbo-progs)");
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("djpeg failed on " + file.string());
}

void Choose(app::TMainForm& form, int row) {
  form.AlbumListBox->setCurrentRow(row);
  form.AlbumListBoxClick();
}

void Activate(app::TMainForm& form) {
  QEvent activation(QEvent::WindowActivate);
  QApplication::sendEvent(&form, &activation);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::SetUpApplication();
  const fs::path front = Picture("front-4000.jpg", 4000);
  const fs::path back = Picture("back-1500.jpg", 1500);
  fs::current_path(MakeCompilation(front, back));

  app::TMainForm form;
  form.show();
  QApplication::processEvents();
  Activate(form);

  // The scales the window picks for its 193 x 173 pages: 4000 / 8 = 500, 1500 / 4 = 375.
  std::vector<double> choices, peers;
  for (int round = 0; round < kRounds; ++round) {
    choices.push_back(Millis([&] { Choose(form, (round + 1) % 2); }));
    peers.push_back(Millis([&] {
      Djpeg(front, 8);
      Djpeg(back, 4);
    }));
  }
  if (form.FrontCoverImage->pixmap().isNull() || form.BackCoverImage->pixmap().isNull())
    throw std::runtime_error("the covers were not shown");

  std::vector<double> returns;
  for (int i = 0; i < kActivations; ++i) returns.push_back(Millis([&] { Activate(form); }));

  const double choice = Median(choices);
  const double peer = Median(peers);
  const double back_again = Median(returns);
  std::printf("choosing an album with 4000x4000 and 1500x1500 progressive covers: %.1f ms\n", choice);
  std::printf("djpeg decoding the same two files at the same scales:              %.1f ms\n", peer);
  std::printf("ratio choice / djpeg: %.2f (target at most 1.15)\n", choice / peer);
  std::printf(
      "returning to the window with the covers unchanged: %.3f ms (target at most 1 ms), "
      "%.4f of the choice\n",
      back_again, back_again / choice);
  return 0;
}
