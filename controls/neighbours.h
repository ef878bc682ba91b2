#pragma once
// The components of a kind that stand beside a control: those its parent
// owns (as forms hold them). Used to keep two binding controls (F2 buttons,
// bound labels) from serving the same field; buttons on other pages, owned by
// the form but children of their pages, do not count. A control without a
// parent has none.
#include <vector>

#include "platform/ui/controls.h"

namespace vx {

template <class T>
std::vector<T*> Neighbours(TControl& self) {
  std::vector<T*> out;
  if (TWinControl* parent = self.Parent())
    for (TComponent* c : parent->ComponentList())
      if (auto* t = dynamic_cast<T*>(c)) out.push_back(t);
  return out;
}

}  // namespace vx
