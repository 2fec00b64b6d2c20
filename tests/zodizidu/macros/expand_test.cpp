// The template expander: items, options, special items, case, fitting, composites, suppliers.
#include "zodizidu/macros/expand.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "zodizidu/macros/macro_definitions.h"
#include "zodizidu/macros/macro_table.h"

namespace {

using namespace zodizidu;
using Cases = std::vector<std::pair<std::string, std::string>>;  // template, expected text

const std::string kNoEnd = "<<<ERROR!!! No end of item definition!>>>";

// A table of its own, served by system and list suppliers, so that the rules of the expander
// can be checked without an analysed file.
class ExpandTest : public ::testing::Test {
 protected:
  ExpandTest() {
    table.Add("V", "Value", 10, 'L', 'N', "", "", mkSystem,
              TSystemSupplier([] { return std::string("  la vita (dal vivo)  "); }), "");
    table.Add("NUM", "Number", 3, 'R', 'N', "", "", mkSystem, TSystemSupplier([] { return std::string("17"); }), "");
    table.Add("N", "No", 6, 'R', 'N', "", "", mkList,
              TListSupplier([](std::int32_t context) { return std::to_string(context); }), "");
    table.Add("NS", "NoSupplier", 6, 'R', 'N', "", "", mkList, {}, "");
    table.Add("BOX", "Boxed", 8, 'L', 'N', "", "", mkComposite, {}, " [%NUM,T%] ");
  }
  void Check(const TMacroDefinitions& t, const Cases& cases, std::int32_t context = 0) const {
    for (const auto& [templateText, expected] : cases)
      EXPECT_EQ(t.Expand(templateText, nullptr, context), expected) << "template " << templateText;
  }
  void Check(const Cases& cases, std::int32_t context = 0) const { Check(table, cases, context); }
  TMacroDefinitions table;
};

TEST_F(ExpandTest, TextOutsideItemsAndUnmatchedDelimiters) {
  Check({{"", ""},
         {"no items here", "no items here"},
         {"100%% sure", "100% sure"},
         {"%,R,5%", "%"},
         {"%  %", "%"},
         {"abc %FN", "abc " + kNoEnd},
         {"%NUM,T% and %NUM,T%% tail", "17 and 17" + kNoEnd},
         {std::string("a\0b\xFF%NUM,T%\x80", 12), std::string("a\0b\xFF"
                                                              "17\x80",
                                                              7)}});
}

TEST_F(ExpandTest, SpecialItemsGiveNewLineNothingTabAndCharacterCodes) {
  Check({{"%nl%", "\r\n"},
         {"%NewLine%", "\r\n"},
         {"a%#%b", "ab"},
         {"%SoftNewLine,L,3,x%", "xxx"},
         {"%tab%", "\t"},
         {"%TB,R,4,.%", "...\t"},
         {"%65%%66%", "AB"},
         {"%321%", "A"},
         {"%0%", "\x01"},
         {"%256%", "\x01"},
         {"%1.5%", "\x01"},
         {"%.%", "\x01"},
         {"%99999999999%", "\x01"},
         {"%65,R,3,0%", "00A"},
         {"% 200 %", "\xC8"}});
}

TEST_F(ExpandTest, DefaultLayoutAlignmentWidthAndFill) {
  Check({{"%V%", "la vita (d"},  // stripped, then cut to the default width
         {"%value%|%number%", "la vita (d| 17"},
         {"%NUM,L,5,0%", "17000"},
         {"%NUM,C,6,*%", "**17**"},
         {"%NUM,C,5,*%", "*17**"},
         {"%NUM,R,1%", "1"},  // too long: its first characters, on the right too
         {"%V,T,3%", "la vita (dal vivo)"},
         {"%V,L%", "la vita (dal vivo)"},      // alignment without width: no fitting
         {"%V,R,-4%", "la vita (dal vivo)"},   // nor with a negative width
         {"%V,R,abc%", "la vita (dal vivo)"},  // nor with one that is no number
         {"%V,R,0%", "la vita (d"},            // 0: the default width
         {"%V,,20%", "la vita (d"},            // a width without alignment is ignored
         {"%NUM,x,8%", " 17"},
         {"%NUM,right,4%", "  17"},  // only the first character counts
         {"%NUM,L,4,--+%", "17--"},
         {"%NUM,L,4, %", "17  "},               // a blank fill field is empty: blanks
         {"%  num ,  r ,  5 ,  * %", "***17"},  // fields stripped, options in any case
         {"%NUM,R,5,*,N,ignored,also%", "***17"},
         {"%NUM,R,5,%", "   17"},  // a trailing comma opens no field
         {"%NUM,,,*%", "*17"}});
}

TEST_F(ExpandTest, CaseConversionsTouchAsciiLettersOnly) {
  Check({{"%V,T,,,C%", "La Vita (Dal Vivo)"},
         {"%V,T,,,F%", "La vita (dal vivo)"},
         {"%V,T,,,u%", "LA VITA (DAL VIVO)"},
         {"%V,T,,,Q%", "la vita (dal vivo)"},  // unknown: the macro's own case
         {"%V,L,12,*,U%", "LA VITA (DAL"}});
  TMacroDefinitions t;
  t.Add("W", "", 0, 'L', 'N', "", "", mkSystem,
        TSystemSupplier([] { return std::string("a!b(c)d,e.f/g:h;i<j>k?l-m_n\xE0o \xE0p aBC"); }), "");
  Check(t, {{"%W,T,,,C%", "A!B(C)D,E.F/G:H;I<J>K?L-m_n\xE0o \xE0p ABC"},
            {"%W,T,,,L%", "a!b(c)d,e.f/g:h;i<j>k?l-m_n\xE0o \xE0p abc"},
            {"%W,T,,,U%", "A!B(C)D,E.F/G:H;I<J>K?L-M_N\xE0O \xE0P ABC"}});
}

TEST_F(ExpandTest, ItemsThatCannotBeServedStayUnchanged) {
  Check({{"%XYZ,R,9%", "%XYZ,R,9%"}, {"a %N,R,4,*,U% b", "a %N,R,4,*,U% b"}});
  Check({{"%N,R,4,*%", "**12"}, {"%N%", "    12"}}, 12);
  Check({{"%N,T%", "-3"}}, -3);  // any context but 0 is a list
  // A file macro without a file: unchanged, so that a later expansion can fill it.
  Check(MacroDefinitions(), {{"%FN%|%fn,r,3%", "%FN%|%fn,r,3%"}, {"%GN,R,4%", "%GN,R,4%"}});
  EXPECT_EQ(ExpandItem("%N%", table, nullptr, 0), "%N%");
  EXPECT_EQ(ExpandItem("%N,T%", table, nullptr, 42), "42");
}

TEST_F(ExpandTest, AssociationErrorsAndNoExecItems) {
  Check({{"%NS%", "NS association error!!! "}, {"%ns,R,4%", "NS a"}}, 1);
  Check(MacroDefinitions(),
        {{"%FPR%", "FPR association error!!! "},
         {"%GroupLengthKBComma,T,,,L%", "grouplengthkbcomma association error!!! "}},
        5);
  Check(MacroDefinitions(), {{"%nnn%", "NNNis NoExec Item!"},
                             {"%NNN,R,20,-%", "--NNNis NoExec Item!"},
                             {"%PV%|%ProgramVersion,R,14,.%", "ZODIzidu 1.8|..ZODIzidu 1.8"}});
  // A supplier of the wrong shape for the macro's kind counts as none.
  TMacroDefinitions t;
  t.Add("W", "", 4, 'L', 'N', "", "", mkList, TSystemSupplier([] { return std::string("x"); }), "");
  Check(t, {{"%W%", "W association error!!! "}}, 1);
}

TEST_F(ExpandTest, CompositesExpandTheirTemplateUnstripped) {
  Check({{"%BOX%", " [17]   "}, {"%BOX,T%", " [17] "}, {"%BOX,R,3%", " [1"}});
  Check(MacroDefinitions(), {{"%GAT,T%", "%GA,T% - %GT,T%"}, {"%FPN%", "%FP,T%%FN,T%" + std::string(68, ' ')}});
}

TEST_F(ExpandTest, CompositesThatNameThemselvesStopAtTheFirstRepeat) {
  TMacroDefinitions t;
  t.Add("SELF", "", 0, 'L', 'N', "", "", mkComposite, {}, "a%SELF,R,9%b");
  t.Add("P", "", 0, 'L', 'N', "", "", mkComposite, {}, "<%Q,T%>");
  t.Add("Q", "", 0, 'L', 'N', "", "", mkComposite, {}, "(%P,T%)");
  t.Add("TWICE", "", 0, 'L', 'N', "", "", mkComposite, {}, "%P,T%%P,T%");
  Check(t, {{"%SELF,T%", "a%SELF,R,9%b"},
            {"%P,T%", "<(%P,T%)>"},
            {"%Q,T%", "(<%Q,T%>)"},
            {"%TWICE,T%", "<(%P,T%)><(%P,T%)>"}});  // siblings are no repeats

  // A chain of distinct composites stops at the depth limit; the first one past it stays.
  TMacroDefinitions chain;
  for (int i = 0; i < kMaxCompositeDepth + 4; ++i)
    chain.Add("C" + std::to_string(i), "", 0, 'L', 'N', "", "", mkComposite, {}, "x%C" + std::to_string(i + 1) + ",T%");
  Check(chain, {{"%C0,T%", std::string(kMaxCompositeDepth, 'x') + "%C" + std::to_string(kMaxCompositeDepth) + ",T%"}});
}

TEST_F(ExpandTest, HugeWidthsAreCappedAndOverflowingOnesIgnored) {
  const std::string capped = table.Expand("%NUM,L,2000000000%", nullptr, 0);
  EXPECT_EQ(capped, "17" + std::string(kMaxFittedWidth - 2, ' '));
  EXPECT_EQ(table.Expand("%NUM,R,2147483647,*%", nullptr, 0).size(), 65'536u);
  Check({{"%NUM,R,99999999999,*%", "17"}});  // no 32-bit number: no fitting
  TMacroDefinitions t;
  t.Add("WIDE", "", 1'000'000'000, 'R', 'N', "", "", mkSystem, TSystemSupplier([] { return std::string("w"); }), "");
  Check(t, {{"%WIDE%", std::string(kMaxFittedWidth - 1, ' ') + "w"}});
}

TEST_F(ExpandTest, Utf8TextCountsCharactersAndReadsWindowsBytes) {
  table.Add("W", "Windows", 6, 'L', 'N', "", "", mkSystem, TSystemSupplier([] { return std::string("Caff\xE8"); }), "");
  table.Add("U", "Unicode", 6, 'L', 'N', "", "", mkSystem, TSystemSupplier([] { return std::string("Citt\xC3\xA0"); }),
            "");
  table.Add("WU", "Both", 12, 'L', 'N', "", "", mkComposite, {}, "%W,T%+%U,T%");
  // The bytes model: widths and fills count bytes, values stay as they are.
  Check({{"%U,L,4%", "Citt"}, {"%U,L,5%", "Citt\xC3"}, {"%W%", "Caff\xE8 "}});

  table.SetText(TextModel::kUtf8);
  Check({{"%U,L,5%", "Citt\xC3\xA0"},
         {"%U,R,7,\xC3\xA9%",
          "\xC3\xA9\xC3\xA9"
          "Citt\xC3\xA0"},
         {"%U,C,9,\xE2\x82\xAC%",
          "\xE2\x82\xAC\xE2\x82\xAC"
          "Citt\xC3\xA0\xE2\x82\xAC\xE2\x82\xAC"},
         {"%W%", "Caff\xC3\xA8 "},
         {"%W,L,4%", "Caff"},
         {"%WU%", "Caff\xC3\xA8+Citt\xC3\xA0 "},
         {"%U,T,,,U%", "CITT\xC3\xA0"},
         {"%233%%128%", "\xC3\xA9\xE2\x82\xAC"},
         {"\xAB%U,T%\xBB",
          "\xC2\xAB"
          "Citt\xC3\xA0\xC2\xBB"},
         {"%U,R,7,\xE9%",
          "\xC3\xA9\xC3\xA9"
          "Citt\xC3\xA0"},
         {"%XYZ\xE8%", "%XYZ\xC3\xA8%"}});
}

}  // namespace
