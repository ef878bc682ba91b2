#include "platform/os/codepage.h"

#include <gtest/gtest.h>

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
