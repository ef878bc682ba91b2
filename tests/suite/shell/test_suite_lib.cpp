// The shell's counterparts for its tests: the manager and the in-process
// server answering from the test tables, registered when loaded.
#include "tests/framework/suite_doubles.h"

namespace {

struct Registration {
  vx::test::SuiteDoubles doubles;
  std::unique_ptr<vx::ScopedClassRegistration> server = doubles.Install();
  vx::ScopedClassRegistration manager{"CorvanWorkCenter.Manager",
                                      [this] { return doubles.Manager().ToDispatch(); }};
  Registration() { doubles.Tables().Checks["INVTE;02;W24001"] = vx::VarArrayOf({"20241231"}); }
} registration;

}  // namespace
