#include <png.h>

#include <cstring>
#include <vector>

#include "suite/bitmaps/picture_store.h"
#include "suite/bitmaps/zirur_o5.h"

namespace {

// The key colour for "no pixel" (fuchsia), and the button face that
// half-transparent edge pixels are blended onto.
constexpr unsigned char kKey[3] = {255, 0, 255};
constexpr unsigned char kFace[3] = {240, 240, 240};
constexpr unsigned int kKeyColor = 0x00FF00FF;

bool DecodeRgba(const vx::bitmaps::EmbeddedPicture& p, std::vector<unsigned char>& rgba, int& width,
                int& height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, p.png, p.size)) return false;
  image.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return width > 0 && height > 0;
}

}  // namespace

extern "C" int GetMaxBmpID(void) {
  return vx::bitmaps::kPictureCount;
}

extern "C" int LoadBmp(struct VxBmpTarget* bitmap, int id) {
  if (!bitmap || !bitmap->assign || id < 1 || id > vx::bitmaps::kPictureCount) return 0;
  std::vector<unsigned char> rgba;
  int w = 0, h = 0;
  const vx::bitmaps::EmbeddedPicture& picture = vx::bitmaps::kPictures[id - 1];
  if (!DecodeRgba(picture, rgba, w, h)) return 0;
  // Strip: the picture, then, for two-image pictures, its disabled form
  // (grey, lightened). One-image pictures get their disabled look from the
  // form that shows them.
  const bool with_disabled = picture.images == 2;
  const int strip_w = with_disabled ? 2 * w : w, stride = strip_w * 3;
  std::vector<unsigned char> rgb(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned char* s = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
      unsigned char* normal = &rgb[static_cast<std::size_t>(y) * stride + x * 3];
      unsigned char* disabled = with_disabled ? normal + w * 3 : nullptr;
      if (s[3] < 64) {
        std::memcpy(normal, kKey, 3);
        if (disabled) std::memcpy(disabled, kKey, 3);
        continue;
      }
      int grey = 0;
      for (int c = 0; c < 3; ++c) {
        int v = (s[c] * s[3] + kFace[c] * (255 - s[3])) / 255;
        normal[c] = static_cast<unsigned char>(v);
        grey += v * (c == 0 ? 299 : c == 1 ? 587 : 114);
      }
      grey /= 1000;
      if (disabled) std::memset(disabled, static_cast<unsigned char>(128 + grey / 2), 3);
    }
  }
  return bitmap->assign(bitmap->context, strip_w, h, rgb.data(), stride, kKeyColor) ? 1 : 0;
}
