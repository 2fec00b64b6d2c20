// The template expander: items, options, special items, case, fitting, composites, suppliers.
#include "zodizidu/expand.h"

#include <string>

#include <gtest/gtest.h>

#include "zodizidu/macro_definitions.h"
#include "zodizidu/macro_table.h"

namespace {

using namespace zodizidu;

constexpr std::string_view kNoEnd = "<<<ERROR!!! No end of item definition!>>>";

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

// A small table of its own, served by system and list suppliers, so that every rule of the
// expander can be checked without an analysed file.
class ExpandTest : public ::testing::Test {
 protected:
  ExpandTest() {
    table.Add("V", "Value", 10, 'L', 'N', "a text with blanks around it", "Test", mkSystem,
              TSystemSupplier([] { return std::string("  la vita (dal vivo)  "); }), "");
    table.Add("NUM", "Number", 3, 'R', 'N', "a number", "Test", mkSystem,
              TSystemSupplier([] { return std::string("17"); }), "");
    table.Add("N", "No", 6, 'R', 'N', "the list context", "Test", mkList,
              TListSupplier([](std::int32_t context) { return std::to_string(context); }), "");
    table.Add("NS", "NoSupplier", 6, 'R', 'N', "a list macro left without a supplier", "Test",
              mkList, {}, "");
    table.Add("BOX", "Boxed", 8, 'L', 'N', "a composite", "Test", mkComposite, {},
              " [%NUM,T%] ");
  }
  std::string X(std::string_view t, std::int32_t context = 0) const {
    return table.Expand(t, nullptr, context);
  }
  TMacroDefinitions table;
};

TEST_F(ExpandTest, TextOutsideItemsAndDelimitersAsTheRulesSay) {
  EXPECT_EQ(X(""), "");
  EXPECT_EQ(X("no items here, 100 per cent"), "no items here, 100 per cent");
  EXPECT_EQ(X("100%% sure"), "100% sure");
  EXPECT_EQ(X("%,R,5%"), "%");
  EXPECT_EQ(X("%  %"), "%");
  EXPECT_EQ(X("abc %FN"), "abc " + std::string(kNoEnd));
  EXPECT_EQ(X("%NUM,T% and %NUM,T%% tail"), "17 and 17" + std::string(kNoEnd));
  EXPECT_EQ(X("%"), std::string(kNoEnd));
}

TEST_F(ExpandTest, SpecialItemsGiveNewLineNothingTabAndCharacterCodes) {
  EXPECT_EQ(X("%nl%"), "\r\n");
  EXPECT_EQ(X("%NewLine%"), "\r\n");
  EXPECT_EQ(X("%#%"), "");
  EXPECT_EQ(X("a%SoftNewLine%b"), "ab");
  EXPECT_EQ(X("%SOFTNEWLINE,L,3,x%"), "xxx");
  EXPECT_EQ(X("%tab%"), "\t");
  EXPECT_EQ(X("%TB,R,4,.%"), "...\t");
  EXPECT_EQ(X("%65%%66%"), "AB");
  EXPECT_EQ(X("%321%"), "A");  // modulo 256
  EXPECT_EQ(X("%0%"), "\x01");
  EXPECT_EQ(X("%256%"), "\x01");
  EXPECT_EQ(X("%1.5%"), "\x01");
  EXPECT_EQ(X("%.%"), "\x01");
  EXPECT_EQ(X("%99999999999%"), "\x01");  // does not fit a 32-bit integer
  EXPECT_EQ(X("%65,R,3,0%"), "00A");
  EXPECT_EQ(X("% 66 %"), "B");
  EXPECT_EQ(X("%200%"), "\xC8");
}

TEST_F(ExpandTest, DefaultLayoutAppliesWithoutOptions) {
  EXPECT_EQ(X("%V%"), "la vita (d");  // stripped, then cut to the default width 10
  EXPECT_EQ(X("%NUM%"), " 17");
  EXPECT_EQ(X("%value%|%number%"), "la vita (d| 17");
}

TEST_F(ExpandTest, AlignmentWidthAndFillOptions) {
  EXPECT_EQ(X("%NUM,L,5,0%"), "17000");
  EXPECT_EQ(X("%NUM,C,6,*%"), "**17**");
  EXPECT_EQ(X("%NUM,C,5,*%"), "*17**");
  EXPECT_EQ(X("%NUM,R,5%"), "   17");
  EXPECT_EQ(X("%NUM,R,1%"), "1");  // too long: the first characters, also on the right
  EXPECT_EQ(X("%V,C,4%"), "la v");
  EXPECT_EQ(X("%V,T,3%"), "la vita (dal vivo)");
  EXPECT_EQ(X("%V,L%"), "la vita (dal vivo)");         // alignment without width: no fitting
  EXPECT_EQ(X("%V,R,-4%"), "la vita (dal vivo)");      // a negative width likewise
  EXPECT_EQ(X("%V,R,abc%"), "la vita (dal vivo)");     // so is a width that is no number
  EXPECT_EQ(X("%V,R,0%"), "la vita (d");               // 0: the default width
  EXPECT_EQ(X("%V,,20%"), "la vita (d");               // width without alignment is ignored
  EXPECT_EQ(X("%NUM,x,8%"), " 17");                    // so is one after a bad alignment
  EXPECT_EQ(X("%NUM,right,4%"), "  17");               // only the first character counts
  EXPECT_EQ(X("%NUM,l,4,-%"), "17--");                 // options in any letter case
  EXPECT_EQ(X("%NUM,L,4,--+%"), "17--");               // the first fill character
  EXPECT_EQ(X("%NUM,L,4, %"), "17  ");                 // a blank fill field is empty: blank
}

TEST_F(ExpandTest, FieldsAreSplitAtCommasAndStripped) {
  EXPECT_EQ(X("%  num ,  r ,  5 ,  * %"), "***17");
  EXPECT_EQ(X("%NUM,R,5,*,N,ignored,also ignored%"), "***17");
  EXPECT_EQ(X("%NUM,R,5,%"), "   17");  // a trailing comma opens no field
  EXPECT_EQ(X("%NUM,,,*%"), "*17");     // empty fields between commas
  EXPECT_EQ(X("%NUM,R,+5,*%"), "***17");
}

TEST_F(ExpandTest, CaseConversionsTouchAsciiLettersOnly) {
  EXPECT_EQ(X("%V,T,,,C%"), "La Vita (Dal Vivo)");
  EXPECT_EQ(X("%V,T,,,F%"), "La vita (dal vivo)");
  EXPECT_EQ(X("%V,T,,,U%"), "LA VITA (DAL VIVO)");
  EXPECT_EQ(X("%V,T,,,u%"), "LA VITA (DAL VIVO)");
  EXPECT_EQ(X("%V,T,,,N%"), "la vita (dal vivo)");
  EXPECT_EQ(X("%V,T,,,Q%"), "la vita (dal vivo)");  // unknown: the macro's own case
  EXPECT_EQ(X("%V,L,12,*,U%"), "LA VITA (DAL");     // case before fitting

  TMacroDefinitions t;
  t.Add("W", "Words", 0, 'L', 'N', "", "", mkSystem,
        TSystemSupplier([] { return std::string("a!b(c)d,e.f/g:h;i<j>k?l-m_n\xE0o \xE0p aBC"); }),
        "");
  EXPECT_EQ(t.Expand("%W,T,,,C%", nullptr, 0), "A!B(C)D,E.F/G:H;I<J>K?L-m_n\xE0o \xE0p ABC");
  EXPECT_EQ(t.Expand("%W,T,,,L%", nullptr, 0), "a!b(c)d,e.f/g:h;i<j>k?l-m_n\xE0o \xE0p abc");
  EXPECT_EQ(t.Expand("%W,T,,,U%", nullptr, 0), "A!B(C)D,E.F/G:H;I<J>K?L-M_N\xE0O \xE0P ABC");
}

TEST_F(ExpandTest, ItemsThatCannotBeServedStayUnchanged) {
  EXPECT_EQ(X("%XYZ,R,9%"), "%XYZ,R,9%");
  EXPECT_EQ(X("a %N,R,4,*,U% b"), "a %N,R,4,*,U% b");  // a list macro without a list context
  EXPECT_EQ(X("%N,R,4,*%", 12), "**12");
  EXPECT_EQ(X("%N%", 7), "     7");
  EXPECT_EQ(X("%N,T%", -3), "-3");  // any context but 0 is a list

  // A file macro with no file given: unchanged, so a later expansion can fill it.
  const TMacroDefinitions& global = MacroDefinitions();
  EXPECT_EQ(global.Expand("%FN%|%fn,r,3%", nullptr, 0), "%FN%|%fn,r,3%");
  EXPECT_EQ(global.Expand("%GN,R,4%", nullptr, 0), "%GN,R,4%");
}

TEST_F(ExpandTest, MacrosWithoutTheirSupplierReportAnAssociationError) {
  EXPECT_EQ(X("%NS%", 1), "NS association error!!! ");
  EXPECT_EQ(X("%ns,R,4%", 1), "NS a");
  EXPECT_EQ(MacroDefinitions().Expand("%FPR%", nullptr, 1), "FPR association error!!! ");
  EXPECT_EQ(MacroDefinitions().Expand("%GroupLengthKBComma,T,,,L%", nullptr, 5),
            "grouplengthkbcomma association error!!! ");

  // A supplier of the wrong shape for the kind counts as none.
  TMacroDefinitions t;
  t.Add("W", "Wrong", 4, 'L', 'N', "", "", mkList,
        TSystemSupplier([] { return std::string("never"); }), "");
  EXPECT_EQ(t.Expand("%W%", nullptr, 1), "W association error!!! ");
}

TEST_F(ExpandTest, SpecialItemRowsAreNoExecItems) {
  const TMacroDefinitions& global = MacroDefinitions();
  EXPECT_EQ(global.Expand("%nnn%", nullptr, 0), "NNNis NoExec Item!");
  EXPECT_EQ(global.Expand("%NNN,R,20,-%", nullptr, 0), "--NNNis NoExec Item!");
  EXPECT_EQ(global.Expand("%nnn,R,3%", nullptr, 0), "NNN");
}

TEST_F(ExpandTest, SystemMacrosOfTheGlobalTable) {
  const TMacroDefinitions& global = MacroDefinitions();
  EXPECT_EQ(global.Expand("%PV%", nullptr, 0), "ZODIzidu 1.8");
  EXPECT_EQ(global.Expand("[%ProgramVersion,R,14,.%]", nullptr, 0), "[..ZODIzidu 1.8]");
  EXPECT_EQ(global.Expand("%CD%", nullptr, 0).size(), 10u);
}

TEST_F(ExpandTest, CompositesExpandTheirTemplateUnstripped) {
  EXPECT_EQ(X("%BOX%"), " [17]   ");
  EXPECT_EQ(X("%BOX,T%"), " [17] ");
  EXPECT_EQ(X("%BOX,R,3%"), " [1");
  // A composite over a file macro with no file: the inner items stay for a later expansion.
  EXPECT_EQ(MacroDefinitions().Expand("%GAT,T%", nullptr, 0), "%GA,T% - %GT,T%");
  EXPECT_EQ(MacroDefinitions().Expand("%FPN%", nullptr, 0), "%FP,T%%FN,T%" + Blanks(68));
}

TEST_F(ExpandTest, CompositesThatNameThemselvesStopAtTheFirstRepeat) {
  TMacroDefinitions t;
  t.Add("SELF", "Itself", 0, 'L', 'N', "", "", mkComposite, {}, "a%SELF,R,9%b");
  t.Add("P", "Ping", 0, 'L', 'N', "", "", mkComposite, {}, "<%Q,T%>");
  t.Add("Q", "Pong", 0, 'L', 'N', "", "", mkComposite, {}, "(%P,T%)");
  t.Add("TWICE", "Twice", 0, 'L', 'N', "", "", mkComposite, {}, "%P,T%%P,T%");
  EXPECT_EQ(t.Expand("%SELF,T%", nullptr, 0), "a%SELF,R,9%b");
  EXPECT_EQ(t.Expand("%P,T%", nullptr, 0), "<(%P,T%)>");
  EXPECT_EQ(t.Expand("%Q,T%", nullptr, 0), "(<%Q,T%>)");
  // Siblings are not repeats: each expands on its own.
  EXPECT_EQ(t.Expand("%TWICE,T%", nullptr, 0), "<(%P,T%)><(%P,T%)>");
}

TEST_F(ExpandTest, CompositeNestingStopsAtTheDepthLimit) {
  TMacroDefinitions t;
  constexpr int kChain = kMaxCompositeDepth + 4;
  for (int i = 0; i < kChain; ++i)
    t.Add("C" + std::to_string(i), "", 0, 'L', 'N', "", "", mkComposite, {},
          "x%C" + std::to_string(i + 1) + ",T%");
  // The outermost composite is level 1; the one past the limit stays as written.
  EXPECT_EQ(t.Expand("%C0,T%", nullptr, 0),
            std::string(kMaxCompositeDepth, 'x') + "%C" + std::to_string(kMaxCompositeDepth) +
                ",T%");
}

TEST_F(ExpandTest, HugeWidthsAreCappedAndOverflowingOnesIgnored) {
  const std::string capped = X("%NUM,L,2000000000%");
  ASSERT_EQ(capped.size(), static_cast<std::size_t>(kMaxFittedWidth));
  EXPECT_EQ(capped.substr(0, 3), "17 ");
  EXPECT_EQ(capped.find_first_not_of(' ', 2), std::string::npos);
  EXPECT_EQ(X("%NUM,R,2147483647,*%").size(), static_cast<std::size_t>(kMaxFittedWidth));
  EXPECT_EQ(X("%NUM,R,99999999999,*%"), "17");  // not a 32-bit number: no fitting

  TMacroDefinitions t;
  t.Add("WIDE", "", 1'000'000'000, 'R', 'N', "", "", mkSystem,
        TSystemSupplier([] { return std::string("w"); }), "");
  const std::string wide = t.Expand("%WIDE%", nullptr, 0);
  ASSERT_EQ(wide.size(), static_cast<std::size_t>(kMaxFittedWidth));
  EXPECT_EQ(wide.back(), 'w');
}

TEST_F(ExpandTest, ExpandItemServesOneItemWithItsDelimiters) {
  EXPECT_EQ(ExpandItem("%NUM,C,6,*%", table, nullptr, 0), "**17**");
  EXPECT_EQ(ExpandItem("%%", table, nullptr, 0), "%");
  EXPECT_EQ(ExpandItem("%N%", table, nullptr, 0), "%N%");
  EXPECT_EQ(ExpandItem("%N,T%", table, nullptr, 42), "42");
}

TEST_F(ExpandTest, BytesPassThroughUnchanged) {
  const std::string bytes("a\0b\xFF\x80z", 6);
  EXPECT_EQ(X(bytes), bytes);
  EXPECT_EQ(X(std::string("%NUM,T%\0%65%", 12)), std::string("17\0A", 4));
}

}  // namespace
