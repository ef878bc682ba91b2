// The library project of the module STKB17C: its start-up registers the
// job's form, so that the controller the shell obtains creates it.
#include "job/stkb17cf.h"
#include "lib/edition.h"
#include "module/dll_func.h"

namespace {

struct LibraryStartup {
  LibraryStartup() {
#ifdef VX_EARLIER_EDITION
    vx::SetModuleEdition(vx::TModuleEdition::Earlier);
#else
    vx::SetModuleEdition(vx::TModuleEdition::Current);
#endif
    vx::RegisterModuleForm(vx::TfrmStkb17::StaticClassInfo());
  }
} startup;

}  // namespace
