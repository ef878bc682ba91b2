#include "lang/code_converter.h"

#include <gtest/gtest.h>

#include "lib/edition.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/typinfo.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TCodePageSettings Modes(std::uint8_t ui, std::uint8_t db) {
  TCodePageSettings s;
  s.UICodePage = ui == 2 ? "950" : "936";
  s.UIConvertMode = ui;
  s.DBConvertMode = db;
  return s;
}

TEST(CodeConverter, DirectionsOfConvert) {
  TCodeConverter c(nullptr, Modes(2, 2));
  ASSERT_NE(c.Translator(), nullptr);
  EXPECT_EQ(c.Convert(2, Variant("盘点数量")), Variant("盤點數量"));
  EXPECT_EQ(c.Convert(1, Variant("盤點數量")), Variant("盘点数量"));
  EXPECT_EQ(c.Convert(2, Variant(u"仓库")), Variant(u"倉庫"));  // wide stays wide
  for (int direction : {0, 3, 4, -1})
    EXPECT_EQ(c.Convert(direction, Variant("盘点")), Variant("盘点")) << direction;
  for (const Variant& v : {Variant(), Variant::Null(), Variant(std::int32_t{7}), Variant(1.5)})
    EXPECT_EQ(c.Convert(2, v), v);
  EXPECT_EQ(c.Big5ToGB(""), "");
  EXPECT_EQ(c.GBToBig5("后台处理"), "後臺處理");
}

TEST(CodeConverter, ArraysOfEveryShape) {
  TCodeConverter c(nullptr, Modes(2, 2));
  // One dimension with a nested array, a null, a number and an empty element.
  Variant row = VarArrayCreate(1, 5);
  row[1] = "仓库";
  row[2] = VarArrayOf({"数量", VarArrayOf({u"日期"})});
  row[3] = Variant::Null();
  row[4] = std::int32_t{12};
  Variant r = c.Convert(2, row);
  EXPECT_EQ(r[1], Variant("倉庫"));
  EXPECT_EQ(r[2][0], Variant("數量"));
  EXPECT_EQ(r[2][1][0], Variant(u"日期"));
  EXPECT_TRUE(r[3].IsNull());
  EXPECT_EQ(r[4], Variant(std::int32_t{12}));
  EXPECT_TRUE(r[5].IsEmpty());
  EXPECT_EQ(r.LowBound(), 1);
  // Direction 4 leaves every element as it is.
  EXPECT_EQ(c.Convert(4, row), row);

  Variant grid = VarArrayCreate({{0, 1}, {1, 2}});
  grid.At({0, 1}) = "盘点";
  grid.At({0, 2}) = VarArrayOf({"库存"});
  grid.At({1, 1}) = u"单位";
  Variant g = c.Convert(2, grid);
  EXPECT_EQ(g.At({0, 1}), Variant("盤點"));
  EXPECT_EQ(g.At({0, 2}), VarArrayOf({"庫存"}));
  EXPECT_EQ(g.At({1, 1}), Variant(u"單位"));
  EXPECT_TRUE(g.At({1, 2}).IsEmpty());

  Variant cube = VarArrayCreate({{0, 0}, {0, 0}, {0, 1}});
  cube.At({0, 0, 0}) = "盘点";
  EXPECT_EQ(c.Convert(2, cube), cube);
  EXPECT_EQ(c.ConvertArray(1, Variant("盤點")), Variant("盤點"));  // not an array
}

TEST(CodeConverter, InterfaceAndDatabaseDirections) {
  // Big5 interface over a GBK database.
  TCodeConverter big5(nullptr, Modes(2, 2));
  EXPECT_EQ(big5.ToUI(Variant("盘点日期")), Variant("盤點日期"));
  EXPECT_EQ(big5.FromUI(Variant("盤點日期")), Variant("盘点日期"));
  EXPECT_EQ(big5.DBToUI(Variant("仓库")), Variant("倉庫"));
  EXPECT_EQ(big5.UIToDB(Variant("倉庫")), Variant("仓库"));
  // Characters Big5 cannot hold come to the interface as "?".
  EXPECT_EQ(big5.ToUI(Variant("仓库😀")), Variant("倉庫?"));

  // GBK interface on a Big5 system, Big5 database: only the database values convert.
  TCodeConverter gbk(nullptr, Modes(4, 1));
  EXPECT_EQ(gbk.ToUI(Variant("盘点")), Variant("盘点"));
  EXPECT_EQ(gbk.FromUI(Variant("盘点")), Variant("盘点"));
  EXPECT_EQ(gbk.DBToUI(Variant("倉庫")), Variant("仓库"));
  EXPECT_EQ(gbk.UIToDB(Variant("仓库")), Variant("倉庫"));

  // The earlier edition has no ToUI and DBToUI; the other directions stay.
  ScopedEdition earlier(TModuleEdition::Earlier);
  EXPECT_EQ(big5.ToUI(Variant("盘点日期")), Variant("盘点日期"));
  EXPECT_EQ(big5.DBToUI(Variant("仓库")), Variant("仓库"));
  EXPECT_EQ(big5.FromUI(Variant("盤點日期")), Variant("盘点日期"));
  EXPECT_EQ(big5.UIToDB(Variant("倉庫")), Variant("仓库"));
}

TEST(CodeConverter, WithoutTranslatorEverythingComesBackUnchanged) {
  TCodeConverter c(nullptr, Modes(0, 2));
  EXPECT_EQ(c.Translator(), nullptr);
  Variant row = VarArrayOf({"盘点", u"仓库"});
  EXPECT_EQ(c.Convert(2, row), row);
  EXPECT_EQ(c.DBToUI(Variant("仓库")), Variant("仓库"));
  EXPECT_EQ(c.UIToDB(Variant("仓库")), Variant("仓库"));
  EXPECT_EQ(c.GBToBig5("仓库"), "仓库");
}

TEST(CodeConverter, ReadsTheCodePagesOfTheDesignTypesConfiguration) {
  test::TempFolder tmp;
  test::ScopedEnv reg("VX_REGISTRY_FILE",
                      tmp.Write("machine.reg",
                                "Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\r\n"
                                "\"ClientPath\"=\"" +
                                    tmp.Path("client") + "\"\r\n\"ServerPath\"=\"" +
                                    tmp.Path("server") + "\"\r\n"));
  tmp.Write("client/SorvendaC.ini", "[CodePage]\nUICodePage=950\nDBCodePage=936\n");
  tmp.Write("server/SorvendaS.ini", "[CodePage]\nUICodePage=936\nDBCodePage=950\n");
  test::ScopedEnv cp("VX_CODEPAGE", "936");

  TCodeConverter client(nullptr);
  EXPECT_EQ(client.DesignType(), dtClient);
  EXPECT_EQ(client.SysCodePage(), "936");
  EXPECT_EQ(client.UICodePage(), "950");
  EXPECT_EQ(client.DBCodePage(), "936");
  EXPECT_EQ(client.UIConvertMode(), 2);
  EXPECT_EQ(client.DBConvertMode(), 2);
  ASSERT_NE(client.Translator(), nullptr);
  EXPECT_EQ(client.ToUI(Variant("数量")), Variant("數量"));

  TCodeConverter server(nullptr, dtServer);
  EXPECT_EQ(server.UICodePage(), "936");
  EXPECT_EQ(server.DBCodePage(), "950");
  EXPECT_EQ(server.UIConvertMode(), 0);
  EXPECT_EQ(server.DBConvertMode(), 1);
  EXPECT_EQ(server.Translator(), nullptr);

  // Before any configuration is read the code pages are "936".
  EXPECT_EQ(TCodePageSettings().SysCodePage, "936");
}

TEST(CodeConverter, IsAComponentThatPublishesItsDesignType) {
  TComponent* form = new TComponent(nullptr);
  auto* c = new TCodeConverter(form, Modes(0, 0));
  c->SetName("VxConverter");
  EXPECT_EQ(form->FindComponent("vxconverter"), c);
  EXPECT_EQ(c->ClassName(), "TCodeConverter");
  const TPropInfo* p = GetPropInfo(c, "designtype");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(GetPropValue(*c, *p), Variant("dtClient"));
  SetPropValue(*c, *p, Variant("dtServer"));
  EXPECT_EQ(c->DesignType(), dtServer);
  form->Free();  // frees the converter with it
}

TEST(CodeConverter, HasPropertyOfType) {
  TCodeConverter c(nullptr, Modes(0, 0));
  TButton button(nullptr);
  struct Case {
    const TComponent* component;
    const char* name;
    const char* type;
    bool expected;
  } cases[] = {
      {&button, "Font", "TFont", true},        {&button, "font", "tfont", true},
      {&button, "Caption", "TFont", false},    {&button, "Items", "TStrings", false},
      {&c, "DesignType", "TDesignType", true}, {&c, "", "TDesignType", false},
      {nullptr, "Font", "TFont", false},
  };
  for (const auto& k : cases)
    EXPECT_EQ(TCodeConverter::HasPropertyOfType(k.component, k.name, k.type), k.expected)
        << k.name << " " << k.type;
}

}  // namespace
}  // namespace vx
