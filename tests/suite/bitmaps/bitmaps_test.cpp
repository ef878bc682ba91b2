#include <gtest/gtest.h>

#include <vector>

#include "suite/bitmaps/zirur_o5.h"

namespace {

struct Picture {
  int width = 0, height = 0;
  unsigned int transparent = 0;
  std::vector<unsigned char> rgb;
  bool accept = true;
};

int Assign(void* context, int width, int height, const unsigned char* rgb, int stride,
           unsigned int transparent) {
  auto* p = static_cast<Picture*>(context);
  if (!p->accept) return 0;
  p->width = width;
  p->height = height;
  p->transparent = transparent;
  p->rgb.assign(rgb, rgb + static_cast<std::size_t>(stride) * height);
  return 1;
}

TEST(BitmapLibrary, EveryNumberUpToTheMaximumIsAStripOfSquareImages) {
  ASSERT_GE(GetMaxBmpID(), 47);
  for (int id = 1; id <= GetMaxBmpID(); ++id) {
    Picture p;
    VxBmpTarget target{&p, Assign};
    ASSERT_EQ(LoadBmp(&target, id), 1) << id;
    EXPECT_EQ(p.height, 16);
    // The clear-list picture carries its disabled form; the others one image.
    EXPECT_EQ(p.width, id == 4 ? 32 : 16) << id;
  }
}

TEST(BitmapLibrary, PicturesHaveTransparentCornersAndAGreyDisabledImage) {
  Picture p;
  VxBmpTarget target{&p, Assign};
  ASSERT_EQ(LoadBmp(&target, 4), 1);
  EXPECT_EQ(p.transparent, 0x00FF00FFu);
  auto pixel = [&](int x, int y) {
    return &p.rgb[(static_cast<std::size_t>(y) * p.width + x) * 3];
  };
  EXPECT_EQ(pixel(0, 15)[0], 255);  // bottom-left: the key colour
  EXPECT_EQ(pixel(0, 15)[1], 0);
  bool coloured = false, disabled_grey = true;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const unsigned char* n = pixel(x, y);
      const unsigned char* d = pixel(x + 16, y);
      bool key = n[0] == 255 && n[1] == 0 && n[2] == 255;
      if (!key && (n[0] != n[1] || n[1] != n[2])) coloured = true;
      if (!key && (d[0] != d[1] || d[1] != d[2])) disabled_grey = false;
    }
  EXPECT_TRUE(coloured);
  EXPECT_TRUE(disabled_grey);
}

TEST(BitmapLibrary, UnknownNumbersAndBadTargetsFail) {
  Picture p;
  VxBmpTarget target{&p, Assign};
  EXPECT_EQ(LoadBmp(&target, 0), 0);
  EXPECT_EQ(LoadBmp(&target, GetMaxBmpID() + 1), 0);
  EXPECT_EQ(LoadBmp(&target, -3), 0);
  EXPECT_EQ(LoadBmp(nullptr, 8), 0);
  VxBmpTarget no_callback{&p, nullptr};
  EXPECT_EQ(LoadBmp(&no_callback, 8), 0);
  p.accept = false;  // the target refuses the picture
  EXPECT_EQ(LoadBmp(&target, 8), 0);
}

}  // namespace
