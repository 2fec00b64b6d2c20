// albaindex --with-decoder when a step fails or a signal ends it: the faults are injected into
// its system calls by strace, so each one strikes at a known point.
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

constexpr const char* kStrace = "/usr/bin/strace";

std::string ReadFile(const fs::path& file) {
  if (!fs::exists(fs::symlink_status(file))) return "<none>";
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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
