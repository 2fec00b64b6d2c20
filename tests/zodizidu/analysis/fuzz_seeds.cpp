// Writes the seed files of the analysis fuzz target into the folder named by its argument.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/mpeg_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zodizidu_fuzz_seeds FOLDER\n";
    return 2;
  }
  using namespace testsupport;
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  MpegHeader mono25 = MakeHeader(3, 3, 32, 8000);
  mono25.mode = 3;
  MpegHeader crc = MakeHeader(1, 1, 448, 44100);
  crc.crc = true;
  const std::vector<std::pair<std::string, std::string>> seeds{
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
