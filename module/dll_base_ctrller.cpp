#include "module/dll_base_ctrller.h"

namespace vx {

TDLLBaseController::~TDLLBaseController() = default;

void TDLLBaseController::FormCreated() {
  FireEvent(kEventFormCreated);
}

// A controller that keeps no form handlers of its own only passes the news on.
void TDLLBaseController::DoFormShow(TObject*) {
  FireEvent(kEventFormShow);
}
void TDLLBaseController::DoFormHide(TObject*) {
  FireEvent(kEventFormHide);
}
void TDLLBaseController::DoFormDestroy(TObject*) {
  FireEvent(kEventFormDestroy);
}

void TDLLBaseController::RaiseEvent320() {
  FireEvent(kEvent320);
}

void TDLLBaseController::FireEvent(std::int32_t code) {
  if (OnEvent.Assigned()) OnEvent(code, this);
}

void TDLLBaseController::ReservedOperation() {}

}  // namespace vx
