#pragma once
// A stand-in automation object for tests: answers calls by script and records
// every call with copies of its arguments as they came in.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/automation/dispatch.h"

namespace vx {

struct RecordedCall {
  std::string Name;
  DispatchKind Kind;
  std::vector<Variant> Args;
};

class ScriptedObject : public IDispatch {
 public:
  using Handler = std::function<Variant(std::span<Arg> args)>;

  // A method (or property get) answered by a handler, which may write to
  // by-reference arguments through args[i].get().
  ScriptedObject& On(std::string_view name, Handler handler);
  ScriptedObject& Returns(std::string_view name, Variant result);
  ScriptedObject& Throws(std::string_view name, std::string message);
  // A property readable by get and writable by put.
  ScriptedObject& Property(std::string_view name, Variant value);
  Variant PropertyValue(std::string_view name) const;

  Variant Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) override;

  const std::vector<RecordedCall>& Calls() const { return calls_; }
  int CallCount(std::string_view name) const;
  // The most recent call of that name; raises std::out_of_range when none.
  const RecordedCall& LastCall(std::string_view name) const;
  void ClearCalls() { calls_.clear(); }

 private:
  std::map<std::string, Handler> handlers_;    // keyed by upper-cased name
  std::map<std::string, Variant> properties_;  // same
  std::vector<RecordedCall> calls_;
};

}  // namespace vx
