// The 8-bit text rule: valid UTF-8 stays, anything else is read as Windows-1252.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

using platform::IsValidUtf8;
using platform::ToUtf8;

TEST(IsValidUtf8, AcceptsWellFormedSequences) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain ASCII"));
  EXPECT_TRUE(IsValidUtf8("Citt\xC3\xA0"));
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC"));      // U+20AC
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));  // U+1F3B5
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF, the last code point
  EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF"));      // U+D7FF, just below the surrogates
  EXPECT_TRUE(IsValidUtf8(std::string_view("a\0b", 3)));
}

TEST(IsValidUtf8, RejectsStrayOverlongSurrogateAndOutOfRangeSequences) {
  EXPECT_FALSE(IsValidUtf8("Citt\xE0"));
  EXPECT_FALSE(IsValidUtf8("\x80"));     // continuation byte alone
  EXPECT_FALSE(IsValidUtf8("abc\xC3"));  // cut short
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_FALSE(IsValidUtf8("\xC3\x28"));  // second byte no continuation
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));  // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xC1\xBF"));
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xF0\x80\x80\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));          // U+D800, a surrogate
  EXPECT_FALSE(IsValidUtf8("\xED\xBF\xBF"));          // U+DFFF
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));      // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));  // five-byte form
  EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(ToUtf8, ValidUtf8IsKeptAsItIs) {
  EXPECT_EQ(ToUtf8("Città"), "Città");
  EXPECT_EQ(ToUtf8("Compilation 2000"), "Compilation 2000");
  EXPECT_EQ(ToUtf8(""), "");
}

TEST(ToUtf8, Windows1252BytesBecomeTheirCharacters) {
  EXPECT_EQ(ToUtf8("Citt\xE0"), "Città");
  EXPECT_EQ(ToUtf8("\x80"), "€");
  EXPECT_EQ(ToUtf8("\x8A\x9A\x9F"), "ŠšŸ");
  EXPECT_EQ(ToUtf8("\x93quoted\x94 \x96 \x85"), "“quoted” – …");
  EXPECT_EQ(ToUtf8("\xA0\xFF"), "\u00A0ÿ");
  EXPECT_EQ(ToUtf8("\xC0\xAF"), "À¯");  // an overlong form is two Windows-1252 characters
}

TEST(ToUtf8, UndefinedBytesStayAsTheControlOfTheSameNumber) {
  EXPECT_EQ(ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST(ToUtf8, OneInvalidByteMakesTheWholeTextWindows1252) {
  // "Città" in UTF-8 followed by a Windows-1252 "à": the UTF-8 bytes are read byte by byte too.
  EXPECT_EQ(ToUtf8("Citt\xC3\xA0 \xE0"), "CittÃ\u00A0 à");
}

TEST(AsciiCase, OnlyAsciiLettersChange) {
  EXPECT_EQ(platform::AsciiUpper("città 2000 [live]"), "CITTà 2000 [LIVE]");
  EXPECT_EQ(platform::AsciiLower("CITTÀ @ZZ"), "cittÀ @zz");
  EXPECT_EQ(platform::AsciiUpper("\xE0\xFF"), "\xE0\xFF");
  EXPECT_EQ(platform::AsciiLower(""), "");
}

TEST(Utf8Length, CountsCharactersAndCutsBetweenThem) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5z";  // a, é, €, a note, z
  EXPECT_EQ(platform::Utf8Length(text), 5u);
  EXPECT_EQ(platform::Utf8Length(""), 0u);
  EXPECT_EQ(platform::Utf8PrefixSize(text, 0), 0u);
  EXPECT_EQ(platform::Utf8PrefixSize(text, 2), 3u);
  EXPECT_EQ(platform::Utf8PrefixSize(text, 4), 10u);
  EXPECT_EQ(platform::Utf8PrefixSize(text, 5), text.size());
  EXPECT_EQ(platform::Utf8PrefixSize(text, 9), text.size());
}

}  // namespace
