// albaindex --with-decoder: the installed decoder library placed into the compilation, from the
// build folder and from an installed layout; a different file there is only replaced with --force;
// a failed or interrupted step leaves the folder as it was.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunTool;
using testsupport::TempDir;
using testsupport::ToolRun;

std::string ReadFile(const fs::path& file) {
  if (!fs::exists(fs::symlink_status(file))) return "<none>";
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The decoder library beside the built albaindex.
const fs::path kBuiltDecoder = fs::path(ALBAINDEX_PATH).parent_path() / "MPEGDLL.DLL";

TEST(AlbaindexWithDecoder, CopiesTheDecoderBesideTheIndexAndLeavesAnEqualOneAlone) {
  TempDir tmp;
  tmp.MakeDir("Album");
  const ToolRun run = RunTool(ALBAINDEX_PATH, {"--with-decoder", tmp.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(fs::exists(tmp.path() / "ALBUMS.INF"));
  const fs::path copy = tmp.path() / "MPEGDLL.DLL";
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(ReadFile(copy), ReadFile(kBuiltDecoder));
  EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_exec, fs::perms::none);

  // The same library already there: nothing to replace, no --force needed.
  struct stat before {};
  ASSERT_EQ(::stat(copy.c_str(), &before), 0);
  const ToolRun again = RunTool(ALBAINDEX_PATH, {"--with-decoder"}, tmp.str());
  EXPECT_EQ(again.exitCode, 0) << again.err;
  struct stat after {};
  ASSERT_EQ(::stat(copy.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "left as it was";
  for (const fs::directory_entry& entry : fs::directory_iterator(tmp.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "leftover " << entry.path();
}

TEST(AlbaindexWithDecoder, ADifferentLibraryIsOnlyReplacedWithForce) {
  TempDir tmp;
  tmp.MakeDir("Album");
  // A compilation made for Windows: its own library, named in lower case.
  const fs::path theirs = tmp.WriteFile("mpegdll.dll", "MZ a library for another system");

  const ToolRun refused = RunTool(ALBAINDEX_PATH, {"--with-decoder", tmp.str()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, "albaindex: '" + theirs.string() +
                             "' is already there and is not the installed decoder library (" +
                             fs::canonical(kBuiltDecoder).string() + "); --force replaces it\n");
  EXPECT_EQ(ReadFile(theirs), "MZ a library for another system");
  EXPECT_FALSE(fs::exists(tmp.path() / "ALBUMS.INF")) << "nothing written when refused";

  const ToolRun forced = RunTool(ALBAINDEX_PATH, {"--with-decoder", "--force", tmp.str()});
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(ReadFile(theirs), ReadFile(kBuiltDecoder)) << "replaced under the name the program finds";
  EXPECT_FALSE(fs::exists(tmp.path() / "MPEGDLL.DLL")) << "no second library beside it";
  EXPECT_TRUE(fs::exists(tmp.path() / "ALBUMS.INF"));

  const ToolRun forceAlone = RunTool(ALBAINDEX_PATH, {"--force", tmp.str()});
  EXPECT_EQ(forceAlone.exitCode, 2);
  EXPECT_TRUE(forceAlone.err.starts_with("albaindex: --force only goes with --with-decoder\n")) << forceAlone.err;
}

TEST(AlbaindexWithDecoder, FindsTheLibraryInTheInstalledLayoutOrSaysThereIsNone) {
  TempDir install;
  fs::create_directories(install.path() / "bin");
  fs::copy_file(ALBAINDEX_PATH, install.path() / "bin" / "albaindex");
  const std::string tool = (install.path() / "bin" / "albaindex").string();
  TempDir compilation;
  compilation.MakeDir("Album");

  const ToolRun none = RunTool(tool, {"--with-decoder", compilation.str()});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.err,
            "albaindex: no installed decoder library MPEGDLL.DLL found beside albaindex or in its installation\n");
  EXPECT_FALSE(fs::exists(compilation.path() / "ALBUMS.INF"));

  install.WriteFile("lib/albavox/MPEGDLL.DLL", "the installed library");
  const ToolRun found = RunTool(tool, {"--with-decoder", compilation.str()});
  ASSERT_EQ(found.exitCode, 0) << found.err;
  EXPECT_EQ(ReadFile(compilation.path() / "MPEGDLL.DLL"), "the installed library");

  // A folder in the way is named, and the index is left unwritten.
  TempDir blocked;
  blocked.MakeDir("MPEGDLL.DLL");
  const ToolRun folder = RunTool(tool, {"--with-decoder", "--force", blocked.str()});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_NE(folder.err.find("is a folder"), std::string::npos) << folder.err;
  EXPECT_FALSE(fs::exists(blocked.path() / "ALBUMS.INF"));
}

TEST(AlbaindexWithDecoder, ASpecialFileInTheLibrarysPlaceIsRefusedWithoutWaiting) {
  // A FIFO without a writer, a socket and a device (through a link) are not read: like a file
  // that cannot be read, they are only replaced with --force.
  using Make = void (*)(const fs::path&);
  for (const Make make : {+[](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
                          +[](const fs::path& p) {
                            sockaddr_un address{};
                            address.sun_family = AF_UNIX;
                            p.string().copy(address.sun_path, sizeof address.sun_path - 1);
                            const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
                            ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
                            ::close(listener);
                          },
                          +[](const fs::path& p) { fs::create_symlink("/dev/zero", p); }}) {
    TempDir tmp;
    tmp.MakeDir("Album");
    make(tmp.path() / "MPEGDLL.DLL");
    const ToolRun run = RunTool(ALBAINDEX_PATH, {"--with-decoder", tmp.str()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(tmp.path() / "ALBUMS.INF"));
  }
}

// A fault or a signal injected by strace into albaindex's system calls strikes at a known point.
constexpr const char* kStrace = "/usr/bin/strace";

std::vector<std::string> Temporaries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".tmp-") != std::string::npos) names.push_back(entry.path().filename());
  return names;
}

TEST(AlbaindexWithDecoder, AFailedOrInterruptedStepLeavesTheFolderWholeWithoutTemporaries) {
  if (RunTool(kStrace, {"-o", "/dev/null", "/bin/true"}).exitCode != 0) GTEST_SKIP() << "strace cannot trace here";
  // The leak check traces the process itself, which strace already does.
  ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  const std::string library = ReadFile(fs::path(ALBAINDEX_PATH).parent_path() / "MPEGDLL.DLL");
  // System calls in order: the index's temporary file is written and flushed (write 1, fsync 1),
  // then the library's (write 2, fsync 2); the library takes its place (renameat2 1), then the
  // index (renameat2 2). A signal waits while the files are put in place.
  struct Case {
    const char* fault;
    bool oldFiles;  // an index and another library are there before
    int exitCode;   // -1: ended by the signal
    bool written;   // the folder holds the new files afterwards, else what it held before
  };
  for (const Case& c : {
           Case{"fsync:error=EIO:when=1", true, 1, false},
           Case{"write:error=ENOSPC:when=2", true, 1, false},
           Case{"fsync:error=EIO:when=2", false, 1, false},
           Case{"renameat2:error=EIO:when=1", true, 1, false},
           Case{"renameat2:error=EIO:when=2", true, 1, false},
           Case{"renameat2:error=EIO:when=2", false, 1, false},
           // A file system without the exchange: the old library steps aside instead.
           Case{"renameat2:error=EINVAL:when=1", true, 0, true},
           Case{"fsync:signal=SIGINT:when=1", true, -1, false},
           Case{"fsync:signal=SIGTERM:when=2", false, -1, false},
           Case{"renameat2:signal=SIGHUP:when=1", true, -1, true},
       }) {
    TempDir tmp;
    tmp.MakeDir("Album");
    if (c.oldFiles) {
      tmp.WriteFile("ALBUMS.INF", "old index");
      tmp.WriteFile("MPEGDLL.DLL", "old library");
    }
    const std::string syscall = std::string(c.fault).substr(0, std::string(c.fault).find(':'));
    const ToolRun run =
        RunTool(kStrace, {"-o", "/dev/null", "-e", "trace=" + syscall, "-e", std::string("inject=") + c.fault,
                          ALBAINDEX_PATH, "--with-decoder", "--force", tmp.str()});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.fault << ": " << run.err;
    if (c.exitCode == 1) {
      EXPECT_NE(run.err.find("albaindex: cannot "), std::string::npos) << run.err;
    }
    EXPECT_EQ(Temporaries(tmp.path()), std::vector<std::string>{}) << c.fault;
    const std::string index = ReadFile(tmp.path() / "ALBUMS.INF");
    if (c.written) {
      EXPECT_EQ(index.size(), 2 * 260u) << c.fault;
      EXPECT_EQ(ReadFile(tmp.path() / "MPEGDLL.DLL"), library) << c.fault;
    } else {
      EXPECT_EQ(index, c.oldFiles ? "old index" : "<none>") << c.fault;
      EXPECT_EQ(ReadFile(tmp.path() / "MPEGDLL.DLL"), c.oldFiles ? "old library" : "<none>") << c.fault;
    }
  }
}

}  // namespace
