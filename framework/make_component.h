#pragma once
// Building a form's components in code, as its form resource would: owned
// by the form, named, and a control put on its parent.
#include <type_traits>

#include "platform/ui/controls.h"

namespace vx {

template <class T>
T* MakeComponent(TComponent* owner, TWinControl* parent, const char* name) {
  auto* c = new T(owner);
  c->SetName(name);
  if constexpr (std::is_base_of_v<TControl, T>)
    if (parent) c->SetParent(parent);
  return c;
}

}  // namespace vx
