// The built report tool run end to end on a generated folder tree: output, exit codes, summary.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ReportToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::Id3v1Fields tag;
    tag.title = "Primo";
    tag.artist = "Banda";
    tag.genre = 17;
    tmp.WriteFile("music/Album/b.mp3", testsupport::Mp3File(40));
    tmp.WriteFile("music/Album/A - Primo.MP3", testsupport::Mp3File(40, tag));
    tmp.WriteFile("music/Album/cover.jpg", "not a song");
    tmp.WriteFile("music/Album/CD1/c.mp3", testsupport::Mp3File(40));
    tmp.WriteFile("music/Other/d.mp3", testsupport::Mp3File(40));
  }
  // Runs the tool in the temporary folder with the C locale.
  ToolRun Tool(const std::vector<std::string>& args) const {
    std::string command = "cd " + Quote(tmp.str()) + " && LC_ALL=C " + Quote(MP3REPORT_BINARY);
    for (const std::string& arg : args) command += " " + Quote(arg);
    const std::string outFile = tmp.str() + "/.stdout", errFile = tmp.str() + "/.stderr";
    command += " >" + Quote(outFile) + " 2>" + Quote(errFile);
    ToolRun run;
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Slurp(outFile);
    run.err = Slurp(errFile);
    return run;
  }

  // The names in the folder `relative`, sorted.
  std::vector<std::string> Names(const std::string& relative) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(tmp.path() / relative)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  testsupport::TempDir tmp;
};

TEST_F(ReportToolTest, TrackListOfAFolderTreeInSongListOrder) {
  const ToolRun run = Tool({"-t", "%N,T%. %FPR,T%%FN,T% %GAT,T% %BR,T% %G,T%", "music"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "1. music/Album/A - Primo.MP3 Banda - Primo 128 Rock\n"
            "2. music/Album/b.mp3 Unknown Artist - Unknown Title 128 Unknown\n"
            "3. music/Album/CD1/c.mp3 Unknown Artist - Unknown Title 128 Unknown\n"
            "4. music/Other/d.mp3 Unknown Artist - Unknown Title 128 Unknown\n");
  EXPECT_EQ(run.err, "mp3report: 4 files reported, 0 not read\n");
}

TEST_F(ReportToolTest, CatalogueFromATemplateFileIntoAnOutputDocument) {
  tmp.WriteFile("cat.tpl", "%GN,T%.%GFN,T%/%GFC,T% %FN,T%%nl%  [%OD,T%|%TN,T%|%FPR,T%]\n");
  tmp.MakeDir("out");
  const ToolRun run = Tool({"-T", "cat.tpl", "-o", "out/report.txt", "music/Other", "music/Album"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Slurp(tmp.str() + "/out/report.txt"),
            "1.1/1 d.mp3\r\n  [report.txt|cat.tpl|../music/Other/]\n"
            "2.1/2 A - Primo.MP3\r\n  [report.txt|cat.tpl|../music/Album/]\n"
            "2.2/2 b.mp3\r\n  [report.txt|cat.tpl|../music/Album/]\n"
            "3.1/1 c.mp3\r\n  [report.txt|cat.tpl|../music/Album/CD1/]\n");
  EXPECT_EQ(run.err, "mp3report: 4 files reported, 0 not read\n");
}

TEST_F(ReportToolTest, FilesThatCannotBeReadAreReportedAndCounted) {
  tmp.WriteFile("music/Other/broken.mp3", "no frames in here, only text");
  const ToolRun run = Tool({"-t", "%N,T% %FN,T% %T,T% %L,T%", "music/Other", "gone.mp3"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out,
            "1 broken.mp3 Unknown Title 28\n"
            "2 d.mp3 Unknown Title 16680\n"
            "3 gone.mp3 Unknown Title 0\n");
  EXPECT_EQ(run.err,
            "mp3report: not a readable MPEG audio file: music/Other/broken.mp3\n"
            "mp3report: not a readable MPEG audio file: gone.mp3\n"
            "mp3report: 3 files reported, 2 not read\n");
}

TEST_F(ReportToolTest, UsageErrorsExitWithTwoAndExplain) {
  ToolRun run = Tool({"music"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("a template is needed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("usage: mp3report"), std::string::npos);

  run = Tool({"-t", "%FN%", "--colour", "music"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("unknown option --colour"), std::string::npos);

  run = Tool({"-T", "missing.tpl", "music"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("cannot read the template file missing.tpl"), std::string::npos);

  run = Tool({"-t", "%FN%", "-o", "no/such/folder/out.txt", "music"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("cannot write no/such/folder/out.txt"), std::string::npos);

  run = Tool({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.rfind("usage: mp3report (-t TEMPLATE | -T TEMPLATE_FILE) [-o OUTPUT] PATH...", 0), 0u);
  EXPECT_EQ(run.err, "");
}

TEST_F(ReportToolTest, OutputThatIsOneOfTheInputsIsRefusedAndKeepsItsBytes) {
  const std::string song = tmp.str() + "/music/Other/d.mp3";
  const std::string before = Slurp(song);
  fs::create_hard_link(song, tmp.path() / "music/linked.mp3");
  fs::create_symlink("Other/d.mp3", tmp.path() / "music/pointer.mp3");
  for (const std::string output :
       {"music/Other/d.mp3", "./music/Album/../Other/d.mp3", "music/linked.mp3", "music/pointer.mp3"}) {
    const ToolRun run = Tool({"-t", "%FN%", "-o", output, "music/Album/b.mp3", "music/Other"});
    EXPECT_EQ(run.exitCode, 2) << output;
    EXPECT_NE(run.err.find("mp3report: the output " + output + " is one of the files to report on"), std::string::npos)
        << run.err;
  }
  EXPECT_EQ(Slurp(song), before);
  EXPECT_EQ(Names("music/Other"), std::vector<std::string>{"d.mp3"}) << "no temporary file is left";
}

TEST_F(ReportToolTest, ExistingOutputIsReplacedWholeAndKeepsItsPermissions) {
  const std::string output = tmp.WriteFile("out/report.txt", "old report\n").string();
  ASSERT_EQ(::chmod(output.c_str(), 0640), 0);
  ToolRun run = Tool({"-t", "%FN,T%", "-o", "out/report.txt", "music/Other"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Slurp(output), "d.mp3\n");
  struct stat info {};
  ASSERT_EQ(::stat(output.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Names("out"), std::vector<std::string>{"report.txt"});

  // A run that fails leaves the existing report as it was.
  run = Tool({"-t", "%FN,T%", "-o", "out/report.txt", "music/Other", "out/report.txt"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(Slurp(output), "d.mp3\n");
  EXPECT_EQ(Names("out"), std::vector<std::string>{"report.txt"});
}

TEST_F(ReportToolTest, TemplateThatCannotBeReadIsAUsageError) {
  const ToolRun run = Tool({"-T", "music", "music"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "mp3report: cannot read the template file music: Is a directory\n");
}

TEST_F(ReportToolTest, SpecialFilesAreTakenForMissingOnesWithoutWaiting) {
  // A FIFO without a writer, a socket and a device (through a link), as songs; the user's own
  // template is read from a pipe as from a file.
  tmp.MakeDir("special");
  ASSERT_EQ(::mkfifo((tmp.path() / "special/pipe.mp3").c_str(), 0600), 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  (tmp.path() / "special/socket.mp3").string().copy(address.sun_path, sizeof address.sun_path - 1);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(listener);
  fs::create_symlink("/dev/zero", tmp.path() / "special/zero.mp3");
  const ToolRun run = Tool({"-t", "%FN,T% %T,T% %L,T%", "special", "special/missing.mp3"});
  EXPECT_EQ(run.exitCode, 1);
  std::string out, err;
  for (const std::string name : {"pipe.mp3", "socket.mp3", "zero.mp3", "missing.mp3"}) {
    out += name + " Unknown Title 0\n";
    err += "mp3report: not a readable MPEG audio file: special/" + name + "\n";
  }
  std::thread writer([&] { std::ofstream(tmp.path() / "special/pipe.mp3") << "%FN,T%"; });
  const ToolRun piped = Tool({"-T", "special/pipe.mp3", "special/missing.mp3"});
  writer.join();
  EXPECT_EQ(piped.out, "missing.mp3\n");
  EXPECT_EQ(run.out, out);
  EXPECT_EQ(run.err, err + "mp3report: 4 files reported, 4 not read\n");
}

TEST_F(ReportToolTest, OutputIsUtf8WithWidthsAndFillsCountedInCharacters) {
  testsupport::Id3v1Fields tag;
  tag.title = "Perch\xE9";  // Windows-1252, as tags written on Windows hold it
  tag.artist = "Caff\xE8";
  tmp.WriteFile("enc/Citt\xC3\xA0.mp3", testsupport::Mp3File(40, tag));
  tmp.WriteFile("enc/s\xF9.mp3", testsupport::Mp3File(40));
  ToolRun run = Tool({"-t", "[%FN,L,5%|%FN,R,12,\xC3\xA9%|%T,T%|%A,C,9,\xC2\xB7%]", "enc"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "[Citt\xC3\xA0|\xC3\xA9\xC3\xA9\xC3\xA9"
            "Citt\xC3\xA0.mp3|Perch\xC3\xA9|\xC2\xB7\xC2\xB7"
            "Caff\xC3\xA8\xC2\xB7\xC2\xB7]\n"
            "[s\xC3\xB9.mp|\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9s\xC3\xB9.mp3|Unknown Title|Unknown A]\n");

  // A template file written on Windows is read by the same rule.
  tmp.WriteFile("win.tpl", "\xAB%FN,T%\xBB\r\n");
  run = Tool({"-T", "win.tpl", "enc/s\xF9.mp3"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "\xC2\xAB"
            "s\xC3\xB9.mp3\xC2\xBB\n");

  run = Tool({"-t", "%FN%", "enc/gone\xE8.mp3"});
  EXPECT_NE(run.err.find("not a readable MPEG audio file: enc/gone\xC3\xA8.mp3\n"), std::string::npos) << run.err;
}

TEST_F(ReportToolTest, PathsLongerThanTheRecordAreReadWhole) {
  std::string deep = "deep";
  for (int level = 0; level < 6; ++level) deep += "/" + std::string(50, static_cast<char>('a' + level));
  tmp.WriteFile(deep + "/song.mp3", testsupport::Mp3File(40));
  const ToolRun run = Tool({"-t", "%FN,T% %D,T% %FPR,T%", "deep"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "song.mp3 1 " + deep + "/\n");
}

}  // namespace
