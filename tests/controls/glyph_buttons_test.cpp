#include <gtest/gtest.h>

#include "platform/ui/pages.h"
#include "tests/controls/controls_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using GlyphButtonTest = ControlsTest;

TEST_F(GlyphButtonTest, NewF2ButtonShowsPicture8WithoutCaption) {
  ScopedGlyphLibrary library("ZiRurO5.dll");
  auto* f = NewForm();
  auto* b = Add<TF2Button>(f, "btn");
  EXPECT_EQ(b->GlyphIndex(), 8);
  EXPECT_TRUE(b->Flat());
  EXPECT_EQ(b->Caption(), "");
  EXPECT_EQ(b->Glyph()->Width(), b->Glyph()->Height());  // a one-image picture
  EXPECT_EQ(b->NumGlyphs(), 1);
  EXPECT_THAT(ShownDialogs(), IsEmpty());
}

TEST_F(GlyphButtonTest, LibraryWithFewerPicturesShowsTheNumber) {
  ScopedGlyphLibrary library("FewPictures.dll");
  auto* f = NewForm();
  auto* b = Add<TF2Button>(f, "btn");
  EXPECT_EQ(b->GlyphIndex(), 8);
  EXPECT_EQ(b->Caption(), "8");
  EXPECT_TRUE(b->Glyph()->Empty());
  EXPECT_THAT(ShownDialogs(), IsEmpty());
}

// Each row sets GlyphIndex on the same button, after the rows before it.
struct GlyphStep {
  int index;
  const char* caption;
  int width, height, num_glyphs;
};

TEST_F(GlyphButtonTest, GlyphIndexLoadsOrClearsThePicture) {
  ScopedGlyphLibrary library("FewPictures.dll");
  auto* b = Add<TGSpeedButton>(NewForm(), "btn");
  EXPECT_EQ(b->GlyphIndex(), 0);
  EXPECT_EQ(b->Caption(), "");
  const GlyphStep steps[] = {
      {2, "", 46, 23, 2},   // a 46 x 23 picture holds two images
      {0, "0", 0, 0, 2},    // 0 frees the picture and shows the number
      {1, "", 16, 16, 1},   // one image
      {4, "4", 0, 0, 1},    // past the highest number
      {1, "", 16, 16, 1},   //
      {3, "3", 0, 0, 1},    // the library fails to load it: no stale picture
      {-5, "-5", 0, 0, 1},  // no such number
  };
  for (const GlyphStep& s : steps) {
    SCOPED_TRACE(s.index);
    b->SetGlyphIndex(s.index);
    EXPECT_EQ(b->GlyphIndex(), s.index);
    EXPECT_EQ(b->Caption(), s.caption);
    EXPECT_EQ(b->Glyph()->Width(), s.width);
    EXPECT_EQ(b->Glyph()->Height(), s.height);
    EXPECT_EQ(b->NumGlyphs(), s.num_glyphs);
  }
  EXPECT_THAT(ShownDialogs(), IsEmpty());
}

TEST_F(GlyphButtonTest, PicturesKeepTheLibrarysTransparentColour) {
  ScopedGlyphLibrary library("FewPictures.dll");
  auto* b = Add<TGSpeedButton>(NewForm(), "btn");
  b->SetGlyphIndex(1);
  EXPECT_EQ(b->Glyph()->TransparentColor(), clFuchsia);
  EXPECT_EQ(b->Glyph()->Pixel(8, 8), clRed);
  EXPECT_EQ(b->Glyph()->Pixel(0, 0), clFuchsia);
}

TEST_F(GlyphButtonTest, AMissingLibraryShowsTheLoadErrorOnceForEachNumber) {
  ScopedGlyphLibrary library("NoSuchPictures.dll");
  auto* f = NewForm();
  auto* b = Add<TF2Button>(f, "btn");
  EXPECT_EQ(b->GlyphIndex(), 8);
  EXPECT_EQ(b->Caption(), "8");
  EXPECT_THAT(ShownDialogs(), ElementsAre("mtError: 读取 BMP 发生错误"));
  EXPECT_THAT(Headless().Dialogs().back().Buttons, ElementsAre("OK"));
  b->SetGlyphIndex(8);  // the same number: nothing happens
  EXPECT_EQ(ShownDialogs().size(), 1u);
  b->SetGlyphIndex(9);
  EXPECT_EQ(b->Caption(), "9");
  EXPECT_EQ(ShownDialogs().size(), 2u);
}

TEST_F(GlyphButtonTest, PublishedPropertiesWithTheirDefaults) {
  ScopedGlyphLibrary library("FewPictures.dll");
  auto* b = Add<TF2Button>(NewForm(), "btn");
  const std::pair<const char*, Variant> props[] = {
      {"GlyphIndex", 8}, {"HintIndex", 0}, {"AutoAlign", true}, {"Gap", 2}, {"Flat", true}};
  for (const auto& [name, value] : props) {
    const TPropInfo* p = GetPropInfo(b, name);
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(VarToStr(GetPropValue(*b, *p)), VarToStr(value)) << name;
  }
  ASSERT_NE(GetPropInfo(b, "Glyph"), nullptr);
  const TPropInfo* f2 = GetPropInfo(b, "F2Control");
  ASSERT_NE(f2, nullptr);
  EXPECT_EQ(GetObjectProp(*b, *f2), nullptr);
  // Set by name, as a form resource does.
  SetPropValue(*b, *GetPropInfo(b, "GlyphIndex"), 2);
  EXPECT_EQ(b->NumGlyphs(), 2);
  EXPECT_EQ(FindClassInfo("TF2Button")->Parent, &TGSpeedButton::StaticClassInfo());
}

// ---- placement and binding ----------------------------------------------------------------

class F2ButtonTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = NewForm();
    ed = Add<TEdit>(form, "ed");
    ed->SetBounds(100, 40, 120, 21);
    btn = Add<TF2Button>(form, "btn");
    btn->SetBounds(5, 5, 23, 22);
  }
  ScopedGlyphLibrary library{"FewPictures.dll"};
  F2RecordingForm* form = nullptr;
  TEdit* ed = nullptr;
  TF2Button* btn = nullptr;
};

TEST_F(F2ButtonTest, AutoAlignPlacesTheButtonBesideItsField) {
  btn->SetF2Control(ed);
  EXPECT_EQ(btn->BoundsRect(), (TRect{222, 40, 243, 61}));
  btn->SetGap(10);
  EXPECT_EQ(btn->Left(), 230);
  // Without AutoAlign the button stays where it is.
  btn->SetAutoAlign(false);
  btn->SetBounds(1, 1, 30, 30);
  btn->SetGap(2);
  EXPECT_EQ(btn->BoundsRect(), (TRect{1, 1, 31, 31}));
  btn->SetAutoAlign(true);
  EXPECT_EQ(btn->BoundsRect(), (TRect{222, 40, 243, 61}));
  // At run time a moved field does not take its button along.
  ed->SetLeft(0);
  EXPECT_EQ(btn->Left(), 222);
}

TEST_F(F2ButtonTest, ASecondButtonForTheSameFieldIsRefused) {
  auto* other = Add<TF2Button>(form, "other");
  other->SetBounds(300, 200, 23, 22);
  btn->SetF2Control(ed);
  other->SetF2Control(ed);
  EXPECT_EQ(other->F2Control(), nullptr);
  EXPECT_EQ(other->Left(), 300);  // not placed either
  EXPECT_THAT(ShownDialogs(), ElementsAre("mtError: 不能同时有两个 F2Button 指到同一个 Edit."));
  EXPECT_THAT(Headless().Dialogs().back().Buttons, ElementsAre("OK"));

  // Binding its own field again is refused silently: no dialog, no placing.
  btn->SetBounds(0, 0, 10, 10);
  btn->SetF2Control(ed);
  EXPECT_EQ(btn->F2Control(), ed);
  EXPECT_EQ(btn->BoundsRect(), (TRect{0, 0, 10, 10}));
  EXPECT_EQ(ShownDialogs().size(), 1u);

  // Once the first lets go, the second may bind it.
  btn->SetF2Control(nullptr);
  other->SetF2Control(ed);
  EXPECT_EQ(other->F2Control(), ed);
}

// Only the buttons the button's parent owns count: buttons on two pages of
// the form (owned by the form, children of their pages) may serve one field;
// buttons a panel owns may not; a button without a parent binds freely.
TEST_F(F2ButtonTest, OnlyTheButtonsItsParentOwnsAreChecked) {
  auto* pages = Add<TPageControl>(form, "pg");
  auto* page1 = Add<TTabSheet>(form, "ts1");
  auto* page2 = Add<TTabSheet>(form, "ts2");
  page1->SetPageControl(pages);
  page2->SetPageControl(pages);
  auto* a = Add<TF2Button>(page1, "a");
  auto* b = Add<TF2Button>(page2, "b");
  a->SetF2Control(ed);
  b->SetF2Control(ed);
  EXPECT_EQ(b->F2Control(), ed);
  auto* panel = Add<TPanel>(form, "panel");
  auto* c = new TF2Button(panel);
  auto* d = new TF2Button(panel);
  c->SetParent(panel);
  d->SetParent(panel);
  c->SetF2Control(ed);
  d->SetF2Control(ed);
  EXPECT_EQ(d->F2Control(), nullptr);
  EXPECT_EQ(ShownDialogs().size(), 1u);
  auto* loose = new TF2Button(form);
  loose->SetF2Control(ed);
  EXPECT_EQ(loose->F2Control(), ed);
  EXPECT_EQ(ShownDialogs().size(), 1u);
}

TEST_F(F2ButtonTest, AFreedFieldUnbindsTheButton) {
  btn->SetF2Control(ed);
  ed->Free();
  EXPECT_EQ(btn->F2Control(), nullptr);
  EXPECT_EQ(GetObjectProp(*btn, *GetPropInfo(btn, "F2Control")), nullptr);
}

struct PressCase {
  const char* name;
  bool bound;
  bool field_enabled;
  std::vector<std::string> log;
  bool f2_sent;
};

TEST_F(F2ButtonTest, PressingRunsTheClickThenTheF2RequestOfTheField) {
  const PressCase cases[] = {
      {"bound", true, true, {"click btn", "f2"}, true},
      {"field disabled", true, false, {"click btn"}, false},
      {"unbound", false, true, {"click btn"}, false},
  };
  auto* other = Add<TEdit>(form, "other");
  form->log = &log;
  btn->OnClick = Bind<&UiTest::Clicked>(this);
  form->Show();
  for (const PressCase& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    form->requests.clear();
    other->SetFocus();
    btn->SetF2Control(c.bound ? ed : nullptr);
    ed->SetEnabled(c.field_enabled);
    ASSERT_TRUE(ClickControl(btn));
    EXPECT_EQ(log, c.log);
    if (c.f2_sent) {
      ASSERT_EQ(form->requests.size(), 1u);
      EXPECT_EQ(form->requests[0].first, 0u);
      EXPECT_EQ(form->requests[0].second, ed);
      EXPECT_EQ(form->ActiveControl(), ed);
    } else {
      EXPECT_THAT(form->requests, IsEmpty());
      EXPECT_EQ(form->ActiveControl(), other);
    }
  }
}

TEST_F(F2ButtonTest, NoRequestWhenTheFieldCannotTakeTheFocus) {
  btn->SetF2Control(ed);
  // The form is hidden: the user cannot press the button, and a click by
  // code cannot focus the field.
  EXPECT_FALSE(ClickControl(btn));
  EXPECT_NO_THROW(btn->Click());
  EXPECT_THAT(form->requests, IsEmpty());
}

}  // namespace
}  // namespace vx::testing
