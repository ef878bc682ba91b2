#include "lib/props.h"

#include <gtest/gtest.h>

#include "platform/ui/extctrls.h"

namespace vx {
namespace {

class PropsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = Create<TForm>(nullptr);
    edit = new TEdit(form);
    edit->SetName("ed01");
    edit->SetParent(form);
    label = new TLabel(form);
    label->SetParent(form);
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TLabel* label = nullptr;
};

TEST_F(PropsTest, MissingPropertiesAreSkipped) {
  EXPECT_TRUE(HasProperty(edit, "text"));
  EXPECT_FALSE(HasProperty(edit, "Caption"));
  EXPECT_FALSE(HasProperty(nullptr, "Text"));
  EXPECT_FALSE(HasProperty(edit, ""));
  EXPECT_EQ(GetStrProperty(edit, "NoSuch"), "");
  EXPECT_EQ(GetOrdProperty(edit, "NoSuch"), 0);
  EXPECT_EQ(GetOrdProperty(nullptr, "Tag"), 0);
  EXPECT_EQ(GetMethodProperty(edit, "OnNoSuch"), TMethod{});
  EXPECT_EQ(GetObjectProperty(edit, "Text"), nullptr);  // not object-valued
  SetStrProperty(edit, "Caption", "x");                 // nothing happens
  SetOrdProperty(nullptr, "Tag", 1);
  SetMethodProperty(edit, "", TMethod{});
  SetPropertyByPath(edit, "NoSuch", Variant(1));  // a missing last segment is skipped
  SetPropertyByPath(nullptr, "Text", Variant("x"));
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(PropsTest, TextAndOrdinalAccess) {
  SetStrProperty(edit, "Text", "abc");
  EXPECT_EQ(GetStrProperty(edit, "TEXT"), "abc");
  SetStrProperty(edit, "MaxLength", "12");
  EXPECT_EQ(GetOrdProperty(edit, "MaxLength"), 12);
  SetStrProperty(edit, "MaxLength", "many");  // does not fit: unchanged, no exception
  EXPECT_EQ(edit->MaxLength(), 12);
  EXPECT_EQ(GetStrProperty(edit, "CharCase"), "ecNormal");
  SetOrdProperty(edit, "CharCase", 1);
  EXPECT_EQ(edit->CharCase(), ecUpperCase);
  SetOrdProperty(edit, "CharCase", 7);  // outside the enumeration: ignored
  EXPECT_EQ(edit->CharCase(), ecUpperCase);
  EXPECT_EQ(GetStrProperty(edit, "ReadOnly"), "False");
  SetOrdProperty(edit, "ReadOnly", 1);
  EXPECT_TRUE(edit->ReadOnly());
  EXPECT_EQ(GetOrdProperty(edit, "Text"), 0);  // not ordinal
  EXPECT_EQ(GetStrProperty(edit, "Font"), "");
  SetStrProperty(form, "BorderIcons", "[biSystemMenu]");
  EXPECT_EQ(GetStrProperty(form, "BorderIcons"), "[biSystemMenu]");
}

TEST_F(PropsTest, ObjectAndMethodAccess) {
  EXPECT_EQ(GetObjectProperty(edit, "Font"), edit->Font());
  label->SetFocusControl(edit);
  EXPECT_EQ(GetObjectProperty(label, "FocusControl"), edit);
  struct Handler {
    void Exit(TObject*) {}
  } h;
  TMethod m = Bind<&Handler::Exit>(&h).Method();
  SetMethodProperty(edit, "OnExit", m);
  EXPECT_EQ(GetMethodProperty(edit, "onexit"), m);
  SetMethodProperty(edit, "Text", m);  // not an event: ignored
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(PropsTest, PathsThroughObjectProperties) {
  SetPropertyByPath(edit, "Font.Charset", Variant(std::int32_t{134}));
  EXPECT_EQ(edit->Font()->Charset(), GB2312_CHARSET);
  SetPropertyByPath(edit, "Font.Name", Variant("SimSun"));
  EXPECT_EQ(edit->Font()->Name(), "SimSun");
  SetPropertyByPath(edit, "Font.Charset", Variant("CHINESEBIG5_CHARSET"));
  EXPECT_EQ(edit->Font()->Charset(), CHINESEBIG5_CHARSET);
  SetPropertyByPath(edit, "Font.Style", Variant(" [fsBold] "));
  EXPECT_TRUE(edit->Font()->Style().Contains(fsBold));
  // Two levels: the label's focus control's font.
  label->SetFocusControl(edit);
  SetPropertyByPath(label, "FocusControl.Font.Size", Variant("11"));
  EXPECT_EQ(edit->Font()->Size(), 11);
}

TEST_F(PropsTest, BadFirstSegmentFailsAndChangesNothing) {
  for (const char* path : {"Text.Name", "NoSuch.Name", "FocusControl.Text"}) {
    SCOPED_TRACE(path);
    EXPECT_THROW(SetPropertyByPath(label, path, Variant("x")), EPropertyError);
    EXPECT_FALSE(TrySetPropertyByPath(label, path, Variant("x")));
  }
  EXPECT_EQ(label->Caption(), "");
  EXPECT_FALSE(TrySetPropertyByPath(edit, "Text.Name", Variant("x")));
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(PropsTest, ColourIdentifiersAndNumbers) {
  struct Case {
    Variant value;
    TColor expected;
  };
  for (const Case& c :
       {Case{Variant("clRed"), clRed}, Case{Variant("255"), 255},
        Case{Variant(std::int32_t{255}), 255}, Case{Variant("clBtnFace"), clBtnFace},
        Case{Variant("clWindow"), clWindow}}) {
    SCOPED_TRACE(VarToStr(c.value));
    edit->SetColor(clBlack);
    EXPECT_TRUE(TrySetPropertyByPath(edit, "Color", c.value));
    EXPECT_EQ(edit->Color(), c.expected);
  }
  // Not an identifier of the colour type and not a number.
  edit->SetColor(clBlack);
  EXPECT_FALSE(TrySetPropertyByPath(edit, "Color", Variant("reddish")));
  EXPECT_EQ(edit->Color(), clBlack);
  // Cursors have identifiers too.
  EXPECT_TRUE(TrySetPropertyByPath(edit, "Cursor", Variant("crHandPoint")));
  EXPECT_EQ(edit->Cursor(), crHandPoint);
}

TEST_F(PropsTest, EnumerationIdentifiersAreTrimmed) {
  EXPECT_TRUE(TrySetPropertyByPath(edit, "CharCase", Variant("  ecLowerCase ")));
  EXPECT_EQ(edit->CharCase(), ecLowerCase);
  EXPECT_TRUE(TrySetPropertyByPath(label, "Align", Variant("alClient\t")));
  EXPECT_EQ(label->Align(), alClient);
  EXPECT_TRUE(TrySetPropertyByPath(edit, "CharCase", Variant(std::int32_t{0})));
  EXPECT_EQ(edit->CharCase(), ecNormal);
  EXPECT_FALSE(TrySetPropertyByPath(edit, "CharCase", Variant("ecTitle")));
  EXPECT_TRUE(TrySetPropertyByPath(edit, "ReadOnly", Variant(true)));
  EXPECT_TRUE(edit->ReadOnly());
  EXPECT_TRUE(TrySetPropertyByPath(edit, "Visible", Variant(" False ")));
  EXPECT_FALSE(edit->Visible());
}

TEST_F(PropsTest, PropertyOfType) {
  EXPECT_TRUE(HasPropertyOfType(edit, "Font", "tfont"));
  EXPECT_FALSE(HasPropertyOfType(edit, "Font", "TStrings"));
  EXPECT_FALSE(HasPropertyOfType(edit, "", "TFont"));
  EXPECT_FALSE(HasPropertyOfType(edit, "TitleFont", "TFont"));
  EXPECT_TRUE(HasPropertyOfType(edit, "ImeName", "TImeName"));
}

}  // namespace
}  // namespace vx
