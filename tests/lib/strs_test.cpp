#include "lib/strs.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Strs, ExtractField) {
  struct Case {
    const char* text;
    const char* sep;
    int index;
    const char* field;
  } cases[] = {
      {"a;b;;c", ";", 1, "a"},   {"a;b;;c", ";", 2, "b"},  {"a;b;;c", ";", 3, ""},
      {"a;b;;c", ";", 4, "c"},   {"a;b;;c", ";", 5, ""},   {"a;b;", ";", 3, ""},
      {"a;b;", ";", 2, "b"},     {"a", ";", 1, "a"},       {"a", ";", 2, ""},
      {"a;b", ";", 0, ""},       {"", ";", 1, ""},         {"x||y||z", "||", 2, "y"},
      {"x||y||z", "||", 3, "z"}, {"Items_3", "_", 2, "3"}, {"abc", "", 1, "abc"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExtractField(c.text, c.sep, c.index), c.field) << c.text << " #" << c.index;
}

TEST(Strs, FieldCountAndCutFirstField) {
  EXPECT_EQ(FieldCount("a,b,c", ','), 3);
  EXPECT_EQ(FieldCount("a", ','), 1);
  EXPECT_EQ(FieldCount("", ','), 0);
  EXPECT_EQ(FieldCount(",", ','), 2);
  std::string text = "2024//03//05";
  EXPECT_EQ(CutFirstField(text, "//"), "2024");
  EXPECT_EQ(text, "03//05");
  text = "whole";
  EXPECT_EQ(CutFirstField(text, "/"), "whole");
  EXPECT_EQ(text, "");
}

TEST(Strs, FormatDateByKind) {
  TDateTime d = EncodeDate(2024, 3, 5);
  struct Case {
    int kind;
    const char* sep;
    TDateTime date;
    const char* day;
    const char* month;
  } cases[] = {
      {1, "/", d, "2024/03/05", "2024/03"},
      {2, "-", d, "03-05-2024", "03-2024"},
      {3, ".", d, "05.03.2024", "03.2024"},
      {4, "/", d, "113/03/05", "113/03"},
      {5, "/", d, "113/03/05", "113/03"},
      {1, "", d, "20240305", "202403"},
      {1, "-/", d, "2024-03-05", "2024-03"},
      {4, "/", EncodeDate(1911, 6, 1), "00/06/01", "00/06"},
      {5, "/", EncodeDate(1920, 1, 2), "009/01/02", "009/01"},
      {0, "/", d, "", ""},
      {6, "/", d, "", ""},
      {-1, "/", d, "", ""},
      {1, "/", TDateTime(0), "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateByKind(c.kind, c.sep, c.date), c.day) << c.kind;
    EXPECT_EQ(FormatYearMonthByKind(c.kind, c.sep, c.date), c.month) << c.kind;
  }
}

TEST(Strs, ParseDateByKind) {
  struct Case {
    const char* text;
    int kind;
    const char* sep;
    double expected;
  } cases[] = {
      {"2024/03/05", 1, "/", EncodeDate(2024, 3, 5)},
      {"03-05-2024", 2, "-", EncodeDate(2024, 3, 5)},
      {"01/02/2024", 3, "/", EncodeDate(2024, 2, 1)},
      {"113/03/05", 4, "/", EncodeDate(2024, 3, 5)},
      {"113/03/05", 5, "/", EncodeDate(2024, 3, 5)},
      {" 2024 / 3 / 5 ", 1, "/", EncodeDate(2024, 3, 5)},
      {"2024/02/31", 1, "/", EncodeDate(2024, 3, 2)},   // runs on into March
      {"2024/03/00", 1, "/", EncodeDate(2024, 2, 29)},  // day 0: back into February
      {"9999/12/31", 1, "/", EncodeDate(9999, 12, 31)},
      {"9999/12/32", 1, "/", 0},  // would run on past the calendar
      {"2024/13/01", 1, "/", 0},
      {"2024/00/01", 1, "/", 0},
      {"2024/03", 1, "/", 0},
      {"2024/x/01", 1, "/", 0},
      {"   ", 1, "/", 0},
      {"2024/03/05", 0, "/", 0},
      {"2024/03/05", 6, "/", 0},
      {"70000/03/05", 1, "/", 0},  // beyond a 16-bit field
      {"2024//03//05", 1, "//", EncodeDate(2024, 3, 5)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseDateByKind(c.text, c.kind, c.sep).Value, c.expected) << c.text;
}

TEST(Strs, Date8) {
  struct Case {
    const char* text;
    double date;
    bool valid;
  } cases[] = {
      {"20240305", EncodeDate(2024, 3, 5), true},
      {"20240230", 0, false},
      {"17521231", EncodeDate(1752, 12, 31), false},  // below the lower bound
      {"17530101", EncodeDate(1753, 1, 1), true},
      {"99991231", EncodeDate(9999, 12, 31), true},
      {"", 0, true},
      {"2024030", 0, false},
      {"202403051", 0, false},
      {"2024ab05", 0, false},
      {"00000101", 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Date8ToDate(c.text).Value, c.date) << c.text;
    EXPECT_EQ(IsValidDate8(c.text), c.valid) << c.text;
  }
  EXPECT_EQ(DateToDate8(EncodeDate(2024, 3, 5)), "20240305");
}

TEST(Strs, ReplaceText) {
  struct Case {
    const char* text;
    const char* old_text;
    const char* new_text;
    bool trim;
    const char* expected;
  } cases[] = {
      {"a-b-c", "-", "+", false, "a+b+c"},
      {" Abc ", "abc", "ABC", true, "Abc"},  // differ only in case: unchanged
      {" Abc ", "abc", "ABC", false, " Abc "},
      {"abc", "abc", "ABC", false, "abc"},  // a match, still left alone
      {"aab", "ab", "b", false, "b"},       // a replacement can form a new match
      {"x", "x", "xx", false, "xx"},        // new contains old: still ends
      {"a'b'c", "'", "''", false, "a''b''c"},
      {"\r\n text \r\n", "zz", "y", true, "text"},
      {"abc", "", "x", false, "abc"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReplaceText(c.text, c.old_text, c.new_text, c.trim), c.expected) << c.text;
}

TEST(Strs, JoinVarArrayW) {
  Variant values = VarArrayOf({2, "甲", u"乙"});
  EXPECT_EQ(JoinVarArrayW(u"P", values),
            u"P\x03"
            u"2\x03甲\x03乙\x03");
  Variant none = VarArrayOf({0});
  EXPECT_EQ(JoinVarArrayW(u"", none),
            u"\x03"
            u"0\x03");
  // A count beyond the array's end stops at the last element.
  Variant short_list = VarArrayOf({5, "a"});
  EXPECT_EQ(JoinVarArrayW(u"", short_list),
            u"\x03"
            u"5\x03"
            u"a\x03");
  EXPECT_EQ(JoinVarArrayW(u"P", Variant()), u"P\x03\x03");
}

TEST(Strs, SmallHelpers) {
  EXPECT_EQ(LocalizeButtonCaption("OK"), "确定");
  EXPECT_EQ(LocalizeButtonCaption("NoToAll"), "全否(&o)");
  EXPECT_EQ(LocalizeButtonCaption("ok"), "ok");  // exact case only
  EXPECT_EQ(LocalizeButtonCaption("Close"), "Close");
  EXPECT_EQ(StrToFloatDefault("1.5", 9), 1.5);
  EXPECT_EQ(StrToFloatDefault("1,5", 9), 9);
  EXPECT_EQ(StrToFloatDefault("1.5x", 9), 9);
  EXPECT_EQ(StrToFloatDefault("", 9), 9);
  Variant a = VarArrayOf({1});
  Variant chosen = IfThenVar(true, a, Variant());
  chosen[0] = 2;
  EXPECT_EQ(a[0].ToInt(), 1);  // a copy
  EXPECT_TRUE(IfThenVar(false, a, Variant::Null()).IsNull());
}

}  // namespace
}  // namespace vx
