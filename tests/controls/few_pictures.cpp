// A stand-in picture library with three pictures: 1 is 16 x 16 (one
// image), 2 is 46 x 23 (two images), 3 cannot be decoded.
#include <vector>

extern "C" {
struct Target {
  void* context;
  int (*assign)(void*, int, int, const unsigned char*, int, unsigned int);
};

__attribute__((visibility("default"))) int GetMaxBmpID(void) {
  return 3;
}

__attribute__((visibility("default"))) int LoadBmp(Target* target, int id) {
  if (!target || !target->assign || id < 1 || id > 2) return 0;
  const int w = id == 1 ? 16 : 46, h = id == 1 ? 16 : 23;
  // A red square on the key colour (fuchsia) in each image.
  std::vector<unsigned char> rgb(static_cast<std::size_t>(w * h * 3));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &rgb[static_cast<std::size_t>((y * w + x) * 3)];
      bool inside = (x % h) > 2 && (x % h) < h - 3 && y > 2 && y < h - 3;
      p[0] = 255;
      p[1] = 0;
      p[2] = inside ? 0 : 255;
    }
  return target->assign(target->context, w, h, rgb.data(), w * 3, 0x00FF00FF);
}
}
