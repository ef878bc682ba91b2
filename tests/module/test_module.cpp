// A module library as the job's is built: the controllers and the export
// from the module boundary, the library's start-up registering its form.
#include "module/dll_func.h"
#include "tests/framework/test_module_form.h"

namespace {

struct Startup {
  Startup() { vx::RegisterModuleForm(vx::test::TfrmTstb01::StaticClassInfo()); }
} startup;

}  // namespace
