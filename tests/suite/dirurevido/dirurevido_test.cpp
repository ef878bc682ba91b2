#include "suite/dirurevido/dirurevido.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// The caller's side of the size protocol.
std::string Call(DirurevidoConvertFunc f, const std::string& text) {
  std::string buf(8, '\0');
  ptrdiff_t n = f(text.data(), text.size(), buf.data(), buf.size());
  if (n >= static_cast<ptrdiff_t>(buf.size())) {
    buf.assign(static_cast<size_t>(n) + 1, '\0');
    n = f(text.data(), text.size(), buf.data(), buf.size());
  }
  if (n < 0) return "<error " + std::to_string(n) + ">";
  return buf.substr(0, static_cast<size_t>(n));
}

TEST(Dirurevido, ConvertsBusinessVocabularyBothWays) {
  struct Case {
    const char* gb;
    const char* big5;
  } cases[] = {
      {"盘点帐面量重计", "盤點帳面量重計"},
      {"仓库", "倉庫"},
      {"数量", "數量"},
      {"盘点日期", "盤點日期"},
      {"年月日 星期一", "年月日 星期一"},
      {"库存单位", "庫存單位"},
      {"处理完毕! ", "處理完畢! "},
      {"直接处理", "直接處理"},
      {"后台处理", "後臺處理"},
      {"ABC-123 qty", "ABC-123 qty"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Call(GBtoBIG5, c.gb), c.big5) << c.gb;
    EXPECT_EQ(Call(BIG5toGB, c.big5), c.gb) << c.big5;
  }
}

TEST(Dirurevido, SimplifiedToTraditionalToSimplifiedGivesTheOriginal) {
  const std::string text =
      "盘点帐面量重计:仓库编号、料号、品名、规格、单位、帐面数量、盘点数量、差异数量、"
      "盘点日期、单据日期、年、月、日、星期、季度、期初、期末、库存、入库、出库、调拨、"
      "金额、单价、备注、审核、作业、报表、打印、完成后通知、被通知人、消息、短信、邮件";
  std::string big5 = Call(GBtoBIG5, text);
  EXPECT_NE(big5, text);
  EXPECT_EQ(Call(BIG5toGB, big5), text);
}

TEST(Dirurevido, ResultHoldsOnlyWhatTheTargetCodePageEncodes) {
  // Hangul and emoji are in neither code page; each character becomes one "?".
  EXPECT_EQ(Call(GBtoBIG5, "仓库한😀"), "倉庫??");
  EXPECT_EQ(Call(BIG5toGB, "倉庫한😀"), "仓库??");
  // A malformed byte is one "?" too.
  EXPECT_EQ(Call(GBtoBIG5, std::string("仓\xFF库")), "倉?庫");
}

TEST(Dirurevido, NeverWritesBeyondTheStatedSize) {
  const std::string text = "仓库数量";
  std::string buf(32, '#');
  // Too small: only an empty string is written, the length is reported.
  ptrdiff_t n = GBtoBIG5(text.data(), text.size(), buf.data(), 4);
  EXPECT_EQ(n, 12);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf.substr(1), std::string(31, '#'));
  // Exactly the length: still one byte short for the terminating NUL.
  EXPECT_EQ(GBtoBIG5(text.data(), text.size(), buf.data(), 12), 12);
  EXPECT_EQ(buf[12], '#');
  EXPECT_EQ(GBtoBIG5(text.data(), text.size(), buf.data(), 13), 12);
  EXPECT_EQ(std::string(buf.c_str()), "倉庫數量");
  EXPECT_EQ(buf[13], '#');
  // Size query without a buffer.
  EXPECT_EQ(BIG5toGB("倉庫", 6, nullptr, 0), 6);
  // The text need not be NUL-terminated: only in_len bytes are read.
  EXPECT_EQ(GBtoBIG5("仓库数量", 6, buf.data(), buf.size()), 6);
  EXPECT_EQ(std::string(buf.c_str()), "倉庫");
}

TEST(Dirurevido, RejectsInconsistentArguments) {
  char buf[4] = "xyz";
  EXPECT_EQ(GBtoBIG5(nullptr, 3, buf, sizeof buf), DIRUREVIDO_E_ARGUMENT);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(BIG5toGB("a", 1, nullptr, 5), DIRUREVIDO_E_ARGUMENT);
  EXPECT_EQ(GBtoBIG5(nullptr, 0, buf, sizeof buf), 0);
}

TEST(Dirurevido, ConvertsFromSeveralThreads) {
  std::vector<std::thread> threads;
  std::vector<int> ok(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i)
        ok[t] += Call(i % 2 ? BIG5toGB : GBtoBIG5, i % 2 ? "盤點數量" : "盘点数量") ==
                 (i % 2 ? "盘点数量" : "盤點數量");
    });
  for (auto& th : threads)
    th.join();
  EXPECT_EQ(ok, std::vector<int>(4, 50));
}

}  // namespace
