#include <gtest/gtest.h>

#include "controls/btchkbox.h"
#include "controls/extpage.h"
#include "platform/rtl/text.h"
#include "tests/controls/controls_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

// ---- TBitCheckBox -----------------------------------------------------------------------------

class BitCheckBoxTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = NewForm();
    box = Add<TBitCheckBox>(form, "chk");
    box->OnClick = Bind<&UiTest::Clicked>(this);
  }
  // The box painted on a picture of its size.
  std::unique_ptr<TBitmap> Painted() {
    auto bmp = std::make_unique<TBitmap>(box->Width(), box->Height());
    box->PaintTo(*bmp->Canvas());
    return bmp;
  }
  static std::unique_ptr<TBitmap> Strip(TColor first, TColor second, int h) {
    auto b = std::make_unique<TBitmap>(2 * h, h, first);
    for (int y = 0; y < h; ++y)
      for (int x = h; x < 2 * h; ++x)
        b->SetPixel(x, y, second);
    b->SetPixel(0, h - 1, clFuchsia);  // the transparent colour (bottom left)
    return b;
  }
  F2RecordingForm* form = nullptr;
  TBitCheckBox* box = nullptr;
};

TEST_F(BitCheckBoxTest, DefaultsAndPublishedProperties) {
  EXPECT_EQ(box->BoundsRect(), (TRect{0, 0, 97, 17}));
  EXPECT_TRUE(box->TabStop());
  const std::pair<const char*, const char*> props[] = {
      {"Alignment", "taRightJustify"}, {"AllowGrayed", "False"},  {"Checked", "False"},
      {"State", "cbUnchecked"},        {"CheckedNumGlyphs", "1"}, {"UncheckedNumGlyphs", "1"},
      {"GrayedNumGlyphs", "1"},        {"Ctl3D", "True"}};
  for (const auto& [name, value] : props) {
    const TPropInfo* p = GetPropInfo(box, name);
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(VarToStr(GetPropValue(*box, *p)), value) << name;
  }
  for (const char* name : {"CheckedGlyph", "UncheckedGlyph", "GrayedGlyph"}) {
    const TPropInfo* p = GetPropInfo(box, name);
    ASSERT_NE(p, nullptr) << name;
    auto* b = dynamic_cast<TBitmap*>(GetObjectProp(*box, *p));
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->Width(), 19) << name;
    EXPECT_EQ(b->Height(), 14) << name;
  }
}

TEST_F(BitCheckBoxTest, ClicksMoveTheStateOn) {
  struct Case {
    bool allow_grayed;
    TCheckBoxState states[3];
  };
  const Case cases[] = {{true, {cbGrayed, cbChecked, cbUnchecked}},
                        {false, {cbChecked, cbUnchecked, cbChecked}}};
  form->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.allow_grayed);
    box->SetState(cbUnchecked);
    box->SetAllowGrayed(c.allow_grayed);
    log.clear();
    ASSERT_TRUE(ClickControl(box));
    EXPECT_EQ(box->State(), c.states[0]);
    EXPECT_TRUE(box->Focused());  // taken after the click
    SendKeyTo(box, VK_SPACE);
    EXPECT_EQ(box->State(), c.states[1]);
    box->Click();
    EXPECT_EQ(box->State(), c.states[2]);
    EXPECT_EQ(log.size(), 3u);
  }
  // Setting the state by code runs no click event.
  log.clear();
  box->SetChecked(true);
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_TRUE(log.empty());
}

TEST_F(BitCheckBoxTest, AcceleratorFocusesAndMovesOnWithoutClickEvent) {
  auto* other = Add<TEdit>(form, "other");
  box->SetCaption("生成Log文档(&L)");
  form->Show();
  other->SetFocus();
  EXPECT_EQ(box->Perform(CM_DIALOGCHAR, 'x'), 0);
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(box->Perform(CM_DIALOGCHAR, 'l'), 1);
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_TRUE(log.empty());
}

TEST_F(BitCheckBoxTest, AssignedPicturesSetTheirImageCountWithin1And2) {
  struct Case {
    int width, height;
    int num_glyphs;  // after the assignment, starting from 1
  };
  const Case cases[] = {{38, 19, 2}, {19, 19, 1}, {57, 19, 2}, {20, 19, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    box->SetCheckedNumGlyphs(1);
    TBitmap b(c.width, c.height);
    box->SetCheckedGlyph(&b);
    EXPECT_EQ(box->CheckedGlyph()->Width(), c.width);
    EXPECT_EQ(box->CheckedNumGlyphs(), c.num_glyphs);
  }
  box->SetGrayedNumGlyphs(5);
  EXPECT_EQ(box->GrayedNumGlyphs(), 2);
  box->SetGrayedNumGlyphs(0);
  EXPECT_EQ(box->GrayedNumGlyphs(), 1);
  // No picture brings the default back.
  box->SetCheckedGlyph(nullptr);
  EXPECT_EQ(box->CheckedGlyph()->Width(), 19);
  EXPECT_EQ(box->CheckedNumGlyphs(), 1);
}

// A pixel inside the check mark of the default pictures, and its colour by
// state: white box, black mark, silver box with a grey mark.
TEST_F(BitCheckBoxTest, PaintsThePictureOfTheStateTransparentlyOnTheLeftOrRight) {
  struct Case {
    TAlignment alignment;
    TCheckBoxState state;
    int picture_left;
    TColor mark;
  };
  const Case cases[] = {
      {taRightJustify, cbUnchecked, 0, clWhite}, {taRightJustify, cbChecked, 0, clBlack},
      {taRightJustify, cbGrayed, 0, clGray},     {taLeftJustify, cbChecked, 78, clBlack},
      {taLeftJustify, cbUnchecked, 78, clWhite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.state));
    box->SetAlignment(c.alignment);
    box->SetState(c.state);
    auto bmp = Painted();
    // Picture 19 x 14, vertically centred: top (17 - 14) / 2 = 1.
    EXPECT_EQ(bmp->Pixel(c.picture_left + 9, 1 + 7), c.mark);
    // The key colour of the picture is left out: the face shows.
    EXPECT_EQ(bmp->Pixel(c.picture_left + 1, 1 + 13), ColorToRGB(clBtnFace));
    const auto& ops = bmp->Canvas()->Log();
    auto draw = std::find_if(ops.begin(), ops.end(),
                             [](const TCanvasOp& op) { return op.Op == TCanvasOp::coDraw; });
    ASSERT_NE(draw, ops.end());
    EXPECT_TRUE(draw->Transparent);
    EXPECT_EQ(draw->Rect, (TRect{c.picture_left, 1, c.picture_left + 19, 15}));
  }
}

TEST_F(BitCheckBoxTest, DisabledShowsTheSecondImageAndEngravedText) {
  box->SetCaption("Log");
  auto two = Strip(clRed, clBlue, 14);
  box->SetUncheckedGlyph(two.get());
  ASSERT_EQ(box->UncheckedNumGlyphs(), 2);
  EXPECT_EQ(Painted()->Pixel(5, 5), clRed);
  box->SetEnabled(false);
  auto bmp = Painted();
  EXPECT_EQ(bmp->Pixel(5, 5), clBlue);
  // Text after the image (14 + 4), centred: (17 - 13) / 2 = 2; first the
  // highlight one pixel down and right, then the grey text.
  std::vector<std::string> texts;
  for (const TCanvasOp& op : bmp->Canvas()->Log())
    if (op.Op == TCanvasOp::coText)
      texts.push_back(
          Format("%s %d,%d %s", op.Text, op.Rect.Left, op.Rect.Top, ColorToString(op.Color)));
  EXPECT_THAT(texts, ElementsAre("Log 19,3 clBtnHighlight", "Log 18,2 clGrayText"));
  // Without 3-D only the grey text.
  box->SetCtl3D(false);
  texts.clear();
  auto flat = Painted();
  for (const TCanvasOp& op : flat->Canvas()->Log())
    if (op.Op == TCanvasOp::coText) texts.push_back(ColorToString(op.Color));
  EXPECT_THAT(texts, ElementsAre("clGrayText"));
}

TEST_F(BitCheckBoxTest, TextPositionAndFocusRectangle) {
  struct Case {
    TAlignment alignment;
    int text_left;
  };
  box->SetCaption("完成后通知");  // 5 wide characters: 55 pixels
  form->Show();
  box->SetFocus();
  for (const Case& c : {Case{taRightJustify, 23}, Case{taLeftJustify, 1}}) {
    box->SetAlignment(c.alignment);
    box->Repaint();
    const auto& ops = box->Canvas()->Log();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops.front().Op, TCanvasOp::coFillRect);
    EXPECT_EQ(ops.front().Rect, (TRect{0, 0, 97, 17}));
    EXPECT_EQ(ops.front().Color, clBtnFace);
    auto text = std::find_if(ops.begin(), ops.end(),
                             [](const TCanvasOp& op) { return op.Op == TCanvasOp::coText; });
    ASSERT_NE(text, ops.end());
    EXPECT_EQ(text->Rect.Left, c.text_left);
    EXPECT_EQ(text->Rect.Top, 2);
    EXPECT_EQ(ops.back().Op, TCanvasOp::coFocusRect);
    EXPECT_EQ(ops.back().Rect, (TRect{c.text_left - 1, 1, c.text_left + 56, 16}));
  }
}

// ---- TExtPageControl --------------------------------------------------------------------------

class ExtPageTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = NewForm();
    pc = Add<TExtPageControl>(form, "pg");
    for (const char* caption : {"基本选项", "隐藏", "系统选项"}) {
      auto* ts = new TTabSheet(form);
      ts->SetPageControl(pc);
      ts->SetCaption(caption);
      pages.push_back(ts);
    }
    pages[1]->SetTabVisible(false);
    pc->SetActivePage(pages[2]);
  }
  F2RecordingForm* form = nullptr;
  TExtPageControl* pc = nullptr;
  std::vector<TTabSheet*> pages;
};

TEST_F(ExtPageTest, ActiveAndInactiveTabsInTheCaptionColours) {
  EXPECT_TRUE(pc->OwnerDraw());
  pc->Repaint();
  std::vector<std::string> drawn;
  for (const TCanvasOp& op : pc->Canvas()->Log())
    drawn.push_back(Format("%s %d,%d,%d,%d %s%s%s",
                           op.Op == TCanvasOp::coFillRect ? "fill" : "text", op.Rect.Left,
                           op.Rect.Top, op.Rect.Right, op.Rect.Bottom, ColorToString(op.Color),
                           op.Text.empty() ? "" : " " + op.Text, op.Bold ? " bold" : ""));
  TRect t0 = pc->TabRect(0), t1 = pc->TabRect(1);
  // Tab 0 (inactive): whole rectangle, text moved 2 down; tab 1 is the
  // third page (the second has no tab): shrunk by 2, bold.
  int w0 = 4 * 11, w1 = 4 * 11 + 4;
  auto at = [](const TRect& r) { return Format("%d,%d,%d,%d", r.Left, r.Top, r.Right, r.Bottom); };
  TRect text0{t0.Left + (t0.Width() - w0) / 2, t0.Top + 2 + (t0.Height() - 13) / 2, 0, 0};
  text0.Right = text0.Left + w0;
  text0.Bottom = text0.Top + 13;
  TRect inner{t1.Left + 2, t1.Top + 2, t1.Right - 2, t1.Bottom - 2};
  TRect text1{inner.Left + (inner.Width() - w1) / 2, inner.Top + (inner.Height() - 13) / 2, 0, 0};
  text1.Right = text1.Left + w1;
  text1.Bottom = text1.Top + 13;
  EXPECT_THAT(drawn, ElementsAre("fill " + at(t0) + " clInactiveCaption",
                                 "text " + at(text0) + " clInactiveCaptionText 基本选项",
                                 "fill " + at(inner) + " clActiveCaption",
                                 "text " + at(text1) + " clCaptionText 系统选项 bold"));
}

TEST_F(ExtPageTest, ADrawTabHandlerDrawsInstead) {
  struct Recorder {
    std::vector<std::string> calls;
    void DrawTab(TObject*, int index, bool active, const TRect& r) {
      calls.push_back(Format("%d %s %d", index, active ? "active" : "inactive", r.Width()));
    }
  } rec;
  TMethod m = Bind<&Recorder::DrawTab>(&rec).Method();
  SetMethodProp(*pc, *GetPropInfo(pc, "OnDrawTab"), m);
  pc->Repaint();
  EXPECT_TRUE(pc->Canvas()->Log().empty());
  EXPECT_THAT(rec.calls, ElementsAre(Format("0 inactive %d", pc->TabRect(0).Width()),
                                     Format("1 active %d", pc->TabRect(1).Width())));
  // One event: a handler set through the platform's page control draws too,
  // and is what the published property holds.
  SetMethodProp(*pc, *GetPropInfo(pc, "OnDrawTab"), TMethod{});
  rec.calls.clear();
  TPageControl* base = pc;
  base->OnDrawTab = Bind<&Recorder::DrawTab>(&rec);
  EXPECT_EQ(GetMethodProp(*pc, *GetPropInfo(pc, "OnDrawTab")), m);
  pc->Repaint();
  EXPECT_TRUE(pc->Canvas()->Log().empty());
  EXPECT_EQ(rec.calls.size(), 2u);
}

}  // namespace
}  // namespace vx::testing
