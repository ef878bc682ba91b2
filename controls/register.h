#pragma once
// Makes the framework controls known by class name (FindClassInfo), so that
// forms can be read and walked before any of them was created. Idempotent.
namespace vx {

void RegisterFrameworkControls();

}  // namespace vx
