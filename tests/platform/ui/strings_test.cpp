#include <gtest/gtest.h>

#include "platform/ui/graphics.h"

namespace vx {
namespace {

TEST(StringListTest, TextWithCrLfAndNameValue) {
  TStringList l;
  l.SetText("a=1\r\nb=2\nc\rlast");
  ASSERT_EQ(l.Count(), 4);
  EXPECT_EQ(l[3], "last");
  EXPECT_EQ(l.Text(), "a=1\r\nb=2\r\nc\r\nlast\r\n");
  EXPECT_EQ(l.Values("B"), "2");
  EXPECT_EQ(l.Values("c"), "");
  EXPECT_EQ(l.Names(0), "a");
  EXPECT_EQ(l.ValueFromIndex(1), "2");
  l.SetValue("b", "20");
  EXPECT_EQ(l[1], "b=20");
  l.SetValue("new", "x");
  EXPECT_EQ(l[4], "new=x");
  l.SetValue("a", "");  // an empty value deletes the line
  EXPECT_EQ(l.IndexOfName("a"), -1);
  EXPECT_EQ(l.IndexOf("C"), 1);  // case ignored
  EXPECT_THROW(l.Get(9), EStringListError);
  l.SetText("");
  EXPECT_EQ(l.Count(), 0);
}

TEST(StringListTest, ObjectsSortingAndDuplicates) {
  TStringList l;
  TStringList tag;
  l.AddObject("b", &tag);
  l.Add("A");
  l.Add("c");
  l.SetSorted(true);
  EXPECT_EQ(l.CommaText(), "A,b,c");
  EXPECT_EQ(l.GetObject(l.IndexOf("B")), &tag);
  EXPECT_EQ(l.Add("a"), 0);  // duplicates ignored by default (case-insensitive)
  EXPECT_EQ(l.Count(), 3);
  l.SetDuplicates(dupError);
  EXPECT_THROW(l.Add("C"), EStringListError);
  EXPECT_THROW(l.Insert(0, "z"), EStringListError);
  l.SetDuplicates(dupAccept);
  l.Add("b");
  EXPECT_EQ(l.Count(), 4);
  int index = -1;
  EXPECT_FALSE(l.Find("bb", index));
  EXPECT_EQ(index, 3);
  l.Delete(0);
  EXPECT_EQ(l[0], "b");
}

TEST(StringListTest, CommaTextQuotes) {
  TStringList l;
  l.SetCommaText("one, \"two words\",\"say \"\"hi\"\"\",,last");
  ASSERT_EQ(l.Count(), 5);
  EXPECT_EQ(l[1], "two words");
  EXPECT_EQ(l[2], "say \"hi\"");
  EXPECT_EQ(l[3], "");
  TStringList copy;
  copy.SetCommaText(l.CommaText());
  EXPECT_TRUE(copy.Equals(l));
  EXPECT_EQ(l.CommaText(), "one,\"two words\",\"say \"\"hi\"\"\",,last");
  TStringList one;
  one.Add("");
  EXPECT_EQ(one.CommaText(), "\"\"");
  copy.SetCommaText(one.CommaText());
  EXPECT_EQ(copy.Count(), 1);
}

TEST(StringListTest, UpdateBatchesChangeEvents) {
  struct Counter {
    int changes = 0;
    void Changed(TObject*) { ++changes; }
  } c;
  TStringList l;
  l.OnChange = Bind<&Counter::Changed>(&c);
  l.Add("x");
  EXPECT_EQ(c.changes, 1);
  l.BeginUpdate();
  l.Add("y");
  l.Add("z");
  l.Delete(0);
  EXPECT_EQ(c.changes, 1);
  l.EndUpdate();
  EXPECT_EQ(c.changes, 2);
  TStringList other;
  other.Assign(&l);
  EXPECT_EQ(other.Text(), "y\r\nz\r\n");
  TFont f;
  EXPECT_THROW(other.Assign(&f), EConvertError);
}

}  // namespace
}  // namespace vx
