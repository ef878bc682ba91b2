#include "platform/rtl/text.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Text, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\nabc \x01"), "abc");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Text, CaseFoldingTouchesAsciiOnly) {
  EXPECT_TRUE(SameText("Caption", "CAPTION"));
  EXPECT_FALSE(SameText("Caption", "Captions"));
  EXPECT_EQ(UpperCase("abc盘点"), "ABC盘点");
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(FindText("Font.Name", "NAME"), 5u);
}

TEST(Text, IntegerParsing) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> value;
  } cases[] = {{"12", 12},
               {" -7 ", -7},
               {"$FF", 255},
               {"0x10", 16},
               {"", std::nullopt},
               {"1.5", std::nullopt},
               {"12a", std::nullopt},
               {"-", std::nullopt},
               {"9223372036854775807", INT64_MAX},
               {"9223372036854775808", std::nullopt}};
  for (const auto& c : cases)
    EXPECT_EQ(TryStrToInt64(c.text), c.value) << c.text;
  EXPECT_EQ(TryStrToInt("2147483648"), std::nullopt);
  EXPECT_EQ(StrToIntDef("x", 42), 42);
}

TEST(Text, FloatParsingAllowsOnlyTheGivenDecimalPoint) {
  EXPECT_EQ(TryStrToFloat("1.5"), 1.5);
  EXPECT_EQ(TryStrToFloat("-2E3"), -2000.0);
  EXPECT_EQ(TryStrToFloat("1,5"), std::nullopt);
  EXPECT_EQ(TryStrToFloat("1,5", ','), 1.5);
  EXPECT_EQ(TryStrToFloat("inf"), std::nullopt);
  EXPECT_EQ(TryStrToFloat("1e"), std::nullopt);
  EXPECT_EQ(TryStrToFloat("."), std::nullopt);
}

TEST(Text, FloatToStrWritesTheShortestForm) {
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStr(3), "3");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(1e-5), "1E-5");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
}

TEST(Text, Utf8AndUtf16RoundTrip) {
  const std::string text = "盘点 Stock 😀";
  std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide.size(), 11u);  // the emoji is a surrogate pair
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf8Length(text), 10u);
  // Malformed input becomes the replacement character, never a crash.
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong '/'
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, FormatAcceptsStdStrings) {
  EXPECT_EQ(Format("Load Library %s Error!", std::string("Dirurevido.dll")),
            "Load Library Dirurevido.dll Error!");
  EXPECT_EQ(Format("%.2d|%.2x|%s", 3, 10, "x"), "03|0a|x");
}

}  // namespace
}  // namespace vx
