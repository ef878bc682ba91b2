#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(CodePage, EncodesAndDecodesGbkAndBig5Bytes) {
  EXPECT_EQ(EncodeToCodePage("盘点仓库", 936), "\xC5\xCC\xB5\xE3\xB2\xD6\xBF\xE2");
  EXPECT_EQ(EncodeToCodePage("盤點倉庫", 950), "\xBD\x4C\xC2\x49\xAD\xDC\xAE\x77");
  EXPECT_EQ(DecodeFromCodePage("\xC5\xCC\xB5\xE3", 936), "盘点");
  EXPECT_EQ(DecodeFromCodePage("\xBD\x4C\xC2\x49", 950), "盤點");
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeOneDefaultCharEach) {
  struct Case {
    const char* text;
    int code_page;
    const char* limited;
    std::size_t replaced;
  } cases[] = {
      {"盘点 qty", 936, "盘点 qty", 0},
      {"盘点", 950, "??", 2},      // simplified forms are not in Big5
      {"盤點", 936, "盤點", 0},    // GBK holds the traditional forms too
      {"库存😀", 936, "库存?", 1},  // outside the basic plane
      {"데이터", 936, "???", 3},   // Hangul is not in GBK
      {"價格€", 950, "價格€", 0},  // Big5 as the platform extends it
      {"a\xFF"
       "b",
       936, "a?b", 1},  // malformed UTF-8 byte
  };
  for (const auto& c : cases) {
    std::size_t replaced = 99;
    EXPECT_EQ(LimitToCodePage(c.text, c.code_page, &replaced), c.limited) << c.text;
    EXPECT_EQ(replaced, c.replaced) << c.text;
  }
}

TEST(CodePage, InvalidBytesDecodeToDefaultChar) {
  std::size_t replaced = 0;
  // A lone lead byte at the end and a byte that starts no character.
  EXPECT_EQ(DecodeFromCodePage("\xC5\xCC\xFFx\xC5", 936, &replaced), "盘?x?");
  EXPECT_EQ(replaced, 2u);
}

TEST(CodePage, ByteLengthCountsInTheCodePage) {
  EXPECT_EQ(CodePageByteLength("盘点ab", 936), 6u);
  EXPECT_EQ(CodePageByteLength("ab", 950), 2u);
}

TEST(CodePage, UnknownCodePageRaises) {
  EXPECT_FALSE(IsCodePageSupported(12345));
  EXPECT_TRUE(IsCodePageSupported(936));
  EXPECT_THROW(EncodeToCodePage("x", 12345), ECodePageError);
  EXPECT_THROW(LimitToCodePage("盘", 12345), ECodePageError);
}

}  // namespace
}  // namespace vx
