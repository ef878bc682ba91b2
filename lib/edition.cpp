#include "lib/edition.h"

namespace vx {

namespace {
TModuleEdition g_edition = TModuleEdition::Current;
}

TModuleEdition ModuleEdition() {
  return g_edition;
}
void SetModuleEdition(TModuleEdition edition) {
  g_edition = edition;
}

}  // namespace vx
