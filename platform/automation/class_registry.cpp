#include "platform/automation/class_registry.h"

#include "platform/rtl/text.h"

namespace vx {

// Never destroyed: libraries register their factories as they load, and a
// factory's code may be gone by the time the process ends.
ClassRegistry& ClassRegistry::Instance() {
  static ClassRegistry* registry = new ClassRegistry;
  return *registry;
}

void ClassRegistry::Register(std::string_view class_id, DispatchFactory factory) {
  factories_[UpperCase(class_id)] = std::move(factory);
}

void ClassRegistry::Unregister(std::string_view class_id) {
  factories_.erase(UpperCase(class_id));
}

bool ClassRegistry::IsRegistered(std::string_view class_id) const {
  return factories_.count(UpperCase(class_id)) != 0;
}

DispatchPtr ClassRegistry::Create(std::string_view class_id) const {
  auto it = factories_.find(UpperCase(class_id));
  if (it == factories_.end() || !it->second)
    throw EOleSysError(Format("Invalid class string: %s", std::string(class_id)), CO_E_CLASSSTRING);
  DispatchPtr object = it->second();
  if (!object)
    throw EOleSysError(Format("Class %s could not create an object", std::string(class_id)),
                       CO_E_CLASSSTRING);
  return object;
}

Variant CreateOleObject(std::string_view class_id) {
  return Variant(ClassRegistry::Instance().Create(class_id));
}

ScopedClassRegistration::ScopedClassRegistration(std::string class_id, DispatchFactory factory)
    : class_id_(std::move(class_id)) {
  ClassRegistry::Instance().Register(class_id_, std::move(factory));
}

ScopedClassRegistration::~ScopedClassRegistration() {
  ClassRegistry::Instance().Unregister(class_id_);
}

}  // namespace vx
