#pragma once
#include <cstddef>

namespace vx::bitmaps {

struct EmbeddedPicture {
  const char* name;
  const unsigned char* png;
  std::size_t size;
};

extern const EmbeddedPicture kPictures[];
extern const int kPictureCount;

}  // namespace vx::bitmaps
