#include "platform/automation/dispatch.h"

#include "platform/rtl/text.h"

namespace vx {

void RaiseUnknownName(std::string_view name) {
  throw EOleSysError(Format("Unknown name: %s", std::string(name)), DISP_E_UNKNOWNNAME);
}

namespace {
IDispatch& Target(const Variant& object, std::string_view name) {
  DispatchPtr d = object.IsDispatch() ? object.ToDispatch() : nullptr;
  if (!d)
    throw EOleError(
        Format("Variant does not reference an automation object (calling %s)", std::string(name)));
  return *d;
}
}  // namespace

Variant Call(const Variant& object, std::string_view method, Args args) {
  return Target(object, method).Invoke(method, DispatchKind::Method, args);
}

Variant Get(const Variant& object, std::string_view property, Args args) {
  return Target(object, property).Invoke(property, DispatchKind::PropertyGet, args);
}

void Put(const Variant& object, std::string_view property, Variant value) {
  Args args{Arg(std::move(value))};
  Target(object, property).Invoke(property, DispatchKind::PropertyPut, args);
}

}  // namespace vx
