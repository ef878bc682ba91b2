#include "platform/os/codepage.h"

#include <gtest/gtest.h>

#include "platform/rtl/text.h"

namespace vx {
namespace {

TEST(CodePage, ExactConversionsBothWays) {
  std::string bytes;
  ASSERT_TRUE(TryUtf8ToCodePage("中文abc", 936, bytes));
  EXPECT_EQ(bytes,
            "\xD6\xD0\xCE\xC4"
            "abc");
  std::string text;
  ASSERT_TRUE(TryCodePageToUtf8(bytes, 936, text));
  EXPECT_EQ(text, "中文abc");
  ASSERT_TRUE(TryUtf8ToCodePage("中文", 950, bytes));
  EXPECT_EQ(bytes, "\xA4\xA4\xA4\xE5");
  // Not representable, not valid, unknown code page.
  EXPECT_FALSE(TryUtf8ToCodePage("€😀", 950, bytes));
  EXPECT_FALSE(TryCodePageToUtf8("\xFF", 936, text));
  EXPECT_FALSE(TryCodePageToUtf8("\xD6", 936, text));  // lead byte without its trail
  EXPECT_FALSE(TryCodePageToUtf8("abc", 99999, text));
  EXPECT_FALSE(CodePageSupported(99999));
  EXPECT_TRUE(CodePageSupported(437));
}

// Every byte pair that decodes encodes back to the same bytes, except where
// the code page itself has one character at two places (Big5's duplicates:
// the character then encodes to the other place, which decodes to it).
TEST(CodePage, EveryBytePairOfTheDoubleByteCodePagesRoundTrips) {
  struct Case {
    int code_page;
    int characters;  // pairs that are a character
    int duplicates;  // pairs whose character is encoded at another place
    int user_defined;
  } cases[] = {{936, 23685, 0, 1894}, {950, 19720, 10, 6217}};
  for (const Case& c : cases) {
    int decoded = 0, elsewhere = 0, private_use = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
        std::string text, back;
        if (!TryCodePageToUtf8(bytes, c.code_page, text)) continue;
        ++decoded;
        ASSERT_TRUE(TryUtf8ToCodePage(text, c.code_page, back)) << c.code_page << " " << lead;
        if (back != bytes) {
          ++elsewhere;
          std::string again;
          ASSERT_TRUE(TryCodePageToUtf8(back, c.code_page, again));
          EXPECT_EQ(again, text) << c.code_page << " " << lead << " " << trail;
        }
        std::u16string wide = Utf8ToUtf16(text);
        if (wide.size() == 1 && wide[0] >= 0xE000 && wide[0] <= 0xF8FF) ++private_use;
      }
    }
    EXPECT_EQ(decoded, c.characters) << c.code_page;
    EXPECT_EQ(elsewhere, c.duplicates) << c.code_page;
    EXPECT_EQ(private_use, c.user_defined) << c.code_page;
    for (int b = 0; b < 0x100; ++b) {
      const std::string byte(1, static_cast<char>(b));
      std::string text, back;
      if (!TryCodePageToUtf8(byte, c.code_page, text)) continue;
      ASSERT_TRUE(TryUtf8ToCodePage(text, c.code_page, back)) << b;
      EXPECT_EQ(back, byte) << c.code_page << " " << b;
    }
  }
}

TEST(CodePage, UserDefinedAreasMapToPrivateUse) {
  struct Case {
    int code_page;
    const char* bytes;
    char16_t character;
  } cases[] = {
      {936, "\x80", u'\u20AC'},  {936, "\xAA\xA1", 0xE000}, {936, "\xAF\xFE", 0xE233},
      {936, "\xF8\xA1", 0xE234}, {936, "\xFE\xFE", 0xE4C5}, {936, "\xA1\x40", 0xE4C6},
      {936, "\xA7\xA0", 0xE765}, {950, "\xFA\x40", 0xE000}, {950, "\xFE\xFE", 0xE310},
      {950, "\x8E\x40", 0xE311}, {950, "\xA0\xFE", 0xEEB7}, {950, "\x81\x40", 0xEEB8},
      {950, "\x8D\xFE", 0xF6B0}, {950, "\xC6\xA1", 0xF6B1}, {950, "\xC8\xFE", 0xF848},
  };
  for (const Case& c : cases) {
    std::string text, back;
    ASSERT_TRUE(TryCodePageToUtf8(c.bytes, c.code_page, text)) << c.code_page << " " << c.bytes;
    EXPECT_EQ(Utf8ToUtf16(text), std::u16string(1, c.character)) << c.code_page;
    ASSERT_TRUE(TryUtf8ToCodePage(text, c.code_page, back));
    EXPECT_EQ(back, c.bytes) << c.code_page;
  }
  // Outside the areas nothing changed: a lead byte that is none, a trail
  // byte that is none.
  std::string text;
  EXPECT_FALSE(TryCodePageToUtf8("\xFF\xA1", 936, text));
  EXPECT_FALSE(TryCodePageToUtf8("\xFA\x7F", 950, text));
  bool lossless = true;
  EXPECT_EQ(CodePageToUtf8("\xFA\x7F", 950, &lossless), "\xEF\xBF\xBD\x7F");
  EXPECT_FALSE(lossless);
}

TEST(CodePage, LossyConversionsReplaceAndSaySo) {
  bool lossless = true;
  EXPECT_EQ(Utf8ToCodePage("a😀b", 936, &lossless), "a?b");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(CodePageToUtf8("a\xFF"
                           "b",
                           936, &lossless),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(CodePageToUtf8("\xD6\xD0", 936, &lossless), "中");
  EXPECT_TRUE(lossless);
}

TEST(CodePage, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("plain 中文 😀"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));      // cut short
  EXPECT_FALSE(IsValidUtf8("\xD6\xD0"));      // GBK bytes
}

TEST(CodePage, TextFilesByByteOrderMarkOrFallback) {
  std::string problem;
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFx=中", 936, &problem), "x=中");
  EXPECT_EQ(DecodeTextFile(std::string("\xFF\xFE"
                                       "a\0-N",
                                       6),
                           936, &problem),
            "a中");
  EXPECT_EQ(DecodeTextFile(std::string("\xFE\xFF\0a", 4), 936, &problem), "a");
  EXPECT_TRUE(problem.empty());
  EXPECT_EQ(DecodeTextFile("x=\xD6\xD0", 936, &problem), "x=中");
  EXPECT_EQ(DecodeTextFile("x=\xA4\xA4", 950, &problem), "x=中");
  EXPECT_TRUE(problem.empty());
  // Half a UTF-16 character at the end is dropped and reported.
  EXPECT_EQ(DecodeTextFile(std::string("\xFF\xFE"
                                       "a\0b",
                                       5),
                           936, &problem),
            "a\xEF\xBF\xBD");
  EXPECT_NE(problem.find("half"), std::string::npos);
}

}  // namespace
}  // namespace vx
