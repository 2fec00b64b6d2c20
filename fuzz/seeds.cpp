// Writes the generated seeds of one fuzz target into a folder:
//   fuzz_seeds analyze FOLDER   MP3 files of every shape the analysis meets
//   fuzz_seeds cover FOLDER     every kind of JPEG a cover comes in, a PNG, and the damaged ones a disc may hold
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QSize>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/app/jpeg_files.h"
#include "tests/support/mpeg_builder.h"

namespace {

using Seeds = std::vector<std::pair<std::string, std::string>>;
using namespace testsupport;

Seeds AnalyzeSeeds() {
  MpegHeader mono25 = MakeHeader(3, 3, 32, 8000);
  mono25.mode = 3;
  MpegHeader crc = MakeHeader(1, 1, 448, 44100);
  crc.crc = true;
  return {
      {"plain", Mp3File(4, Id3v1Fields().Title("Seed").Artist("Band").Track(1).Genre(17))},
      {"lead", Id3v2Block(200) + Junk(50) + Mp3File(3)},
      {"xing", XingFrame(MakeHeader(1, 3, 128, 32000), XingFields().Frames(375u).Bytes(9000u).Toc()) +
                   Frames(MakeHeader(1, 3, 128, 32000), 2)},
      {"xing25", XingFrame(mono25, XingFields().Frames(2000u)) + Frames(mono25, 2)},
      {"mpeg2", Frames(MakeHeader(2, 3, 64, 22050), 3)},
      {"layer1crc", Frames(crc, 2) + "\xFF"},
      {"false", Junk(40) + "\xFF" + Frames(MakeHeader(3, 3, 8, 8000), 3)},
      {"tiny", MakeHeader(1, 3, 128, 44100).Bytes()},
      {"covered", CoverTag(600, 40) + Id3v2Tag(Id3v2Fields().Version(4).Footer()) + Mp3File(3) + ApeTag(20)},
      {"vbri", VbriFrame(MakeHeader(1, 3, 32, 44100), 8500u, 900000u) + Frames(MakeHeader(1, 3, 32, 44100), 2) +
                   ApeTag(0, false) + Id3v1Tag(Id3v1Fields().Title("Seed"))},
      {"id3v2texts", Id3v2Tag(Id3v2Fields().Body(Id3v2TextFrame("TIT2", "Seed") + Id3v2TextFrame("TCON", "(17)") +
                                                 Id3v2Frame("COMM", std::string("\0eng\0c", 6)) +
                                                 Id3v2PictureFrame(CoverPicture(100)))) +
                         Mp3File(3) + Id3v2Tag(Id3v2Fields().Version(4).Body(Id3v2TextFrame("TALB", "S", 4)).Footer())},
  };
}

Seeds CoverSeeds() {
  const std::string baseline = JpegPhoto(QSize(120, 90), false);
  QImage picture(60, 40, QImage::Format_ARGB32);
  picture.fill(QColor(20, 120, 220, 200));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  return {
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
      {"png", png.toStdString()},
      {"png_truncated", png.left(png.size() / 2).toStdString()},
  };
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view kind = argc == 3 ? argv[1] : "";
  if (kind != "analyze" && kind != "cover") {
    std::cerr << "usage: fuzz_seeds analyze|cover FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[2];
  std::filesystem::create_directories(folder);
  for (const auto& [name, bytes] : kind == "analyze" ? AnalyzeSeeds() : CoverSeeds()) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "cannot write " << (folder / name) << "\n";
      return 1;
    }
  }
  return 0;
}
