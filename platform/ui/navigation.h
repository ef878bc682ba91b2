#pragma once
// Keys that move within a list, tree, grid or tab row, which such controls
// keep for themselves instead of letting the form treat them.
#include "platform/ui/messages.h"

namespace vx {

inline bool IsNavigationKey(Word key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
      return true;
    default:
      return false;
  }
}

}  // namespace vx
