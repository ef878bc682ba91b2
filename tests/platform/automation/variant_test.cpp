#include "platform/automation/variant.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Variant, TypeCodes) {
  struct Case {
    Variant value;
    std::uint16_t type;
  } cases[] = {
      {Variant(), varEmpty},
      {Variant::Null(), varNull},
      {Variant(std::int16_t(1)), varSmallint},
      {Variant(1), varInteger},
      {Variant(std::int64_t(1)), varInt64},
      {Variant(std::uint8_t(1)), varByte},
      {Variant(true), varBoolean},
      {Variant(1.5), varDouble},
      {Variant(TDateTime(1)), varDate},
      {Variant("text"), varString},
      {Variant(u"text"), varOleStr},
      {VarArrayCreate(0, 1), varArray | varVariant},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.value.VarType(), c.type) << c.value.TypeName();
  EXPECT_TRUE(VarIsEmptyOrNull(Variant()));
  EXPECT_TRUE(VarIsEmptyOrNull(Variant::Null()));
  EXPECT_FALSE(VarIsEmptyOrNull(Variant("")));
  EXPECT_FALSE(VarIsEmptyOrNull(Variant(0)));
}

TEST(Variant, ToText) {
  struct Case {
    Variant value;
    const char* text;
  } cases[] = {
      {Variant(), ""},
      {Variant(-42), "-42"},
      {Variant(std::int64_t(1) << 40), "1099511627776"},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(2.5), "2.5"},
      {Variant(u"盘点"), "盘点"},
      {Variant(EncodeDate(2024, 3, 5)), "2024/03/05"},
      {Variant(TDateTime(EncodeDate(2024, 3, 5).Value + 0.5)), "2024/03/05 12:00:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.value.ToText(), c.text);
  EXPECT_EQ(Variant("盘点").ToWide(), u"盘点");
  EXPECT_EQ(VarToStr(Variant::Null()), "");
}

TEST(Variant, NumericAndBooleanConversions) {
  EXPECT_EQ(Variant(" 12 ").ToInt(), 12);
  EXPECT_EQ(Variant(u"7").ToInt(), 7);
  EXPECT_EQ(Variant(2.5).ToInt(), 2);  // banker's rounding
  EXPECT_EQ(Variant(3.5).ToInt(), 4);
  EXPECT_EQ(Variant("2.5").ToInt(), 2);
  EXPECT_EQ(Variant(true).ToInt(), -1);
  EXPECT_EQ(Variant().ToInt(), 0);
  EXPECT_TRUE(Variant("TRUE").ToBool());
  EXPECT_FALSE(Variant("false").ToBool());
  EXPECT_TRUE(Variant("5").ToBool());
  EXPECT_FALSE(Variant(0).ToBool());
  EXPECT_EQ(Variant("1.25").ToDouble(), 1.25);
  EXPECT_EQ(Variant(EncodeDate(2024, 3, 5)).ToDouble(), 45356);
  EXPECT_EQ(Variant("2024/03/05").ToDate().Value, 45356);
  EXPECT_EQ(Variant(45356).ToDate().Value, 45356);
}

TEST(Variant, ImpossibleConversionsRaiseTypedErrors) {
  EXPECT_THROW(Variant("abc").ToInt(), EVariantTypeCastError);
  EXPECT_THROW(Variant::Null().ToInt(), EVariantTypeCastError);
  EXPECT_THROW(Variant::Null().ToText(), EVariantTypeCastError);
  EXPECT_THROW(Variant("maybe").ToBool(), EVariantTypeCastError);
  EXPECT_THROW(Variant("x").ToDate(), EVariantTypeCastError);
  EXPECT_THROW(VarArrayCreate(0, 1).ToText(), EVariantTypeCastError);
  EXPECT_THROW(Variant(std::int64_t(1) << 40).ToInt(), EVariantOverflowError);
  EXPECT_THROW(Variant(1e300).ToInt64(), EVariantOverflowError);
  try {
    Variant::Null().ToInt();
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (Integer)");
    EXPECT_EQ(e.ClassName(), "EVariantTypeCastError");
  }
}

TEST(VariantArray, BoundsPerDimension) {
  Variant one = VarArrayCreate(1, 3);
  EXPECT_TRUE(VarIsArray(one));
  EXPECT_EQ(VarArrayDimCount(one), 1);
  EXPECT_EQ(VarArrayLowBound(one, 1), 1);
  EXPECT_EQ(VarArrayHighBound(one, 1), 3);
  one[1] = "a";
  one[3] = 3;
  EXPECT_EQ(one[1].ToText(), "a");
  EXPECT_TRUE(one[2].IsEmpty());
  EXPECT_THROW(one[0], EVariantBadIndexError);
  EXPECT_THROW(one[4], EVariantBadIndexError);
  EXPECT_THROW(VarArrayHighBound(one, 2), EVariantBadIndexError);
  EXPECT_THROW(Variant(1)[0], EVariantBadIndexError);

  Variant two = VarArrayCreate({{0, 1}, {5, 7}});
  EXPECT_EQ(two.DimCount(), 2);
  EXPECT_EQ(two.LowBound(2), 5);
  two.At({1, 7}) = "last";
  EXPECT_EQ(two.At({1, 7}).ToText(), "last");
  EXPECT_THROW(two.At({1}), EVariantBadIndexError);
  EXPECT_THROW(two.At({2, 5}), EVariantBadIndexError);

  Variant empty = VarArrayCreate(0, -1);
  EXPECT_EQ(empty.HighBound(), -1);
}

TEST(VariantArray, CopiesAreIndependent) {
  Variant inner = VarArrayOf({1, 2});
  Variant outer = VarArrayOf({inner, "x"});
  Variant copy = outer;
  copy[0][0] = 99;
  copy[1] = "y";
  EXPECT_EQ(outer[0][0].ToInt(), 1);
  EXPECT_EQ(outer[1].ToText(), "x");
  EXPECT_FALSE(copy == outer);
  copy = outer;
  EXPECT_TRUE(copy == outer);
  // Assigning an element of the array to the array itself must not read freed memory.
  outer = outer[0];
  EXPECT_EQ(outer[1].ToInt(), 2);
}

TEST(VariantArray, RedimGrowsTheLastDimensionKeepingElements) {
  // A [0..1, 0..n] table that grows one column at a time.
  Variant table = VarArrayCreate({{0, 1}, {0, 0}});
  for (int col = 0; col < 4; ++col) {
    if (col > 0) VarArrayRedim(table, col);
    table.At({0, col}) = "name" + std::to_string(col);
    table.At({1, col}) = col * 10;
  }
  EXPECT_EQ(table.HighBound(2), 3);
  for (int col = 0; col < 4; ++col) {
    EXPECT_EQ(table.At({0, col}).ToText(), "name" + std::to_string(col));
    EXPECT_EQ(table.At({1, col}).ToInt(), col * 10);
  }
  VarArrayRedim(table, 1);
  EXPECT_EQ(table.At({1, 1}).ToInt(), 10);
  EXPECT_THROW(table.At({0, 2}), EVariantBadIndexError);
  Variant list = VarArrayCreate(1, 2);
  list.Redim(0);  // shrinks to no elements
  EXPECT_THROW(list[1], EVariantBadIndexError);
}

TEST(Variant, EqualityComparesTypeAndValue) {
  EXPECT_TRUE(Variant(1) == Variant(1));
  EXPECT_FALSE(Variant(1) == Variant(std::int64_t(1)));
  EXPECT_FALSE(Variant("1") == Variant(u"1"));
  EXPECT_TRUE(Variant::Null() == Variant::Null());
  EXPECT_TRUE(VarArrayOf({1, "a"}) == VarArrayOf({1, "a"}));
}

}  // namespace
}  // namespace vx
