#pragma once
// The controls' own pictures, built into the library (controls/resources):
// PNG data by resource name ("CHECKED", "UNCHECKED", "GRAYED").
#include <cstddef>
#include <string_view>

#include "platform/ui/graphics.h"

namespace vx::resources {

struct Resource {
  const char* name;
  const unsigned char* data;
  std::size_t size;
};

extern const Resource kResources[];
extern const int kResourceCount;

// Loads the named picture into bitmap; false when there is none of that name.
bool LoadResourceBitmap(std::string_view name, TBitmap& bitmap);

}  // namespace vx::resources
