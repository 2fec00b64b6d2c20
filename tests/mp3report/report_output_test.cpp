// The report's output file: replaced only by a complete report, never left half written.
#include "tools/mp3report/report_output.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using mp3report::ReportOutput;

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t Entries(const std::filesystem::path& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(ReportOutputTest, InterruptedRunLeavesTheOldFileAndNoTemporaryOne) {
  testsupport::TempDir dir;
  const std::filesystem::path output = dir.WriteFile("report.txt", "old report\n");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ReportOutput report;
    std::string error;
    if (!report.Open(output.string(), error)) ::_exit(3);
    report.stream() << "half a rep" << std::flush;
    std::raise(SIGTERM);
    ::_exit(4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_EQ(Slurp(output), "old report\n");
  EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(ReportOutputTest, ReportThatIsNotCommittedChangesNothing) {
  testsupport::TempDir dir;
  const std::filesystem::path output = dir.WriteFile("report.txt", "old report\n");
  {
    ReportOutput report;
    std::string error;
    ASSERT_TRUE(report.Open(output.string(), error)) << error;
    report.stream() << "new";
    EXPECT_EQ(Entries(dir.path()), 2u) << "the report is written beside the file";
  }
  EXPECT_EQ(Slurp(output), "old report\n");
  EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(ReportOutputTest, LinkedFileIsReplacedAndTheLinkStays) {
  testsupport::TempDir dir;
  const std::filesystem::path target = dir.WriteFile("real/report.txt", "old\n");
  std::filesystem::create_symlink("real/report.txt", dir.path() / "link.txt");
  ReportOutput report;
  std::string error;
  ASSERT_TRUE(report.Open((dir.path() / "link.txt").string(), error)) << error;
  EXPECT_TRUE(report.IsSameFile(target.string()));
  EXPECT_FALSE(report.IsSameFile((dir.path() / "real").string()));
  report.stream() << "new\n";
  ASSERT_TRUE(report.Commit(error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.txt"));
  EXPECT_EQ(Slurp(target), "new\n");
  EXPECT_EQ(Entries(dir.path() / "real"), 1u);
}

TEST(ReportOutputTest, FolderOrMissingFolderCannotBeWritten) {
  testsupport::TempDir dir;
  ReportOutput intoFolder;
  std::string error;
  EXPECT_FALSE(intoFolder.Open(dir.str(), error));
  EXPECT_EQ(error, "Is a directory");
  ReportOutput nowhere;
  EXPECT_FALSE(nowhere.Open(dir.str() + "/no/such.txt", error));
  EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
