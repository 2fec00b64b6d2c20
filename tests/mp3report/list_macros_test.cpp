// The list, group and output-document macros the report tool serves, over generated files.
#include "tools/mp3report/list_macros.h"

#include <sstream>

#include <gtest/gtest.h>

#include "platform/regional.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"
#include "tools/mp3report/report.h"
#include "tools/mp3report/report_list.h"
#include "zodizidu/macros/macro_table.h"

namespace {

using namespace mp3report;
using testsupport::MakeHeader;

// A variable-bit-rate file of `frames` 24-ms frames (MPEG 1.0 layer III at 48 kHz, 128 kbit/s:
// 384-byte frames): the Xing frame and two more, 1152 bytes in all.
std::string TimedFile(std::uint32_t frames, const std::optional<testsupport::Id3v1Fields>& tag) {
  const testsupport::MpegHeader h = MakeHeader(1, 3, 128, 48000);
  testsupport::XingFields xing;
  xing.frames = frames;
  std::string bytes = testsupport::XingFrame(h, xing) + testsupport::Frames(h, 2);
  if (tag) bytes.replace(bytes.size() - 128, 128, testsupport::Id3v1Tag(*tag));
  return bytes;
}

testsupport::Id3v1Fields Artist(const std::string& name) {
  testsupport::Id3v1Fields tag;
  tag.title = "Song";
  tag.artist = name;
  return tag;
}

// Group A: a1 (60 s), a2 (90 s); group B: "Beta - Song" (3000 s), plain (3 s).
class ListMacrosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetRegionalSettings({"%d/%m/%Y", "%H:%M:%S", "'", ",", "."});
    tmp.WriteFile("A/a1.mp3", TimedFile(2500, Artist("Alpha")));
    tmp.WriteFile("A/a2.mp3", TimedFile(3750, Artist("ALPHA")));
    tmp.WriteFile("B/Beta - Song.mp3", TimedFile(125'000, std::nullopt));
    tmp.WriteFile("B/plain.mp3", TimedFile(125, std::nullopt));
    for (const char* name : {"A/a1.mp3", "A/a2.mp3", "B/Beta - Song.mp3", "B/plain.mp3"})
      EXPECT_TRUE(list.Add(tmp.str() + "/" + name)) << name;
  }
  std::string X(std::string_view t, int number, const OutputDocument& doc = {}) const {
    return ReportMacros(list, doc).Expand(t, &list.File(number), number);
  }

  testsupport::TempDir tmp;
  ReportList list;
};

TEST_F(ListMacrosTest, EveryListMacroGetsASupplier) {
  const zodizidu::TMacroDefinitions table = ReportMacros(list, {});
  int served = 0;
  for (int i = 0; i < table.Count(); ++i) {
    if (table.Items(i).Kind != zodizidu::mkList) continue;
    EXPECT_TRUE(table.Items(i).HasSupplier()) << table.Items(i).Name;
    ++served;
  }
  EXPECT_EQ(served, 33);
  EXPECT_FALSE(zodizidu::MacroDefinitions().Items(54).HasSupplier());  // the global stays bare
}

TEST_F(ListMacrosTest, NumbersAndCountsOfFilesGroupsAndArtists) {
  EXPECT_EQ(X("%N%|%FC%|%FCC%|%GC%|%AC%", 3), "     3|     4|      4|     2|     2");
  EXPECT_EQ(X("%N,T% %GN,T%.%GFN,T%/%GFC,T% %GFCC,T%", 1), "1 1.1/2 2");
  EXPECT_EQ(X("%N,T% %GN,T%.%GFN,T%/%GFC,T%", 2), "2 1.2/2");
  EXPECT_EQ(X("%N,T% %GN,T%.%GFN,T%/%GFC,T%", 4), "4 2.2/2");
}

TEST_F(ListMacrosTest, GroupTotalsInAllTheirForms) {
  // Group A: 150 s, 2304 bytes.
  EXPECT_EQ(X("%GD,T%|%GDC,T%|%GDM,T%|%GDMC,T%|%GDF,T%", 2), "150|150|2,5|2,5|00.02.30");
  EXPECT_EQ(X("%GL,T%|%GLC,T%|%GLK,T%|%GroupLengthKBComma,T%|%GLM,T%", 1), "2304|2'304|2|2|0,0");
  // Group B: 3003 s (50.05 minutes, half up to 50.1).
  EXPECT_EQ(X("%GD,T%|%GDC,T%|%GDM,T%|%GDF,T%", 3), "3003|3'003|50,1|00.50.03");
  EXPECT_EQ(X("%GD%|%GDF%", 4), "    3003|00.50.03");
}

TEST_F(ListMacrosTest, ListTotalsInAllTheirForms) {
  // 3153 s = 52 minutes 33 seconds (52.55 minutes); 4608 bytes = 4.5 KB.
  const std::string expected = "3153|3'153|52,6|52,6|00.52.33|4608|4'608|4|5|0,0";
  EXPECT_EQ(X("%DS,T%|%DSC,T%|%DSM,T%|%DSMC,T%|%DSF,T%|%LS,T%|%LSC,T%|%LKS,T%|%LKSC,T%|%LMS,T%", 1), expected);
  EXPECT_EQ(X("%DS,T%|%DSC,T%|%DSM,T%|%DSMC,T%|%DSF,T%|%LS,T%|%LSC,T%|%LKS,T%|%LKSC,T%|%LMS,T%", 4), expected);
}

TEST_F(ListMacrosTest, OutputDocumentAndRelativePaths) {
  OutputDocument doc{"report.txt", tmp.str() + "/A/", "catalogue.tpl"};
  EXPECT_EQ(X("%OD,T%|%OP,T%|%TN,T%", 1, doc), "report.txt|" + tmp.str() + "/A/|catalogue.tpl");
  EXPECT_EQ(X("[%FPR,T%]%FN,T%", 1, doc), "[]a1.mp3");
  EXPECT_EQ(X("[%FPR,T%]%FN,T%", 3, doc), "[../B/]Beta - Song.mp3");
  doc.folder = tmp.str() + "/";
  EXPECT_EQ(X("%FPR,T%%FN,T%", 3, doc), "B/Beta - Song.mp3");
  EXPECT_EQ(X("%FPR%|%OD%", 4, doc), "B/" + std::string(38, ' ') + "|report.txt" + std::string(30, ' '));
  // A composite of the tool's table reaches its list values too.
  zodizidu::TMacroDefinitions table = ReportMacros(list, doc);
  table.Add("RP", "RelativePath", 0, 'L', 'N', "", "", zodizidu::mkComposite, {}, "%FPR,T%%FN,T%");
  EXPECT_EQ(table.Expand("%RP,T%", &list.File(1), 1), "A/a1.mp3");
}

TEST_F(ListMacrosTest, ProgressIsShownOnlyWhenAskedAndForLongRuns) {
  const std::string one = TimedFile(125, std::nullopt);
  for (int i = 0; i < kProgressThreshold + 1; ++i) tmp.WriteFile("many/" + std::to_string(i) + ".mp3", one);
  std::ostringstream out, err, quietErr;
  const std::vector<std::string> args = {"-t", "%N,T%", tmp.str() + "/many"};
  EXPECT_EQ(RunReport(args, out, err, true), kAllRead);
  EXPECT_NE(err.str().find("analysing 301 of 301 files"), std::string::npos) << err.str();
  EXPECT_NE(out.str().find("\n301\n"), std::string::npos);
  EXPECT_EQ(RunReport(args, out, quietErr, false), kAllRead);
  EXPECT_EQ(quietErr.str(), "mp3report: 301 files reported, 0 not read\n");

  std::ostringstream fewErr;
  EXPECT_EQ(RunReport({"-t", "%N%", tmp.str() + "/A"}, out, fewErr, true), kAllRead);
  EXPECT_EQ(fewErr.str().find("analysing"), std::string::npos);
}

}  // namespace
