// Files that cannot be analysed: missing, a folder or a special file, unreadable, no file handles left.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "tests/support/mpeg_builder.h"
#include "tests/zodizidu/analysis/analysis_fixture.h"
#include "zodizidu/analysis/detail/open_restart.h"

namespace {

class OpenFailureTest : public zodizidu_test::AnalysisTest {
 protected:
  void ExpectEmptyWithName(const std::string& path) {
    EXPECT_FALSE(audio_.IsValid());
    EXPECT_EQ(data().FileName, path);
    EXPECT_EQ(data().FileStamp, 0);
    EXPECT_EQ(data().FileLength, 0);
    EXPECT_EQ(data().Header, "BAD");
  }
};

TEST_F(OpenFailureTest, MissingFileNamesItselfInTheTitle) {
  EXPECT_EQ(AnalyzePath(PathOf("missing.mp3")), -1);
  ExpectEmptyWithName(PathOf("missing.mp3"));
  EXPECT_EQ(data().Title, "[not found: missing.mp3]");
  EXPECT_EQ(audio_.Title(), "Unknown Title");

  // The note is cut to the 30 characters of the field.
  EXPECT_EQ(AnalyzePath(PathOf("a rather long missing name.mp3")), -1);
  EXPECT_EQ(data().Title, "[not found: a rather long miss");
}

TEST_F(OpenFailureTest, AnythingButARegularFileIsNotFoundAtOnce) {
  // A folder, a FIFO without a writer, a socket and a device (through a link) named like a song.
  dir_.MakeDir("folder.mp3");
  ASSERT_EQ(::mkfifo(PathOf("pipe.mp3").c_str(), 0644), 0);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  PathOf("socket.mp3").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::symlink("/dev/zero", PathOf("device.mp3").c_str()), 0);
  for (const char* name : {"folder.mp3", "pipe.mp3", "socket.mp3", "device.mp3"}) {
    EXPECT_EQ(AnalyzePath(PathOf(name)), -1) << name;
    EXPECT_EQ(data().Title, std::string("[not found: ") + name + "]");
    ExpectEmptyWithName(PathOf(name));
  }
  ::close(listener);
}

TEST_F(OpenFailureTest, UnreadableFileGivesTheSystemError) {
  if (testsupport::RunningAsRoot()) GTEST_SKIP() << "running as root: permission bits do not stop reads";
  const std::string path = dir_.WriteFile("locked.mp3", testsupport::Mp3File(10)).string();
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  EXPECT_EQ(AnalyzePath(path), EACCES);
  ExpectEmptyWithName(path);
  EXPECT_EQ(data().Title, "[notag]");
}

// File handles used up by this process, given back when the test ends.
class HandleHoard {
 public:
  HandleHoard() {
    ::getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit low = saved_;
    low.rlim_cur = 64;
    ::setrlimit(RLIMIT_NOFILE, &low);
    while (true) {
      const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
      if (fd < 0) break;
      fds_.push_back(fd);
    }
  }
  ~HandleHoard() {
    Release();
    ::setrlimit(RLIMIT_NOFILE, &saved_);
  }
  void Release() {
    for (int fd : fds_) ::close(fd);
    fds_.clear();
  }

 private:
  rlimit saved_{};
  std::vector<int> fds_;
};

HandleHoard* gHoard = nullptr;
std::vector<int> gRestarts;
void CountingPause(int restart) { gRestarts.push_back(restart); }
void ReleasingPause(int restart) {
  gRestarts.push_back(restart);
  if (gHoard) gHoard->Release();
}

class RestartTest : public OpenFailureTest {
 protected:
  void SetUp() override { gRestarts.clear(); }
  void TearDown() override { zodizidu::detail::SetRestartPause(nullptr); }
};

TEST_F(RestartTest, TooManyOpenFilesRestartsAFewTimesThenGivesTheError) {
  const std::string path = dir_.WriteFile("song.mp3", testsupport::Mp3File(10)).string();
  zodizidu::detail::SetRestartPause(&CountingPause);
  int result = 0;
  {
    HandleHoard hoard;
    result = AnalyzePath(path);
  }
  EXPECT_EQ(result, EMFILE);
  EXPECT_EQ(gRestarts, (std::vector<int>{1, 2, 3}));
  ExpectEmptyWithName(path);
}

TEST_F(RestartTest, RestartSucceedsOnceHandlesAreFree) {
  const std::string path = dir_.WriteFile("song.mp3", testsupport::Mp3File(10)).string();
  zodizidu::detail::SetRestartPause(&ReleasingPause);
  int result = 0;
  {
    HandleHoard hoard;
    gHoard = &hoard;
    result = AnalyzePath(path);
    gHoard = nullptr;
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(gRestarts, (std::vector<int>{1}));
  EXPECT_TRUE(audio_.IsValid());
}

}  // namespace
