#pragma once
// Late-bound automation objects: calls by method or property name with
// variant arguments, any of which may be passed by reference so that the
// callee writes back into the caller's variable.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/variant.h"

namespace vx {

enum class DispatchKind { Method, PropertyGet, PropertyPut };

// One argument of a late-bound call: a value of its own, or a reference to
// the caller's variable.
class Arg {
 public:
  template <class T>
  requires std::is_constructible_v<Variant, T> Arg(T&& value)
      : own_(Variant(std::forward<T>(value))) {}  // NOLINT: implicit by design
  static Arg ByRef(Variant& target) {
    Arg a;
    a.ref_ = &target;
    return a;
  }
  Variant& get() { return ref_ ? *ref_ : own_; }
  const Variant& get() const { return ref_ ? *ref_ : own_; }
  bool IsByRef() const { return ref_ != nullptr; }

 private:
  Arg() = default;
  Variant own_;
  Variant* ref_ = nullptr;
};

inline Arg Ref(Variant& target) {
  return Arg::ByRef(target);
}
using Args = std::vector<Arg>;

VX_DECLARE_EXCEPTION(EOleError, Exception);
// An error reported by the automation system itself (unknown name, unknown
// class identifier, wrong argument count) with its result code.
class EOleSysError : public EOleError {
 public:
  EOleSysError(std::string message, std::int32_t code)
      : EOleError(std::move(message)), code_(code) {}
  std::string ClassName() const override { return "EOleSysError"; }
  std::int32_t ErrorCode() const { return code_; }

 private:
  std::int32_t code_;
};
// The object raised an error of its own while running the call.
class EOleException : public EOleError {
 public:
  EOleException(std::string message, std::string source = {})
      : EOleError(std::move(message)), source_(std::move(source)) {}
  std::string ClassName() const override { return "EOleException"; }
  const std::string& Source() const { return source_; }

 private:
  std::string source_;
};

inline constexpr std::int32_t DISP_E_UNKNOWNNAME = static_cast<std::int32_t>(0x80020006);
inline constexpr std::int32_t DISP_E_BADPARAMCOUNT = static_cast<std::int32_t>(0x8002000E);
inline constexpr std::int32_t CO_E_CLASSSTRING = static_cast<std::int32_t>(0x800401F3);

class IDispatch {
 public:
  virtual ~IDispatch() = default;
  // Names compare without regard to case. A property put passes the new value
  // as the last argument. Unknown names raise EOleSysError(DISP_E_UNKNOWNNAME).
  virtual Variant Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) = 0;
};

[[noreturn]] void RaiseUnknownName(std::string_view name);

// Call(obj, "GetSysInfo", {Ref(companyId)}): raises EOleError when obj holds
// no object.
Variant Call(const Variant& object, std::string_view method, Args args = {});
Variant Get(const Variant& object, std::string_view property, Args args = {});
void Put(const Variant& object, std::string_view property, Variant value);

}  // namespace vx
