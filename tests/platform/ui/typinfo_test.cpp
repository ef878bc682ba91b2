#include <gtest/gtest.h>

#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {

// Forms whose handlers are published methods, one level below the other.
class TMethodForm : public TForm {
  VX_CLASS(TMethodForm, TForm)
  explicit TMethodForm(TComponent* owner) : TForm(owner) {}
  void Clicked(TObject*) { ++clicks; }
  int clicks = 0;
};
class TMethodForm2 : public TMethodForm {
  VX_CLASS(TMethodForm2, TMethodForm)
  explicit TMethodForm2(TComponent* owner) : TMethodForm(owner) {}
  void Other(TObject*) { ++others; }
  int others = 0;
};
inline const TClassInfo& TMethodForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMethodForm>(
      "TMethodForm", [](auto& r) { r.template Method<&TMethodForm::Clicked>("Clicked"); });
  return info;
}
inline const TClassInfo& TMethodForm2::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TMethodForm2>(
      "TMethodForm2", [](auto& r) { r.template Method<&TMethodForm2::Other>("Other"); });
  return info;
}

namespace {

using TypInfoTest = UiTest;

TEST_F(TypInfoTest, PublishedMethodsByNameAlongTheChain) {
  auto* base = Create<TMethodForm>(nullptr);
  auto* derived = Create<TMethodForm2>(nullptr);
  // Bound to the object asked, found without regard to case, inherited.
  TMethod m = FindMethod(derived, "CLICKED");
  ASSERT_TRUE(m.Assigned());
  EXPECT_EQ(m.Data, static_cast<void*>(derived));
  TNotifyEvent{m}(derived);
  TNotifyEvent(FindMethod(derived, "other"))(derived);
  TNotifyEvent(FindMethod(base, "Clicked"))(base);
  EXPECT_EQ(derived->clicks, 1);
  EXPECT_EQ(derived->others, 1);
  EXPECT_EQ(base->clicks, 1);
  // Not up from an ancestor, not unknown names, not properties, not nil.
  EXPECT_FALSE(FindMethod(base, "Other").Assigned());
  EXPECT_FALSE(FindMethod(base, "Nothing").Assigned());
  EXPECT_FALSE(FindMethod(base, "Caption").Assigned());
  EXPECT_FALSE(FindMethod(nullptr, "Clicked").Assigned());
  base->Free();
  derived->Free();
}

TEST_F(TypInfoTest, PublishedPropertiesPerClass) {
  auto* f = Create<TForm>(nullptr);
  auto* e = new TEdit(f);
  auto* b = new TButton(f);
  auto* l = new TLabel(f);
  struct Case {
    TObject* obj;
    const char* name;
    bool published;
    TTypeKind kind;
    const char* type;
  };
  for (Case c : {Case{e, "text", true, tkString, "TCaption"},
                 Case{e, "Caption", false, tkUnknown, ""},
                 Case{b, "Caption", true, tkString, "TCaption"},
                 Case{b, "Text", false, tkUnknown, ""},
                 Case{e, "Color", true, tkInteger, "TColor"},
                 Case{b, "Color", false, tkUnknown, ""},
                 Case{e, "Font", true, tkClass, "TFont"},
                 Case{e, "OnExit", true, tkMethod, "TNotifyEvent"},
                 Case{e, "OnKeyPress", true, tkMethod, "TKeyPressEvent"},
                 Case{e, "TabOrder", true, tkInteger, "TTabOrder"},
                 Case{e, "ReadOnly", true, tkEnumeration, "Boolean"},
                 Case{e, "CharCase", true, tkEnumeration, "TEditCharCase"},
                 Case{e, "ImeName", true, tkString, "TImeName"},
                 Case{b, "ImeName", false, tkUnknown, ""},
                 Case{l, "FocusControl", true, tkClass, "TWinControl"},
                 Case{l, "Align", true, tkEnumeration, "TAlign"},
                 Case{f, "KeyPreview", true, tkEnumeration, "Boolean"},
                 Case{f, "BorderIcons", true, tkSet, "TBorderIcons"},
                 Case{f, "OnCloseQuery", true, tkMethod, "TCloseQueryEvent"},
                 Case{f, "Name", true, tkString, "TComponentName"}}) {
    const TPropInfo* p = GetPropInfo(c.obj, c.name);
    EXPECT_EQ(p != nullptr, c.published) << c.name;
    if (!p) continue;
    EXPECT_EQ(p->Kind(), c.kind) << c.name;
    EXPECT_EQ(p->PropType->Name, c.type) << c.name;
  }
  EXPECT_EQ(GetPropInfo(nullptr, "Text"), nullptr);
  EXPECT_EQ(GetPropInfo(e, ""), nullptr);
  // The enumeration identifiers come with the type.
  const TTypeInfo* align = FindTypeInfo("TAlign");
  ASSERT_NE(align, nullptr);
  EXPECT_EQ(GetEnumName(*align, 5), "alClient");
  EXPECT_EQ(GetEnumValue(*align, "ALLEFT"), 3);
  EXPECT_EQ(GetEnumValue(*align, "alMiddle"), -1);
  f->Free();
}

TEST_F(TypInfoTest, ValuesThroughTheRegistry) {
  auto* f = Create<TForm>(nullptr);
  auto* e = Add<TEdit>(f, "ed");
  SetPropValue(*e, *GetPropInfo(e, "Text"), Variant("abc"));
  EXPECT_EQ(e->Text(), "abc");
  SetPropValue(*e, *GetPropInfo(e, "MaxLength"), Variant("12"));
  EXPECT_EQ(e->MaxLength(), 12);
  SetPropValue(*e, *GetPropInfo(e, "CharCase"), Variant(" ecUpperCase "));
  EXPECT_EQ(e->CharCase(), ecUpperCase);
  EXPECT_THROW(SetPropValue(*e, *GetPropInfo(e, "CharCase"), Variant("ecNone")),
               EPropertyConvertError);
  SetPropValue(*e, *GetPropInfo(e, "ReadOnly"), Variant(true));
  EXPECT_TRUE(e->ReadOnly());
  EXPECT_EQ(GetPropValue(*e, *GetPropInfo(e, "ReadOnly")), Variant(true));
  EXPECT_EQ(GetPropValue(*e, *GetPropInfo(e, "CharCase")), Variant("ecUpperCase"));
  const TPropInfo* style = GetPropInfo(e->Font(), "Style");
  SetPropValue(*e->Font(), *style, Variant("[fsBold, fsUnderline]"));
  EXPECT_TRUE(e->Font()->Style().Contains(fsBold));
  EXPECT_TRUE(e->Font()->Style().Contains(fsUnderline));
  EXPECT_EQ(GetPropValue(*e->Font(), *style), Variant("[fsBold,fsUnderline]"));
  EXPECT_THROW(SetPropValue(*e->Font(), *style, Variant("[fsHuge]")), EPropertyConvertError);
  EXPECT_THROW(SetPropValue(*e, *GetPropInfo(e, "Font"), Variant("x")), EPropertyConvertError);
  // Object-valued properties hand out the held object; assigning copies.
  TFont other;
  other.SetName("SimSun");
  SetObjectProp(*e, *GetPropInfo(e, "Font"), &other);
  EXPECT_EQ(e->Font()->Name(), "SimSun");
  EXPECT_NE(GetObjectProp(*e, *GetPropInfo(e, "Font")), &other);
  f->Free();
}

TEST_F(TypInfoTest, EventPropertySavedByNameReplacedAndRestored) {
  auto* f = Create<TForm>(nullptr);
  auto* e = Add<TEdit>(f, "ed01");
  Watch(e);
  const TPropInfo* on_exit = GetPropInfo(e, "OnExit");
  ASSERT_NE(on_exit, nullptr);
  // Save the pair {Code, Data} as two plain pointers.
  TMethod saved = GetMethodProp(*e, *on_exit);
  EXPECT_NE(saved.Code, nullptr);
  EXPECT_EQ(saved.Data, static_cast<void*>(this));
  void* code = saved.Code;
  void* data = saved.Data;

  // Replace with a handler of another object.
  struct Checker {
    int calls = 0;
    void DateExit(TObject*) { ++calls; }
  } checker;
  SetMethodProp(*e, *on_exit, Bind<&Checker::DateExit>(&checker).Method());
  e->OnExit(e);
  EXPECT_EQ(checker.calls, 1);
  EXPECT_TRUE(log.empty());
  // The same member bound twice gives the same code.
  EXPECT_EQ(GetMethodProp(*e, *on_exit).Code, Bind<&Checker::DateExit>(&checker).Method().Code);

  // Restore from the two pointers and call the original.
  SetMethodProp(*e, *on_exit, TMethod{code, data});
  e->OnExit(e);
  EXPECT_EQ(log, std::vector<std::string>{"exit ed01"});
  // A nil pair unassigns; invoking an unassigned event does nothing.
  SetMethodProp(*e, *on_exit, TMethod{});
  EXPECT_FALSE(e->OnExit.Assigned());
  e->OnExit(e);
  EXPECT_THROW(SetMethodProp(*e, *GetPropInfo(e, "Text"), TMethod{}), EPropertyError);
  f->Free();
}

TEST_F(TypInfoTest, IdentifierMapsForIntegerTypes) {
  struct Case {
    const char* type;
    const char* ident;
    std::int64_t value;
  };
  for (Case c :
       {Case{"TColor", "clRed", 0x0000FF}, Case{"TColor", "clWindow", SystemColor(5)},
        Case{"TColor", "clBtnFace", SystemColor(15)},
        Case{"TColor", "clBtnHighlight", SystemColor(20)},
        Case{"TColor", "clBtnShadow", SystemColor(16)},
        Case{"TColor", "clGrayText", SystemColor(17)},
        Case{"TColor", "clActiveCaption", SystemColor(2)}, Case{"TCursor", "crHandPoint", -21},
        Case{"TCursor", "crHourGlass", -11}, Case{"TFontCharset", "GB2312_CHARSET", 134},
        Case{"TFontCharset", "CHINESEBIG5_CHARSET", 136}}) {
    RegisterGraphicsTypes();
    const TTypeInfo* t = FindTypeInfo(c.type);
    ASSERT_NE(t, nullptr);
    std::int64_t v = 0;
    EXPECT_TRUE(IdentToInt(*t, c.ident, v)) << c.ident;
    EXPECT_EQ(v, c.value) << c.ident;
    std::string back;
    EXPECT_TRUE(IntToIdent(*t, c.value, back));
  }
  EXPECT_EQ(ColorToString(clRed), "clRed");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
  EXPECT_EQ(StringToColor("$FF"), 255);
  EXPECT_THROW(StringToColor("reddish"), EConvertError);
}

TEST_F(TypInfoTest, PropertyListAncestorsFirst) {
  auto* f = Create<TForm>(nullptr);
  auto* b = new TButton(f);
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(*b))
    names.push_back(p->Name);
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[1], "Tag");
  EXPECT_NE(std::find(names.begin(), names.end(), "ModalResult"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "Text"), names.end());
  f->Free();
}

}  // namespace
}  // namespace vx::testing
