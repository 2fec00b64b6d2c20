// Covers of the main window, against djpeg decoding the same files in the same run:
// - choosing an album whose front and back covers are large progressive pictures (4000 x 4000
//   and 1500 x 1500), and returning to the window with those covers unchanged;
// - choosing an album whose front cover is a hostile progressive picture (a flat 10000 x 10000
//   picture whose last scan is repeated 300 times, and a 5000 x 5000 one likewise) or the largest
//   progressive photograph still shown: the time and the memory the choice takes more than
//   choosing an album without covers, the same picture decoded without the bounds (as the window
//   did before it had them), and djpeg with the same bounds (-maxmemory, -maxscans).
// - choosing a song whose tag carries a 1500 x 1500 progressive picture, in an album without
//   front.jpg, against choosing the same song in an album with front.jpg (which its picture does
//   not replace); and the time until the picture is shown, read off the window's thread, against
//   djpeg decoding it at the same scale.
//
// Choosing alternates between two albums (two songs), so every choice decodes. Each time is the median of
// the rounds; the ratio to djpeg is printed.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListView>
#include <QTest>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/application_setup.h"
#include "app/cover_picture.h"
#include "app/main_form.h"
#include "platform/ui/error_report.h"
#include "platform/ui/message_box.h"
#include "tests/app/compilation_files.h"
#include "tests/app/jpeg_files.h"
#include "tests/support/mpeg_builder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 15;
constexpr int kHeavyRounds = 3;
constexpr int kActivations = 200;
constexpr int kRepeats = 300;
constexpr QSize kArea(193, 173);

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A picture made once and kept between runs (encoding the large ones takes seconds).
fs::path Picture(const std::string& name, const std::function<std::string()>& make) {
  const fs::path path = fs::path(ALBAVOX_BENCH_DATA) / "covers" / name;
  if (!fs::exists(path)) WriteFile(path, make());
  return path;
}

// The picture song `name` ("a" or "b") carries in its tag: two different 1500 x 1500 photographs.
fs::path SongPicture(const std::string& name) {
  return Picture("song-" + name + ".jpg",
                 [&] { return testsupport::JpegPhoto(QSize(name == "a" ? 1500 : 1504, 1500), true); });
}

// A front cover that costs much to decode, in an album of its own.
struct Heavy {
  const char* album;
  fs::path picture;
  const char* what;
};

// Albums "Uno" and "Due" with both covers, one album for each heavy cover, "Vuoto" without covers.
fs::path MakeCompilation(const fs::path& front, const fs::path& back, const std::vector<Heavy>& heavies) {
  const fs::path root = fs::path(ALBAVOX_BENCH_DATA) / "covers" / "compilation";
  fs::remove_all(root);
  std::vector<testsupport::IndexAlbum> albums = {
      {"Uno", 0}, {"Due", 0}, {"Vuoto", 0}, {"Copertine", 0}, {"Coperta", 0}};
  for (const Heavy& heavy : heavies) albums.push_back({heavy.album, 0});
  WriteFile(root / "ALBUMS.INF", testsupport::IndexFile("Covers", 0, albums));
  for (const auto& album : albums) {
    if (album.name != "Copertine" && album.name != "Coperta")
      WriteFile(root / album.name / "song.mp3", testsupport::Mp3File(30));
  }
  for (const char* album : {"Uno", "Due"}) {
    fs::copy_file(front, root / album / "front.jpg");
    fs::copy_file(back, root / album / "back.jpg");
  }
  for (const Heavy& heavy : heavies) fs::copy_file(heavy.picture, root / heavy.album / "front.jpg");
  // Two songs with pictures of their own, in an album without front.jpg and in one with it.
  for (const char* name : {"a", "b"}) {
    std::ifstream in(SongPicture(name), std::ios::binary);
    const std::string picture((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string tag =
        testsupport::Id3v2Tag(testsupport::Id3v2Fields().Body(testsupport::Id3v2PictureFrame(picture)));
    WriteFile(root / "Copertine" / (std::string(name) + ".mp3"), tag + testsupport::Mp3File(30));
    WriteFile(root / "Coperta" / (std::string(name) + ".mp3"), tag + testsupport::Mp3File(30));
  }
  fs::copy_file(back, root / "Coperta" / "front.jpg");
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

// A memory figure of the process ("VmRSS:" now, "VmHWM:" its peak since ResetPeak), in MB.
double StatusMb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(field.size())) / 1024.0;
  }
  return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct Cost {
  double ms = 0;
  double mb = 0;  // the peak of memory beyond what was resident before
};

Cost Measure(const std::function<void()>& work) {
  const double before = StatusMb("VmRSS:");
  ResetPeak();
  Cost cost;
  cost.ms = Millis(work);
  cost.mb = StatusMb("VmHWM:") - before;
  return cost;
}

// djpeg with `options` decoding `file` into nothing: its time and its peak memory. Fails (a
// refusal) or succeeds; either is waited for, its messages dropped. Throws when djpeg is missing.
Cost Djpeg(const fs::path& file, const std::vector<std::string>& options) {
  std::vector<std::string> args = {"djpeg"};
  args.insert(args.end(), options.begin(), options.end());
  for (const std::string& tail : {std::string("-outfile"), std::string("/dev/null"), file.string()})
    args.push_back(tail);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, "djpeg", &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) throw std::runtime_error("djpeg is not installed (package libjpeg-turbo-progs)");
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Cost cost;
  cost.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  cost.mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return cost;
}

void Choose(app::TMainForm& form, const char* album) {
  const QAbstractItemModel* albums = form.AlbumListBox->model();
  const auto found =
      albums->match(albums->index(0, 0), Qt::DisplayRole, QString::fromLatin1(album), 1, Qt::MatchExactly);
  if (found.isEmpty()) throw std::runtime_error(std::string("no album ") + album);
  form.AlbumListBox->setCurrentRow(found.front().row());
  platform::RunGuarded([&] { form.AlbumListBoxClick(); });  // a refused cover goes to the error report
}

void Activate(app::TMainForm& form) {
  QEvent activation(QEvent::WindowActivate);
  QApplication::sendEvent(&form, &activation);
}

void Print(const std::string& what, const Cost& cost) {
  std::printf("  %-64s %9.1f ms %7.1f MB\n", what.c_str(), cost.ms, cost.mb);
}

// Choosing the album of `heavy` against choosing one without covers; the picture decoded without
// and with the bounds; djpeg at the same scale without and with the same bounds.
void Compare(app::TMainForm& form, const Heavy& heavy) {
  std::printf("%s (%.0f KB):\n", heavy.what, static_cast<double>(fs::file_size(heavy.picture)) / 1024.0);
  std::vector<double> times, plain;
  double memory = 0;
  for (int round = 0; round < kHeavyRounds; ++round) {
    plain.push_back(Millis([&] { Choose(form, "Vuoto"); }));
    const Cost cost = Measure([&] { Choose(form, heavy.album); });
    times.push_back(cost.ms);
    memory = std::max(memory, cost.mb);
    Choose(form, "Vuoto");
  }
  const Cost choice{Median(times) - Median(plain), memory};
  Print("choosing the album, more than one without covers", choice);

  app::CoverLimits unbounded;
  unbounded.memoryBytes = std::numeric_limits<std::size_t>::max();
  unbounded.scanBlocks = std::numeric_limits<long long>::max();
  unbounded.dataBytes = std::numeric_limits<long long>::max() / app::kScanDataWeight;
  const Cost before = Measure([&] { app::DecodeCover(heavy.picture.string(), kArea, {}, unbounded); });
  Print("the same picture decoded without the bounds", before);
  const app::CoverLimits bounds;
  std::string reason;
  const Cost after = Measure([&] { reason = app::DecodeCover(heavy.picture.string(), kArea, {}, bounds).error; });
  Print("the same picture decoded with the bounds", after);
  std::printf("    %s\n", reason.empty() ? "shown" : ("refused: " + reason).c_str());

  // djpeg counts its memory in kilobytes; its scan limit is the scan the budget refused at.
  int scan = 0;
  const bool scans = std::sscanf(reason.c_str(), "Picture has too many scans to decode (scan %d", &scan) == 1;
  std::vector<std::string> bounded = {"-scale", "1/8", "-maxmemory", std::to_string(bounds.memoryBytes >> 10) + "K"};
  if (scans) bounded.insert(bounded.end(), {"-maxscans", std::to_string(scan - 1)});
  std::string options;
  for (const std::string& option : bounded) options += " " + option;
  Print("djpeg -scale 1/8", Djpeg(heavy.picture, {"-scale", "1/8"}));
  const Cost peer = Djpeg(heavy.picture, bounded);
  Print("djpeg" + options, peer);
  std::printf("  choice / bounded djpeg: %.2f; unbounded / bounded decoding: %.1f times the time, %.1f the memory\n",
              choice.ms / std::max(peer.ms, 0.1), before.ms / std::max(after.ms, 0.1),
              before.mb / std::max(after.mb, 0.1));
}

// Choosing the second song of "Copertine" against the same song of "Coperta", in alternate rounds
// that each choose the album first (which shows its first song's picture); the time until the
// picture is shown against djpeg.
void CompareSongPictures(app::TMainForm& form) {
  const auto settled = [&] {
    while (form.ReadingSongCover()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  };
  std::vector<double> choices, plain, shown;
  for (int round = 0; round < 2 * kRounds; ++round) {
    const bool pictures = round % 2 == 0;
    Choose(form, pictures ? "Copertine" : "Coperta");
    settled();
    QTest::qWait(20);
    const auto start = std::chrono::steady_clock::now();
    (pictures ? choices : plain).push_back(Millis([&] {
      form.SongsListBox->setCurrentRow(1);
      platform::RunGuarded([&] { form.SongsListBoxClick(); });
    }));
    settled();
    if (!pictures) continue;
    shown.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (form.FrontCoverImage->pixmap().isNull()) throw std::runtime_error("the song's picture was not shown");
  }
  std::vector<double> peers;
  for (int round = 0; round < kRounds; ++round) peers.push_back(Djpeg(SongPicture("b"), {"-scale", "1/4"}).ms);
  std::printf("\nchoosing a song with a 1500x1500 progressive picture in its tag: %.2f ms\n", Median(choices));
  std::printf("the same song where the album has front.jpg:                    %.2f ms\n", Median(plain));
  std::printf("ratio without / with front.jpg: %.2f (target at most 1.1)\n", Median(choices) / Median(plain));
  std::printf("the picture shown %.1f ms after the choice; djpeg -scale 1/4 of it: %.1f ms; ratio %.2f\n",
              Median(shown), Median(peers), Median(shown) / Median(peers));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::SetUpApplication();
  const fs::path front = Picture("front-4000.jpg", [] { return testsupport::JpegPhoto(QSize(4000, 4000), true); });
  const fs::path back = Picture("back-1500.jpg", [] { return testsupport::JpegPhoto(QSize(1500, 1500), true); });
  const std::string repeats = std::to_string(kRepeats);
  const std::vector<Heavy> heavies = {
      {"Ostile",
       Picture("hostile-10000-" + repeats + ".jpg",
               [] { return testsupport::JpegRepeatingLastScan(QSize(10000, 10000), kRepeats); }),
       "10000x10000 progressive, last scan sent 300 more times"},
      {"Scansioni",
       Picture("hostile-5000-" + repeats + ".jpg",
               [] { return testsupport::JpegRepeatingLastScan(QSize(5000, 5000), kRepeats); }),
       "5000x5000 progressive, last scan sent 300 more times"},
      {"Foto", Picture("photo-7000.jpg", [] { return testsupport::JpegPhoto(QSize(7000, 7000), true); }),
       "7000x7000 progressive photograph, about the largest still shown"},
  };
  fs::current_path(MakeCompilation(front, back, heavies));

  app::TMainForm form;
  form.show();
  QApplication::processEvents();
  Activate(form);

  // The scales the window picks for its 193 x 173 pages: 4000 / 8 = 500, 1500 / 4 = 375.
  std::vector<double> choices, peers;
  for (int round = 0; round < kRounds; ++round) {
    choices.push_back(Millis([&] { Choose(form, round % 2 ? "Uno" : "Due"); }));
    peers.push_back(Millis([&] {
      Djpeg(front, {"-scale", "1/8"});
      Djpeg(back, {"-scale", "1/4"});
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

  CompareSongPictures(form);

  // The error report of a refused picture is answered at once, as the user would close its box.
  const platform::MessageBoxRecorder answered;
  std::printf("\nheavy covers (target: at most about 1 s and 300 MB more than an album without covers)\n");
  for (const Heavy& heavy : heavies) Compare(form, heavy);
  return 0;
}
