#include "lib/codepage.h"

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TEST(CodePageText, LimitsToWhatTheCodePageEncodes) {
  EXPECT_EQ(WideToAnsiCP(u"盘点仓库 qty 1", 936), "盘点仓库 qty 1");
  // Characters outside GBK become one "?" each, as the platform's default character.
  EXPECT_EQ(WideToAnsiCP(u"仓库😀한€", 936), "仓库??€");
  EXPECT_EQ(WideToAnsiCP(u"盘點", 950), "?點");
  EXPECT_EQ(AnsiToWideCP("盤點數量", 936), u"盤點數量");
  EXPECT_EQ(AnsiToWideCP("数量库存", 950), u"?量?存");
  EXPECT_EQ(AnsiToWideCP("a\xFF", 936), u"a?");
  EXPECT_EQ(WideToAnsiCP(u"", 936), "");
}

TEST(CodePageText, AnUnknownCodePageFallsBackToTheSystemOne) {
  test::ScopedEnv cp("VX_CODEPAGE", "950");
  EXPECT_EQ(WideToAnsiCP(u"盘點", 12345), "?點");
  EXPECT_EQ(AnsiToWideCP("盘點", 0), u"?點");
  test::ScopedEnv bad("VX_CODEPAGE", "99999");
  EXPECT_THROW(WideToAnsiCP(u"盘", 12345), ECodePageError);
}

// A parameter array as the batch run sends it: three rows with lower bound 1.
Variant ParamArray() {
  Variant env = VarArrayCreate(1, 3);
  env[1] = u"STKB17";
  env[2] = std::int32_t{3};
  env[3] = u"仓库😀";
  Variant captions = VarArrayCreate(1, 1);
  captions[1] = VarArrayOf({u"盘点日期", "edDate"});
  Variant values = VarArrayCreate(1, 2);
  values[1] = "20240315";
  values[2] = Variant::Null();
  Variant p = VarArrayCreate(0, 2);
  p[0] = env;
  p[1] = captions;
  p[2] = values;
  return p;
}

TEST(VarCodePage, ScalarsBecomeTheOtherStringKind) {
  Variant a = VarWideToAnsiCP(Variant(u"数量한"), 936);
  ASSERT_TRUE(a.IsAnsiString());
  EXPECT_EQ(*a.AnsiPtr(), "数量?");
  Variant w = VarAnsiToWideCP(Variant("数量한"), 936);
  ASSERT_TRUE(w.IsWideString());
  EXPECT_EQ(*w.WidePtr(), u"数量?");
  for (const Variant& v : {Variant(), Variant::Null(), Variant(std::int32_t{5}), Variant(2.5)}) {
    EXPECT_EQ(VarWideToAnsiCP(v, 936), v);
    EXPECT_EQ(VarAnsiToWideCP(v, 936), v);
  }
}

TEST(VarCodePage, OneDimensionalArraysRecursivelyAndOnlyWideElements) {
  Variant p = VarWideToAnsiCP(ParamArray(), 936);
  EXPECT_EQ(p[0][1], Variant("STKB17"));
  EXPECT_EQ(p[0][2], Variant(std::int32_t{3}));
  EXPECT_EQ(p[0][3], Variant("仓库?"));
  EXPECT_EQ(p[1][1][0], Variant("盘点日期"));
  EXPECT_EQ(p[1][1][1], Variant("edDate"));
  EXPECT_TRUE(p[2][2].IsNull());
  EXPECT_EQ(p[0].LowBound(), 1);

  // Towards wide text ANSI elements stay ANSI; wide ones are limited.
  Variant w = VarAnsiToWideCP(ParamArray(), 936);
  EXPECT_EQ(w[2][1], Variant("20240315"));
  EXPECT_EQ(w[1][1][1], Variant("edDate"));
  EXPECT_EQ(w[0][3], Variant(u"仓库?"));
  Variant ansi = VarArrayOf({"盘点", "仓库"});
  EXPECT_EQ(VarAnsiToWideCP(ansi, 936), ansi);
}

TEST(VarCodePage, TwoDimensionsElementByElementMoreDimensionsUnchanged) {
  Variant grid = VarArrayCreate({{0, 1}, {1, 2}});
  grid.At({0, 1}) = u"仓库";
  grid.At({0, 2}) = "料号";
  grid.At({1, 1}) = VarArrayOf({u"inner"});
  grid.At({1, 2}) = u"한";
  Variant r = VarWideToAnsiCP(grid, 936);
  EXPECT_EQ(r.At({0, 1}), Variant("仓库"));
  EXPECT_EQ(r.At({0, 2}), Variant("料号"));
  EXPECT_EQ(r.At({1, 1}), grid.At({1, 1}));  // arrays inside two dimensions stay as they are
  EXPECT_EQ(r.At({1, 2}), Variant("?"));

  Variant cube = VarArrayCreate({{0, 1}, {0, 0}, {0, 0}});
  cube.At({0, 0, 0}) = u"仓库";
  EXPECT_EQ(VarWideToAnsiCP(cube, 936), cube);
  EXPECT_EQ(VarAnsiToWideCP(cube, 936), cube);
}

TEST(VarCodePage, FailuresGoToTheAlertLogAndReturnTheValue) {
  test::TempFolder tmp;
  test::ScopedEnv reg("VX_REGISTRY_FILE",
                      tmp.Write("machine.reg",
                                "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\n"
                                "\"ClientPath\"=\"" +
                                    tmp.Path() + "\"\n"));
  test::ScopedEnv cp("VX_CODEPAGE", "99999");
  Variant value = ParamArray();
  EXPECT_EQ(VarWideToAnsiCP(value, 12345), value);
  EXPECT_EQ(VarAnsiToWideCP(Variant("仓库"), 12345), Variant("仓库"));
  std::string log = tmp.Read("Log/Alert_libstrs_" + FormatDateTime("yyyymmdd", Now()) + ".log");
  EXPECT_NE(log.find("] LINE[2735] Code page 12345 cannot be converted"), std::string::npos) << log;
  EXPECT_NE(log.find("] LINE[115] Code page 12345"), std::string::npos) << log;
}

}  // namespace
}  // namespace vx
