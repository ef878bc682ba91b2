#pragma once
#include <cstddef>

namespace vx::bitmaps {

struct EmbeddedPicture {
  const char* name;
  const unsigned char* png;
  std::size_t size;
  int images;  // 1: the picture; 2: the picture and its disabled form
};

extern const EmbeddedPicture kPictures[];
extern const int kPictureCount;

}  // namespace vx::bitmaps
