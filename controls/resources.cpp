#include "controls/resources.h"

#include <vector>

namespace vx::resources {

bool LoadResourceBitmap(std::string_view name, TBitmap& bitmap) {
  for (int i = 0; i < kResourceCount; ++i)
    if (name == kResources[i].name) {
      bitmap.LoadFromPng(
          std::vector<unsigned char>(kResources[i].data, kResources[i].data + kResources[i].size));
      return true;
    }
  return false;
}

}  // namespace vx::resources
