// The report tool's command line, template files, the order in which it finds files, the macro list.
#include "tools/mp3report/options.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/support/temp_dir.h"
#include "tools/mp3report/file_list.h"
#include "tools/mp3report/report.h"
#include "zodizidu/macros/macro_table.h"

namespace {

using namespace mp3report;

TEST(ParseArgumentsTest, TemplateOutputAndPaths) {
  ParseResult r = ParseArguments({"-t", "%FN%", "-o", "out.txt", "a", "b.mp3"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.templateText, "%FN%");
  EXPECT_EQ(r.options.templateFile, "");
  EXPECT_EQ(r.options.outputFile, "out.txt");
  EXPECT_EQ(r.options.paths, (std::vector<std::string>{"a", "b.mp3"}));

  r = ParseArguments({"dir", "-Tlist.tpl", "-oreport.txt", "--", "-t"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.templateFile, "list.tpl");
  EXPECT_EQ(r.options.outputFile, "report.txt");
  EXPECT_EQ(r.options.paths, (std::vector<std::string>{"dir", "-t"}));

  r = ParseArguments({"-t", "", "-"});  // an empty template is allowed; "-" is a path
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.options.paths, std::vector<std::string>{"-"});

  EXPECT_TRUE(ParseArguments({"--help"}).options.help);
  EXPECT_EQ(ParseArguments({"-h", "--bogus"}).error, "unknown option --bogus");
}

TEST(ParseArgumentsTest, MistakesAreReportedNotGuessed) {
  const std::vector<std::vector<std::string>> mistakes = {{},
                                                          {"music"} /* no template */,
                                                          {"-t", "%FN%"} /* no path */,
                                                          {"-t", "x", "-T", "f", "m"},
                                                          {"-t", "x", "-t", "y", "m"},
                                                          {"-t", "x", "-o", "a", "-o", "b", "m"},
                                                          {"m", "-t"} /* no value */,
                                                          {"-t", "x", "m", "-o"},
                                                          {"-T", "", "m"},
                                                          {"-t", "x", "-x", "m"}};
  for (const auto& args : mistakes) EXPECT_NE(ParseArguments(args).error, "") << args.size();
}

TEST(TemplateFromFileTest, OneTrailingLineEndIsDropped) {
  EXPECT_EQ(TemplateFromFile("%FN%\r\n"), "%FN%");
  EXPECT_EQ(TemplateFromFile("%FN%"), "%FN%");
  EXPECT_EQ(TemplateFromFile("a\nb\n\n"), "a\nb\n");
  EXPECT_EQ(TemplateFromFile("\n"), "");
}

TEST(NameLessTest, LetterCaseIsIgnoredThenBreaksTies) {
  EXPECT_TRUE(NameLess("apple.mp3", "Banana.mp3"));
  EXPECT_FALSE(NameLess("Banana.mp3", "apple.mp3"));
  EXPECT_TRUE(NameLess("B.mp3", "b.mp3"));  // equal but for case: exact bytes decide
  EXPECT_FALSE(NameLess("b.mp3", "B.mp3"));
  EXPECT_FALSE(NameLess("a.mp3", "a.mp3"));
  EXPECT_TRUE(NameLess("z.mp3", "\xE0.mp3"));  // other bytes by value
}

TEST(CollectFilesTest, FoldersGiveTheirMp3FilesSortedThenTheirSubfoldersDepthFirst) {
  testsupport::TempDir tmp;
  for (const char* name : {"m/b.mp3", "m/A.MP3", "m/c.Mp3", "m/notes.txt", "m/x.mp3.bak", "m/Zeta/1.mp3",
                           "m/alpha/2.mp3", "m/alpha/deep/3.mp3", "m/beta/x.txt"})
    tmp.WriteFile(name, "x");
  tmp.MakeDir("m/empty");
  tmp.MakeDir("m/dir.mp3");  // a folder is never taken as a file
  tmp.WriteFile("m/dir.mp3/4.mp3", "x");
  const std::string m = tmp.str() + "/m";
  const FileList list = CollectFiles({m, m + "/b.mp3", tmp.str() + "/loose.wav"});
  EXPECT_EQ(list.files, (std::vector<std::string>{m + "/A.MP3", m + "/b.mp3", m + "/c.Mp3", m + "/alpha/2.mp3",
                                                  m + "/alpha/deep/3.mp3", m + "/dir.mp3/4.mp3", m + "/Zeta/1.mp3",
                                                  tmp.str() + "/loose.wav"}));
  EXPECT_TRUE(list.unreadableFolders.empty());
}

TEST(CollectFilesTest, NamedFilesKeepTheirOrderAndLinksToFoldersAreNotFollowed) {
  testsupport::TempDir tmp;
  tmp.WriteFile("m/z.mp3", "x");
  tmp.WriteFile("m/a.mp3", "x");
  std::filesystem::create_directory_symlink(tmp.str() + "/m", tmp.str() + "/m/loop");
  const std::string m = tmp.str() + "/m";
  EXPECT_EQ(CollectFiles({m + "/z.mp3", m + "/./a.mp3", m}).files,
            (std::vector<std::string>{m + "/z.mp3", m + "/./a.mp3"}));
  EXPECT_EQ(CollectFiles({m}).files, (std::vector<std::string>{m + "/a.mp3", m + "/z.mp3"}));
}

TEST(CollectFilesTest, UnreadableFoldersAreListed) {
  if (testsupport::RunningAsRoot()) GTEST_SKIP() << "permissions do not stop root";
  testsupport::TempDir tmp;
  tmp.WriteFile("m/locked/a.mp3", "x");
  tmp.WriteFile("m/b.mp3", "x");
  std::filesystem::permissions(tmp.path() / "m/locked", std::filesystem::perms::none);
  const FileList list = CollectFiles({tmp.str() + "/m"});
  EXPECT_EQ(list.files, std::vector<std::string>{tmp.str() + "/m/b.mp3"});
  EXPECT_EQ(list.unreadableFolders, std::vector<std::string>{tmp.str() + "/m/locked"});
}

// The columns of one line of the list, cut where the heading's words begin, blanks trimmed.
std::vector<std::string> Columns(const std::string& line, const std::vector<std::size_t>& starts) {
  std::vector<std::string> cells;
  for (std::size_t c = 0; c < starts.size(); ++c) {
    std::string cell = line.substr(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : std::string::npos);
    cell.erase(cell.find_last_not_of(' ') + 1);
    cells.push_back(cell);
  }
  return cells;
}

TEST(MacroListTest, MacrosOptionListsTheTableRowByRow) {
  std::ostringstream out, err;
  EXPECT_EQ(RunReport({"--macros"}, out, err, false), 0);
  EXPECT_EQ(err.str(), "");
  std::istringstream text(out.str());
  std::string heading;
  std::getline(text, heading);
  std::vector<std::size_t> starts;
  for (const char* word : {"SHORT", "NAME", "KIND", "WIDTH", "DESCRIPTION"}) starts.push_back(heading.find(word));
  ASSERT_EQ(starts[0], 0u) << heading;

  const zodizidu::TMacroDefinitions& table = zodizidu::MacroDefinitions();
  std::map<std::string, std::string> kinds;  // by long name
  int row = 0;
  for (std::string line; std::getline(text, line); ++row) {
    ASSERT_LT(row, table.Count()) << line;
    const zodizidu::TMacro& macro = table.Items(row);
    const std::vector<std::string> cells = Columns(line, starts);
    EXPECT_EQ(cells[0], macro.ShortName.empty() ? "-" : macro.ShortName) << line;
    EXPECT_EQ(cells[1], macro.Name.empty() ? "-" : macro.Name) << line;
    EXPECT_EQ(cells[3], std::to_string(macro.Width) + " " + macro.Align) << line;
    EXPECT_EQ(cells[4], macro.Description) << line;
    kinds[macro.Name] = cells[2];
  }
  EXPECT_EQ(row, table.Count());
  const std::map<std::string, std::string> expected = {
      {"FileName", "file"},  {"GuessedArtistTitle", "file"}, {"CurrentDate", "system"},       {"No", "list"},
      {"OutputDoc", "list"}, {"GroupNo", "group"},           {"GroupLengthKBComma", "group"}, {"NewLine", "special"},
      {"", "special"}};
  for (const auto& [name, kind] : expected) EXPECT_EQ(kinds[name], kind) << name;
}

}  // namespace
