#pragma once
// The components of a kind that stand beside a control: those its parent
// owns (as forms hold them), those of its own owner, and its parent's
// children. Used to keep two binding controls (F2 buttons, bound labels)
// from serving the same field.
#include <algorithm>
#include <vector>

#include "platform/ui/controls.h"

namespace vx {

template <class T>
std::vector<T*> Neighbours(TControl& self) {
  std::vector<T*> out;
  auto consider = [&](TComponent* c) {
    if (auto* t = dynamic_cast<T*>(c); t && std::find(out.begin(), out.end(), t) == out.end())
      out.push_back(t);
  };
  if (TWinControl* parent = self.Parent()) {
    for (TComponent* c : parent->ComponentList())
      consider(c);
    for (TControl* c : parent->ControlList())
      consider(c);
  }
  if (TComponent* owner = self.Owner())
    for (TComponent* c : owner->ComponentList())
      consider(c);
  consider(&self);
  return out;
}

}  // namespace vx
