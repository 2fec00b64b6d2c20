// Contents of the global macro table, looked up by name, and the container's own rules.
#include "zodizidu/macro_table.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using namespace zodizidu;

const TMacroDefinitions& T() { return MacroDefinitions(); }

// Rows typed from the macro table: 1-based row number, names, width, alignment, group, kind.
struct Row {
  int number;
  const char* shortName;
  const char* name;
  int width;
  char align;
  const char* group;
  TMacroKind kind;
};
constexpr Row kSample[] = {
    {1, "FN", "FileName", 40, 'L', "Mpeg audio file", mkFile},
    {2, "FNS", "FileNameShort", 40, 'L', "Mpeg audio file", mkFile},
    {9, "FDTFS", "FileDateTimeForSort", 14, 'L', "Mpeg audio file", mkFile},
    {18, "GNR", "GenreNr", 3, 'R', "Mpeg audio file", mkFile},
    {24, "DF", "DurationForm", 8, 'R', "Mpeg audio file", mkFile},
    {34, "SRK", "SampleRateKHz", 4, 'R', "Mpeg audio file", mkFile},
    {37, "EP*", "ErrorProt*", 1, 'L', "Mpeg audio file", mkFile},
    {41, "O*", "Original*", 3, 'L', "Mpeg audio file", mkFile},
    {43, "S", "Stereo", 6, 'L', "Mpeg audio file", mkFile},
    {44, "PV", "ProgramVersion", 12, 'L', "System", mkSystem},
    {46, "CT", "CurrentTime", 8, 'R', "System", mkSystem},
    {48, "#", "SoftNewLine", 2, 'L', "Special", mkNoExec},
    {50, "nnn", "nnn", 1, 'L', "Special", mkNoExec},
    {51, "", "", 1, 'L', "Special", mkNoExec},
    {53, "GAT", "GuessedArtistTitle", 80, 'L', "Mpeg audio file", mkComposite},
    {54, "FPR", "FilePathRelative", 40, 'L', "List data", mkList},
    {58, "GN", "GroupNo", 6, 'R', "Group Data", mkList},
    {63, "GC", "GroupCount", 6, 'R', "List data", mkList},
    {72, "", "GroupLengthKBComma", 11, 'R', "Group Data", mkList},
    {77, "DSMC", "DurationSumMinutesComma", 9, 'R', "List data", mkList},
    {84, "OD", "OutputDoc", 40, 'L', "Output document", mkList},
    {86, "TN", "TemplateName", 40, 'L', "Output document", mkList},
};

TEST(MacroTableTest, HoldsTheEightySixRowsInOrder) {
  ASSERT_EQ(T().Count(), 86);
  EXPECT_EQ(T().Delimiter(), '%');
  for (const Row& row : kSample) {
    SCOPED_TRACE(row.number);
    const TMacro& m = T().Items(row.number - 1);
    EXPECT_EQ(m.ShortName, row.shortName);
    EXPECT_EQ(m.Name, row.name);
    EXPECT_EQ(m.Width, row.width);
    EXPECT_EQ(m.Align, row.align);
    EXPECT_EQ(m.CaseMode, 'N');
    EXPECT_EQ(m.Group, row.group);
    EXPECT_EQ(m.Kind, row.kind);
  }
  EXPECT_THROW(T().Items(86), std::out_of_range);
  EXPECT_THROW(T().Items(-1), std::out_of_range);
}

TEST(MacroTableTest, DescriptionsKeepTheirOwnSpelling) {
  EXPECT_EQ(T().Items(8).Description, "File Date time formated for sorting (yyyymmddhhmmss).");
  EXPECT_EQ(T().Items(38).Description, "Copyrighted ('*'/' ')");
  EXPECT_EQ(T().Items(74).Description,
            "Total duration in seconds for whole list,thousands comma separated");
  EXPECT_EQ(T().Items(41).Description,
            "Channel mode ('Stereo'/'Joint-Stereo'/'Dual-Channel'/'Mono')");
  EXPECT_EQ(T().Items(50).Description, "Percent sign (%)");
  EXPECT_EQ(T().Items(33).Description, "Sample rate in kilobytes");
}

TEST(MacroTableTest, SuppliersTemplatesAndKindsByGroup) {
  int file = 0, system = 0, noExec = 0, composite = 0, list = 0;
  for (int i = 0; i < T().Count(); ++i) {
    const TMacro& m = T().Items(i);
    switch (m.Kind) {
      case mkFile:
        ++file;
        EXPECT_TRUE(std::holds_alternative<TFileSupplier>(m.Callback)) << m.Name;
        break;
      case mkSystem:
        ++system;
        EXPECT_TRUE(std::holds_alternative<TSystemSupplier>(m.Callback)) << m.Name;
        break;
      case mkNoExec:
        ++noExec;
        EXPECT_FALSE(m.HasSupplier()) << m.Name;
        break;
      case mkComposite:
        ++composite;
        EXPECT_FALSE(m.HasSupplier()) << m.Name;
        break;
      case mkList:
        ++list;
        EXPECT_FALSE(m.HasSupplier()) << m.Name;
        break;
      default:
        ADD_FAILURE() << "unexpected kind in row " << i + 1;
    }
    if (m.Kind != mkComposite) {
      EXPECT_TRUE(m.Template.empty()) << m.Name;
    }
  }
  EXPECT_EQ(file, 43);
  EXPECT_EQ(system, 3);
  EXPECT_EQ(noExec, 5);
  EXPECT_EQ(composite, 2);
  EXPECT_EQ(list, 33);
  EXPECT_EQ(T().Items(51).Template, "%FP,T%%FN,T%");
  EXPECT_EQ(T().Items(52).Template, "%GA,T% - %GT,T%");
  EXPECT_EQ(kOutputDocumentKinds[0], "Custom");
  EXPECT_EQ(kOutputDocumentKinds[1], "Catalogue");
  EXPECT_EQ(kOutputDocumentKinds[2], "Order form");
}

TEST(MacroTableTest, IndexOfNameIgnoresAsciiCaseOfBothNames) {
  EXPECT_EQ(T().IndexOfName("fn"), 0);
  EXPECT_EQ(T().IndexOfName("FN"), 0);
  EXPECT_EQ(T().IndexOfName("FileName"), 0);
  EXPECT_EQ(T().IndexOfName("filename"), 0);
  EXPECT_EQ(T().IndexOfName("GLK"), 70);
  EXPECT_EQ(T().IndexOfName("GroupLengthKBComma"), 71);
  EXPECT_EQ(T().IndexOfName("NNN"), 49);
  EXPECT_EQ(T().IndexOfName("ep*"), 36);
  EXPECT_EQ(T().IndexOfName("TN"), 85);
  EXPECT_EQ(T().IndexOfName("XYZ"), -1);
  EXPECT_EQ(T().IndexOfName("F N"), -1);
  EXPECT_EQ(T().IndexOfName("\xE9"), -1);
}

TEST(MacroDefinitionsTest, AddReturnsIndexesAndTheLastOfEqualNamesIsFound) {
  TMacroDefinitions t;
  EXPECT_EQ(t.Count(), 0);
  EXPECT_EQ(t.IndexOfName("A"), -1);
  EXPECT_EQ(t.Add("A", "Alpha", 5, 'L', 'N', "first", "G", mkSystem, {}, ""), 0);
  EXPECT_EQ(t.Add("B", "alpha", 6, 'R', 'U', "second", "G", mkFile, {}, "tpl"), 1);
  EXPECT_EQ(t.Add("a", "Other", 7, 'L', 'N', "third", "G", mkList, {}, ""), 2);
  EXPECT_EQ(t.IndexOfName("ALPHA"), 1);
  EXPECT_EQ(t.IndexOfName("A"), 2);
  EXPECT_EQ(t.IndexOfName("b"), 1);
  const TMacro& b = t.Items(1);
  EXPECT_EQ(b.Width, 6);
  EXPECT_EQ(b.Align, 'R');
  EXPECT_EQ(b.CaseMode, 'U');
  EXPECT_EQ(b.Description, "second");
  EXPECT_EQ(b.Template, "tpl");

  // A copy of the global table may be given suppliers; the global one keeps none.
  TMacroDefinitions copy = MacroDefinitions();
  copy.SetCallback(copy.IndexOfName("No"),
                   TListSupplier([](std::int32_t context) { return std::to_string(context * 2); }));
  EXPECT_EQ(copy.Expand("%N%", nullptr, 21), "    42");
  EXPECT_EQ(MacroDefinitions().Expand("%N%", nullptr, 21), "N association error!!! ");
  EXPECT_THROW(copy.SetCallback(86, {}), std::out_of_range);
}

}  // namespace
