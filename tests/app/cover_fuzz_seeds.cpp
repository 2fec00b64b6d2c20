// Writes the seed pictures of the cover fuzz target into the folder named by its argument: every
// kind of JPEG a cover comes in, and the damaged ones a disc may hold.
#include <QSize>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/jpeg_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: app_cover_fuzz_seeds FOLDER\n";
    return 2;
  }
  using namespace testsupport;
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const std::string baseline = JpegPhoto(QSize(120, 90), false);
  const std::vector<std::pair<std::string, std::string>> seeds{
      {"baseline", baseline},
      {"progressive", JpegPhoto(QSize(100, 80), true)},
      {"scaled", JpegPhoto(QSize(800, 720), false)},  // decoded at a quarter of its size
      {"grey", JpegGrey(QSize(64, 48))},
      {"cmyk", JpegInks(QSize(40, 30), 200, 20, 0, 10, InkForm::kAdobeCmyk)},
      {"ycck", JpegInks(QSize(40, 30), 0, 180, 60, 30, InkForm::kAdobeYcck)},
      {"plain_cmyk", JpegInks(QSize(24, 24), 10, 10, 250, 0, InkForm::kPlainCmyk)},
      {"restarts", JpegWithRestarts(QSize(96, 96), 1)},
      {"truncated", baseline.substr(0, baseline.size() / 2)},
      {"headers_only", baseline.substr(0, 700)},
      {"huge", JpegClaiming(QSize(65000, 65000))},
      {"wide", JpegClaiming(QSize(65000, 400))},
  };
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "cannot write " << (folder / name) << "\n";
      return 1;
    }
  }
  return 0;
}
