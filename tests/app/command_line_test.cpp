// The command line of albavox: a folder, the path of an ALBUMS.INF, help, version and the errors;
// the built program run for the cases that end before any window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using app::CommandLine;
using Action = app::CommandLine::Action;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

CommandLine Parse(const std::vector<std::string>& args) {
  const std::vector<std::string_view> views(args.begin(), args.end());
  return app::ParseCommandLine(views);
}

TEST(AlbavoxCommandLine, FolderOrIndexPathNamesTheCompilationRoot) {
  TempDir tmp;
  tmp.MakeDir("Compilation/Album");
  tmp.WriteFile("Compilation/ALBUMS.INF", std::string(260, '\0'));
  tmp.WriteFile("Lower/albums.inf", std::string(260, '\0'));
  const std::string root = (tmp.path() / "Compilation").string();

  const CommandLine none = Parse({});
  EXPECT_EQ(none.action, Action::kRun);
  EXPECT_EQ(none.folder, "") << "no folder: stay where started";

  const CommandLine folder = Parse({root});
  EXPECT_EQ(folder.action, Action::kRun);
  EXPECT_EQ(folder.folder, root);

  const CommandLine index = Parse({root + "/ALBUMS.INF"});
  EXPECT_EQ(index.action, Action::kRun);
  EXPECT_EQ(index.folder, root);

  const CommandLine lower = Parse({(tmp.path() / "Lower" / "albums.inf").string()});
  EXPECT_EQ(lower.action, Action::kRun);
  EXPECT_EQ(lower.folder, (tmp.path() / "Lower").string());

  const ScopedCurrentDir inRoot(tmp.path() / "Compilation");
  const CommandLine bare = Parse({"ALBUMS.INF"});
  EXPECT_EQ(bare.action, Action::kRun);
  EXPECT_EQ(bare.folder, ".") << "an index named without a folder lies in the current one";

  const CommandLine dashed = Parse({"--", "Album"});
  EXPECT_EQ(dashed.action, Action::kRun) << dashed.error;
  EXPECT_EQ(dashed.folder, "Album");
}

TEST(AlbavoxCommandLine, HelpAndVersionWinOverEverythingElse) {
  EXPECT_EQ(Parse({"--help"}).action, Action::kHelp);
  EXPECT_EQ(Parse({"-h", "/no/such/folder"}).action, Action::kHelp);
  EXPECT_EQ(Parse({"--version"}).action, Action::kVersion);
  EXPECT_EQ(Parse({"/no/such/folder", "-V"}).action, Action::kVersion);
  EXPECT_EQ(Parse({"--", "--help"}).action, Action::kError) << "after -- it is a folder name, and there is none";
  EXPECT_EQ(app::VersionText(), "albavox 2.0\n");
  EXPECT_TRUE(app::UsageText().starts_with("Usage: albavox [FOLDER]\n"));
}

TEST(AlbavoxCommandLine, MistakesAreErrorsThatSayWhat) {
  TempDir tmp;
  tmp.WriteFile("song.mp3", "not an index");
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{(tmp.path() / "missing").string()}, "no such folder: '" + (tmp.path() / "missing").string() + "'"},
      {{(tmp.path() / "song.mp3").string()},
       "'" + (tmp.path() / "song.mp3").string() + "' is neither a folder nor a compilation's ALBUMS.INF"},
      {{(tmp.path() / "missing" / "ALBUMS.INF").string()},
       "no such folder: '" + (tmp.path() / "missing" / "ALBUMS.INF").string() + "'"},
      {{tmp.str(), tmp.str()}, "only one FOLDER may be given"},
      {{"--folder"}, "unknown option '--folder'"},
      {{"-platform"}, "unknown option '-platform'"},
      {{""}, "FOLDER is empty"},
  };
  for (const auto& c : cases) {
    const CommandLine line = Parse(c.args);
    EXPECT_EQ(line.action, Action::kError) << c.args.front();
    EXPECT_EQ(line.error, c.error);
    EXPECT_EQ(line.folder, "");
  }
}

TEST(AlbavoxCommandLine, ApplyingItEntersTheFolderBeforeAnythingElse) {
  TempDir tmp;
  tmp.WriteFile("Compilation/ALBUMS.INF", std::string(260, '\0'));
  const ScopedCurrentDir stay(tmp.path());
  const std::string index = (tmp.path() / "Compilation" / "ALBUMS.INF").string();
  const char* const argv[] = {"albavox", index.c_str()};
  EXPECT_EQ(app::ApplyCommandLine(2, argv), -1) << "the program goes on";
  EXPECT_EQ(fs::current_path(), fs::canonical(tmp.path() / "Compilation"));

  const char* const plain[] = {"albavox"};
  EXPECT_EQ(app::ApplyCommandLine(1, plain), -1);
  EXPECT_EQ(fs::current_path(), fs::canonical(tmp.path() / "Compilation")) << "without FOLDER nothing moves";
}

TEST(AlbavoxProgram, EndsBeforeAnyWindowForHelpVersionAndMistakes) {
  TempDir tmp;
  const testsupport::ToolRun version = testsupport::RunTool(ALBAVOX_PATH, {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "albavox 2.0\n");
  EXPECT_EQ(version.err, "");

  const testsupport::ToolRun help = testsupport::RunTool(ALBAVOX_PATH, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: albavox [FOLDER]")) << help.out;

  const std::string missing = (tmp.path() / "Not here").string();
  const testsupport::ToolRun run = testsupport::RunTool(ALBAVOX_PATH, {missing});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "albavox: no such folder: '" + missing + "'\nTry 'albavox --help' for more information.\n");

  if (!testsupport::RunningAsRoot()) {
    tmp.MakeDir("Locked");
    fs::permissions(tmp.path() / "Locked", fs::perms::none);
    const testsupport::ToolRun locked = testsupport::RunTool(ALBAVOX_PATH, {(tmp.path() / "Locked").string()});
    EXPECT_EQ(locked.exitCode, 2);
    EXPECT_NE(locked.err.find("cannot enter"), std::string::npos) << locked.err;
    fs::permissions(tmp.path() / "Locked", fs::perms::owner_all);
  }
}

}  // namespace
