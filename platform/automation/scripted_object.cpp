#include "platform/automation/scripted_object.h"

#include <stdexcept>

#include "platform/rtl/text.h"

namespace vx {

ScriptedObject& ScriptedObject::On(std::string_view name, Handler handler) {
  handlers_[UpperCase(name)] = std::move(handler);
  return *this;
}

ScriptedObject& ScriptedObject::Returns(std::string_view name, Variant result) {
  return On(name, [result](std::span<Arg>) { return result; });
}

ScriptedObject& ScriptedObject::Throws(std::string_view name, std::string message) {
  std::string source(name);
  return On(name,
            [message, source](std::span<Arg>) -> Variant { throw EOleException(message, source); });
}

ScriptedObject& ScriptedObject::Property(std::string_view name, Variant value) {
  properties_[UpperCase(name)] = std::move(value);
  return *this;
}

Variant ScriptedObject::PropertyValue(std::string_view name) const {
  auto it = properties_.find(UpperCase(name));
  return it == properties_.end() ? Variant() : it->second;
}

Variant ScriptedObject::Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) {
  RecordedCall call{std::string(name), kind, {}};
  for (const Arg& a : args)
    call.Args.push_back(a.get());
  calls_.push_back(std::move(call));

  std::string key = UpperCase(name);
  if (kind == DispatchKind::PropertyPut) {
    auto it = properties_.find(key);
    if (it == properties_.end() || args.empty()) RaiseUnknownName(name);
    it->second = args.back().get();
    return Variant();
  }
  if (auto h = handlers_.find(key); h != handlers_.end()) return h->second(args);
  if (kind == DispatchKind::PropertyGet || args.empty())
    if (auto p = properties_.find(key); p != properties_.end()) return p->second;
  RaiseUnknownName(name);
}

int ScriptedObject::CallCount(std::string_view name) const {
  int n = 0;
  for (const auto& c : calls_)
    if (SameText(c.Name, name)) ++n;
  return n;
}

const RecordedCall& ScriptedObject::LastCall(std::string_view name) const {
  for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
    if (SameText(it->Name, name)) return *it;
  throw std::out_of_range("no call of " + std::string(name));
}

}  // namespace vx
