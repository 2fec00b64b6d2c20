// Contents of the global macro table, looked up by name, and the container's own rules.
#include "zodizidu/macros/macro_table.h"

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
    {9, "FDTFS", "FileDateTimeForSort", 14, 'L', "Mpeg audio file", mkFile},
    {18, "GNR", "GenreNr", 3, 'R', "Mpeg audio file", mkFile},
    {37, "EP*", "ErrorProt*", 1, 'L', "Mpeg audio file", mkFile},
    {41, "O*", "Original*", 3, 'L', "Mpeg audio file", mkFile},
    {44, "PV", "ProgramVersion", 12, 'L', "System", mkSystem},
    {48, "#", "SoftNewLine", 2, 'L', "Special", mkNoExec},
    {51, "", "", 1, 'L', "Special", mkNoExec},
    {53, "GAT", "GuessedArtistTitle", 80, 'L', "Mpeg audio file", mkComposite},
    {54, "FPR", "FilePathRelative", 40, 'L', "List data", mkList},
    {72, "", "GroupLengthKBComma", 11, 'R', "Group Data", mkList},
    {77, "DSMC", "DurationSumMinutesComma", 9, 'R', "List data", mkList},
    {86, "TN", "TemplateName", 40, 'L', "Output document", mkList},
};

TEST(MacroTableTest, HoldsTheEightySixRowsInOrder) {
  ASSERT_EQ(T().Count(), 86);
  EXPECT_EQ(T().Delimiter(), '%');
  for (const Row& row : kSample) {
    const TMacro& m = T().Items(row.number - 1);
    EXPECT_EQ(m.ShortName, row.shortName) << row.number;
    EXPECT_EQ(m.Name, row.name) << row.number;
    EXPECT_EQ(m.Width, row.width) << row.number;
    EXPECT_EQ(m.Align, row.align) << row.number;
    EXPECT_EQ(m.CaseMode, 'N') << row.number;
    EXPECT_EQ(m.Group, row.group) << row.number;
    EXPECT_EQ(m.Kind, row.kind) << row.number;
  }
  EXPECT_EQ(T().Items(8).Description, "File Date time formated for sorting (yyyymmddhhmmss).");
  EXPECT_EQ(T().Items(38).Description, "Copyrighted ('*'/' ')");
  EXPECT_EQ(T().Items(74).Description, "Total duration in seconds for whole list,thousands comma separated");
  EXPECT_EQ(T().Items(51).Template, "%FP,T%%FN,T%");
  EXPECT_EQ(T().Items(52).Template, "%GA,T% - %GT,T%");
  EXPECT_EQ(kOutputDocumentKinds, (std::array<std::string_view, 3>{"Custom", "Catalogue", "Order form"}));
  EXPECT_THROW(T().Items(86), std::out_of_range);
}

TEST(MacroTableTest, FileAndSystemMacrosHaveSuppliersListMacrosNone) {
  int counts[5] = {};
  for (int i = 0; i < T().Count(); ++i) {
    const TMacro& m = T().Items(i);
    ASSERT_LT(m.Kind, 5) << i;
    ++counts[m.Kind];
    EXPECT_EQ(m.HasSupplier(), m.Kind == mkFile || m.Kind == mkSystem) << m.Name;
  }
  EXPECT_EQ(counts[mkFile], 43);
  EXPECT_EQ(counts[mkNoExec], 5);
  EXPECT_EQ(counts[mkSystem], 3);
  EXPECT_EQ(counts[mkList], 33);
  EXPECT_EQ(counts[mkComposite], 2);
}

TEST(MacroTableTest, IndexOfNameIgnoresAsciiCaseOfBothNames) {
  for (const char* name : {"fn", "FN", "FileName", "filename"}) EXPECT_EQ(T().IndexOfName(name), 0);
  EXPECT_EQ(T().IndexOfName("GLK"), 70);
  EXPECT_EQ(T().IndexOfName("GroupLengthKBComma"), 71);
  EXPECT_EQ(T().IndexOfName("ep*"), 36);
  EXPECT_EQ(T().IndexOfName("XYZ"), -1);
  EXPECT_EQ(T().IndexOfName("F N"), -1);
}

TEST(MacroDefinitionsTest, TheLastOfEqualNamesIsFoundAndCopiesTakeSuppliers) {
  TMacroDefinitions t;
  EXPECT_EQ(t.IndexOfName("A"), -1);
  EXPECT_EQ(t.Add("A", "Alpha", 5, 'L', 'N', "first", "G", mkSystem, {}, ""), 0);
  EXPECT_EQ(t.Add("B", "alpha", 6, 'R', 'U', "second", "G", mkFile, {}, "tpl"), 1);
  EXPECT_EQ(t.Add("a", "Other", 7, 'L', 'N', "third", "G", mkList, {}, ""), 2);
  EXPECT_EQ(t.IndexOfName("ALPHA"), 1);
  EXPECT_EQ(t.IndexOfName("A"), 2);
  EXPECT_EQ(t.Items(1).Template, "tpl");

  // A copy of the global table may be given suppliers; the global one keeps none.
  TMacroDefinitions copy = MacroDefinitions();
  copy.SetCallback(copy.IndexOfName("No"),
                   TListSupplier([](std::int32_t context) { return std::to_string(context * 2); }));
  EXPECT_EQ(copy.Expand("%N%", nullptr, 21), "    42");
  EXPECT_EQ(MacroDefinitions().Expand("%N%", nullptr, 21), "N association error!!! ");
  EXPECT_THROW(copy.SetCallback(86, {}), std::out_of_range);
}

}  // namespace
