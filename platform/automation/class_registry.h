#pragma once
// Creation of automation objects by class identifier
// ("ReportCounterS.dmReportCounter", "CorvanWorkCenter.Manager"). Libraries
// register their factories as they load.
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/automation/dispatch.h"

namespace vx {

using DispatchFactory = std::function<DispatchPtr()>;

class ClassRegistry {
 public:
  static ClassRegistry& Instance();
  // Identifiers compare without regard to case; a second registration
  // replaces the first.
  void Register(std::string_view class_id, DispatchFactory factory);
  void Unregister(std::string_view class_id);
  bool IsRegistered(std::string_view class_id) const;
  // Raises EOleSysError(CO_E_CLASSSTRING) naming an unknown identifier.
  DispatchPtr Create(std::string_view class_id) const;

 private:
  std::map<std::string, DispatchFactory> factories_;  // keyed by upper-cased id
};

// The platform's CreateOleObject: a variant holding the new object.
Variant CreateOleObject(std::string_view class_id);

// Registers a factory for as long as the object lives (tests, plug-ins).
class ScopedClassRegistration {
 public:
  ScopedClassRegistration(std::string class_id, DispatchFactory factory);
  ~ScopedClassRegistration();
  ScopedClassRegistration(const ScopedClassRegistration&) = delete;
  ScopedClassRegistration& operator=(const ScopedClassRegistration&) = delete;

 private:
  std::string class_id_;
};

}  // namespace vx
