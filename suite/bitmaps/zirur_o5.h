#pragma once
// C interface of the numbered button-picture library ("ZiRurO5.dll").
//
// A picture is a horizontal strip of square images, one per button state:
// one (the picture) or two (the picture and its disabled form). The library never keeps or
// frees the caller's memory; it hands the pixels to the caller's target,
// which copies what it needs before returning.
#ifdef __cplusplus
extern "C" {
#endif

#define ZIRUR_API __attribute__((visibility("default")))

struct VxBmpTarget {
  void* context;
  // Receives width x height pixels, 3 bytes each (red, green, blue), rows top
  // to bottom, `stride` bytes apart, and the colour that stands for "no
  // pixel" as 0x00BBGGRR. Returns nonzero when the picture was taken.
  int (*assign)(void* context, int width, int height, const unsigned char* rgb, int stride,
                unsigned int transparent_color);
};

// The highest picture number the library holds (numbers run from 1).
ZIRUR_API int GetMaxBmpID(void);
// Loads picture `id` into the target; nonzero on success, 0 for an unknown
// number, a null target or a picture that cannot be decoded.
ZIRUR_API int LoadBmp(struct VxBmpTarget* bitmap, int id);

#ifdef __cplusplus
}
#endif
