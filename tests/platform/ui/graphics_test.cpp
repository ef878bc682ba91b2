#include <gtest/gtest.h>

#include <fstream>

#include "tests/platform/ui/ui_fixture.h"
#include "tests/support/temp_folder.h"

namespace vx::testing {
namespace {

// A 4 x 3 picture with a magenta background and a few coloured pixels.
std::unique_ptr<TBitmap> Sample() {
  auto b = std::make_unique<TBitmap>(4, 3, clFuchsia);
  b->SetPixel(1, 0, clRed);
  b->SetPixel(2, 1, RGB(1, 2, 3));
  b->SetPixel(3, 2, clBlue);
  return b;
}

TEST(BitmapTest, PngRoundTripKeepsEveryPixel) {
  vx::test::TempFolder dir;
  auto b_owned = Sample();
  TBitmap& b = *b_owned;
  b.SaveToFile(dir.Path("a.png"));
  TBitmap loaded;
  loaded.LoadFromFile(dir.Path("a.png"));
  EXPECT_EQ(loaded.Width(), 4);
  EXPECT_EQ(loaded.Height(), 3);
  EXPECT_TRUE(loaded.SameImage(b));
  EXPECT_EQ(loaded.Pixel(2, 1), RGB(1, 2, 3));
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);
}

TEST(BitmapTest, BadPngIsRefusedAndLosesNothing) {
  vx::test::TempFolder dir;
  auto b_owned = Sample();
  TBitmap& b = *b_owned;
  std::string path = dir.Write("bad.png", "\x89PNG\r\n\x1a\nnot really");
  EXPECT_THROW(b.LoadFromFile(path), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromFile(dir.Path("missing.png")), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromPng({}), EInvalidGraphic);
  EXPECT_TRUE(b.SameImage(*Sample()));
  EXPECT_THROW(TBitmap().SaveToPng(), EInvalidGraphic);
  EXPECT_THROW(b.SaveToFile(dir.Path("no/such/folder/x.png")), EInvalidGraphic);
}

TEST(BitmapTest, TransparentColourIsBottomLeftUntilFixed) {
  auto b_owned = Sample();
  TBitmap& b = *b_owned;
  EXPECT_EQ(b.TransparentColor(), clFuchsia);
  b.SetPixel(0, 2, clLime);
  EXPECT_EQ(b.TransparentColor(), clLime);
  b.SetTransparentColor(clRed);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clRed);
  EXPECT_EQ(TBitmap().TransparentColor(), clNone);
}

TEST(BitmapTest, TransparentDrawLeavesTheTransparentColourOut) {
  struct Case {
    bool transparent;
    TColor at_background;
  };
  for (Case c : {Case{true, clWhite}, Case{false, clFuchsia}}) {
    auto src_owned = Sample();
    TBitmap& src = *src_owned;
    src.SetTransparent(c.transparent);
    TBitmap dst(6, 5, clWhite);
    dst.Canvas()->Draw(1, 1, src);
    EXPECT_EQ(dst.Pixel(1, 1), c.at_background) << c.transparent;
    EXPECT_EQ(dst.Pixel(2, 1), clRed);
    EXPECT_EQ(dst.Pixel(4, 3), clBlue);
    EXPECT_EQ(dst.Pixel(0, 0), clWhite);
    EXPECT_EQ(dst.Pixel(5, 4), clWhite);
    ASSERT_EQ(dst.Canvas()->Log().size(), 1u);
    EXPECT_EQ(dst.Canvas()->Log()[0].Rect, (TRect{1, 1, 5, 4}));
  }
}

TEST(BitmapTest, AssignCopiesAndSizingKeepsPixels) {
  auto a_owned = Sample();
  TBitmap& a = *a_owned;
  a.SetTransparent(true);
  TBitmap b;
  int changes = 0;
  struct Counter {
    int* n;
    void Changed(TObject*) { ++*n; }
  } counter{&changes};
  b.OnChange = Bind<&Counter::Changed>(&counter);
  b.Assign(&a);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(b.SameImage(a));
  EXPECT_TRUE(b.Transparent());
  b.SetWidth(8);
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  EXPECT_EQ(b.Pixel(7, 0), clWhite);
  EXPECT_EQ(b.Pixel(8, 0), clNone);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  TFont f;
  EXPECT_THROW(b.Assign(&f), EConvertError);
  EXPECT_THROW(b.SetSize(-1, 2), EInvalidGraphic);
  EXPECT_THROW(b.SetSize(kMaxBitmapSide + 1, 2), EInvalidGraphic);
  EXPECT_TRUE(b.Empty());
  // A fill reaching beyond the picture paints what lies inside.
  TBitmap small(2, 2, clWhite);
  small.Canvas()->Brush.Color = clRed;
  small.Canvas()->FillRect({-5, 1, 100, 100});
  EXPECT_EQ(small.Pixel(0, 1), clRed);
  EXPECT_EQ(small.Pixel(0, 0), clWhite);
}

TEST(CanvasTest, FillRectCopyRectAndTextMetrics) {
  TBitmap b(10, 10, clWhite);
  TCanvas& c = *b.Canvas();
  c.Brush.Color = clBtnFace;
  c.FillRect({2, 2, 4, 4});
  EXPECT_EQ(b.Pixel(2, 2), ColorToRGB(clBtnFace));
  EXPECT_EQ(b.Pixel(4, 4), clWhite);
  TBitmap strip(4, 2, clBlack);
  strip.SetPixel(2, 0, clRed);
  c.CopyRect({0, 0, 2, 2}, strip, {2, 0, 4, 2});
  EXPECT_EQ(b.Pixel(0, 0), clRed);
  EXPECT_EQ(b.Pixel(1, 1), clBlack);
  c.Font()->SetSize(8);
  EXPECT_EQ(c.TextWidth("ab"), 12);
  EXPECT_EQ(c.TextHeight("ab"), 13);
  c.Font()->SetStyle(TFontStyles{fsBold});
  c.Brush.Style = bsClear;
  c.TextOut(1, 2, "ab");
  const TCanvasOp& op = c.Log().back();
  EXPECT_EQ(op.Op, TCanvasOp::coText);
  EXPECT_EQ(op.Text, "ab");
  EXPECT_TRUE(op.Bold);
  EXPECT_EQ(op.Rect, (TRect{1, 2, 15, 15}));
}

TEST(FontTest, HeightAndSizeFollowEachOther) {
  struct Case {
    int height;
    int size;
  };
  for (Case c : {Case{-13, 10}, Case{-11, 8}, Case{-12, 9}, Case{16, -12}}) {
    TFont f;
    f.SetHeight(c.height);
    EXPECT_EQ(f.Height(), c.height);
    EXPECT_EQ(f.Size(), c.size) << c.height;
  }
  TFont f;
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -12);
  EXPECT_EQ(ColorToString(clGradientActiveCaption), "clGradientActiveCaption");
}

}  // namespace
}  // namespace vx::testing
