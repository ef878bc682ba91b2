#pragma once
// Published-property type information. Every class of the UI model describes
// itself once: its name, its parent class, its properties (name, kind,
// declared type name, getter and setter) and its message handlers by number.
// Generic code (property helpers, language files, form conversion) uses only
// this registry. Property lookups ignore case and walk the class chain.
//
// A class declares itself with VX_CLASS in its body and defines
// StaticClassInfo() with DefineClass<C>("Name", [](auto& r) { ... }).
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/rtl/exception.h"
#include "platform/ui/events.h"
#include "platform/ui/types.h"

namespace vx {

class TObject;
class TComponent;
struct TClassInfo;

VX_DECLARE_EXCEPTION(EPropertyError, Exception);
VX_DECLARE_EXCEPTION(EPropertyConvertError, Exception);

enum class TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkVariant,
  tkInt64,
};
using enum TTypeKind;

// A named type as properties declare it ("TColor", "TAlign", "TFont", ...).
struct TTypeInfo {
  std::string Name;
  TTypeKind Kind = tkUnknown;
  // Enumerations: the identifiers in order of their values.
  std::vector<std::string> Names;
  // Sets: the enumeration of the elements.
  const TTypeInfo* CompType = nullptr;
  // Integer types with identifiers (colours, cursors, character sets).
  std::vector<std::pair<std::string, std::int64_t>> Idents;
};

struct TPropInfo {
  std::string Name;
  const TTypeInfo* PropType = nullptr;
  bool Published = true;
  const TClassInfo* DeclaringClass = nullptr;
  // One pair is set, by the kind of the type.
  std::function<std::int64_t(TObject&)> GetOrd;
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<double(TObject&)> GetFloat;
  std::function<void(TObject&, double)> SetFloat;
  std::function<std::string(TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;
  std::function<TMethod(TObject&)> GetMethod;
  std::function<void(TObject&, const TMethod&)> SetMethod;
  std::function<Variant(TObject&)> GetVar;
  std::function<void(TObject&, const Variant&)> SetVar;

  TTypeKind Kind() const { return PropType ? PropType->Kind : tkUnknown; }
  bool Writable() const { return SetOrd || SetFloat || SetStr || SetObj || SetMethod || SetVar; }
};

using TMessageHandler = void (*)(TObject&, TMessage&);
// Binds a published method to an object of its class.
using TMethodBinder = TMethod (*)(TObject&);

struct TClassInfo {
  std::string Name;
  const TClassInfo* Parent = nullptr;
  // Properties declared by this class (published or not), in order.
  std::vector<std::unique_ptr<TPropInfo>> Props;
  std::map<unsigned, TMessageHandler> Messages;
  // Published methods (event handlers) by name, in order of declaration.
  std::vector<std::pair<std::string, TMethodBinder>> Methods;
  // Set for components constructible from an owner.
  TComponent* (*Construct)(TComponent* owner) = nullptr;
  const TTypeInfo* Type = nullptr;  // the class as a property type

  bool InheritsFrom(const TClassInfo& other) const;
  // Published property by name along the chain; nullptr when none.
  const TPropInfo* FindProp(std::string_view name) const;
  // Declared property (published or not) along the chain.
  const TPropInfo* FindDeclared(std::string_view name) const;
  // Published method by name along the chain (nearest first); nullptr when
  // none.
  TMethodBinder FindMethod(std::string_view name) const;
};

// ---- type registry ----------------------------------------------------------
const TTypeInfo* FindTypeInfo(std::string_view name);
// Returns the existing type of that name or creates it with the kind.
const TTypeInfo& RegisterType(std::string_view name, TTypeKind kind);
const TTypeInfo& RegisterEnumType(std::string_view name, std::initializer_list<const char*> names);
const TTypeInfo& RegisterSetType(std::string_view name, const TTypeInfo& element_type);
// Identifier <-> integer map of an integer type (e.g. "TColor": clRed ...).
void RegisterIntegerConsts(std::string_view type_name,
                           std::initializer_list<std::pair<const char*, std::int64_t>> idents);
bool IdentToInt(const TTypeInfo& type, std::string_view ident, std::int64_t& value);
bool IntToIdent(const TTypeInfo& type, std::int64_t value, std::string& ident);

// Class registry: the model's standard classes and every class whose
// StaticClassInfo() ran.
const TClassInfo* FindClassInfo(std::string_view name);
// Defines the class information of the model's standard classes.
void RegisterStandardClasses();
TClassInfo& NewClassInfo(std::string_view name, const TClassInfo* parent);

// ---- enumerations and sets as text ------------------------------------------
std::string GetEnumName(const TTypeInfo& type, std::int64_t value);
// -1 when the identifier is not one of the type's (case-insensitive).
int GetEnumValue(const TTypeInfo& type, std::string_view name);
// "[fsBold,fsItalic]"; with brackets=false "fsBold,fsItalic".
std::string SetToString(const TTypeInfo& set_type, std::int64_t bits, bool brackets = true);
// Accepts the element names with or without brackets; raises
// EPropertyConvertError on an unknown element.
std::int64_t StringToSet(const TTypeInfo& set_type, std::string_view text);

// ---- generic access ----------------------------------------------------------
// Published property of an object's class; nullptr for a nil object, an empty
// name or no such property.
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
// Published properties, ancestors' first.
std::vector<const TPropInfo*> GetPropList(const TObject& obj);
// A published method of the object's class bound to the object; unassigned
// for a nil object or no such method. Call it through the event type it was
// published with (TNotifyEvent(m)(sender)).
TMethod FindMethod(TObject* obj, std::string_view name);
bool IsOrdinalKind(TTypeKind k);

// Typed access; each raises EPropertyError when the kind does not fit or the
// property is read-only.
std::int64_t GetOrdProp(TObject& obj, const TPropInfo& prop);
void SetOrdProp(TObject& obj, const TPropInfo& prop, std::int64_t value);
std::string GetStrProp(TObject& obj, const TPropInfo& prop);
void SetStrProp(TObject& obj, const TPropInfo& prop, const std::string& value);
double GetFloatProp(TObject& obj, const TPropInfo& prop);
void SetFloatProp(TObject& obj, const TPropInfo& prop, double value);
TObject* GetObjectProp(TObject& obj, const TPropInfo& prop);
void SetObjectProp(TObject& obj, const TPropInfo& prop, TObject* value);
TMethod GetMethodProp(TObject& obj, const TPropInfo& prop);
void SetMethodProp(TObject& obj, const TPropInfo& prop, const TMethod& value);

// Any kind as a variant: enumerations by identifier (booleans as booleans),
// sets as "[a,b]", characters as one-character texts. Objects and methods give
// Empty.
Variant GetPropValue(TObject& obj, const TPropInfo& prop);
// The general variant-to-property conversion: numbers and numeric texts for
// integers, identifiers for enumerations, element lists for sets. Raises
// EPropertyConvertError (or the variant's cast error) when the value does not
// fit; objects and methods cannot be set from a variant.
void SetPropValue(TObject& obj, const TPropInfo& prop, const Variant& value);

// ---- declaring classes -------------------------------------------------------
namespace detail {
template <class T>
struct SetterArg;
template <class C, class R, class A>
struct SetterArg<R (C::*)(A)> {
  using type = std::remove_cvref_t<A>;
};
template <class T>
std::int64_t ToOrd(const T& v) {
  if constexpr (requires { v.Bits(); })
    return static_cast<std::int64_t>(v.Bits());
  else
    return static_cast<std::int64_t>(v);
}
template <class T>
T FromOrd(std::int64_t v) {
  if constexpr (requires { T::FromBits(0u); })
    return T::FromBits(static_cast<std::uint32_t>(v));
  else if constexpr (std::is_same_v<T, bool>)
    return v != 0;
  else
    return static_cast<T>(v);
}
}  // namespace detail

template <class C>
class TClassRegistrar {
 public:
  explicit TClassRegistrar(TClassInfo& info) : info_(info) {}

  // Declarations after Published(false) are known to the class (so that a
  // descendant can Publish them) but not visible to generic code.
  TClassRegistrar& Published(bool published) {
    published_ = published;
    return *this;
  }
  // Makes an ancestor's declared property published in this class.
  void Publish(std::string_view name);

  // Integer, enumeration, set, character or boolean, by the type's kind.
  template <auto Get, auto Set = nullptr>
  void Ord(std::string_view name, std::string_view type_name) {
    TPropInfo& p = Add(name, TypeFor(type_name, tkInteger));
    p.GetOrd = [](TObject& o) { return detail::ToOrd((Self(o).*Get)()); };
    if constexpr (!std::is_null_pointer_v<decltype(Set)>) {
      using A = typename detail::SetterArg<decltype(Set)>::type;
      p.SetOrd = [](TObject& o, std::int64_t v) { (Self(o).*Set)(detail::FromOrd<A>(v)); };
    }
  }
  template <auto Get, auto Set = nullptr>
  void Bool(std::string_view name) {
    Ord<Get, Set>(name, "Boolean");
  }
  template <auto Get, auto Set = nullptr>
  void Str(std::string_view name, std::string_view type_name = "string") {
    TPropInfo& p = Add(name, RegisterType(type_name, tkString));
    p.GetStr = [](TObject& o) { return std::string((Self(o).*Get)()); };
    if constexpr (!std::is_null_pointer_v<decltype(Set)>)
      p.SetStr = [](TObject& o, const std::string& v) { (Self(o).*Set)(v); };
  }
  template <auto Get, auto Set = nullptr>
  void Float(std::string_view name, std::string_view type_name = "Double") {
    TPropInfo& p = Add(name, RegisterType(type_name, tkFloat));
    p.GetFloat = [](TObject& o) { return static_cast<double>((Self(o).*Get)()); };
    if constexpr (!std::is_null_pointer_v<decltype(Set)>)
      p.SetFloat = [](TObject& o, double v) { (Self(o).*Set)(v); };
  }
  // Object-valued: the getter returns the held object; the setter (usually
  // an Assign) takes an object of the declared class or nullptr.
  template <auto Get, auto Set = nullptr>
  void Obj(std::string_view name, std::string_view type_name) {
    TPropInfo& p = Add(name, RegisterType(type_name, tkClass));
    p.GetObj = [](TObject& o) -> TObject* { return (Self(o).*Get)(); };
    if constexpr (!std::is_null_pointer_v<decltype(Set)>) {
      using A = typename detail::SetterArg<decltype(Set)>::type;
      p.SetObj = [](TObject& o, TObject* v) {
        A typed = nullptr;
        if (v) {
          typed = dynamic_cast<A>(v);
          if (!typed) throw EPropertyConvertError("Invalid property value");
        }
        (Self(o).*Set)(typed);
      };
    }
  }
  // An event property backed by a TEvent field.
  template <auto Field>
  void Event(std::string_view name, std::string_view type_name = "TNotifyEvent") {
    TPropInfo& p = Add(name, RegisterType(type_name, tkMethod));
    p.GetMethod = [](TObject& o) { return (Self(o).*Field).Method(); };
    p.SetMethod = [](TObject& o, const TMethod& m) { (Self(o).*Field).SetMethod(m); };
  }
  template <auto Get, auto Set = nullptr>
  void Var(std::string_view name) {
    TPropInfo& p = Add(name, RegisterType("Variant", tkVariant));
    p.GetVar = [](TObject& o) { return Variant((Self(o).*Get)()); };
    if constexpr (!std::is_null_pointer_v<decltype(Set)>)
      p.SetVar = [](TObject& o, const Variant& v) { (Self(o).*Set)(v); };
  }
  // A published method, found by name: a member function void (C::*)(...).
  template <auto M>
  void Method(std::string_view name) {
    info_.Methods.emplace_back(std::string(name),
                               [](TObject& o) { return Bind<M>(&Self(o)).Method(); });
  }
  // A message handler by number: void (C::*)(TMessage&).
  template <auto Handler>
  void Message(unsigned msg) {
    info_.Messages[msg] = [](TObject& o, TMessage& m) { (Self(o).*Handler)(m); };
  }

 private:
  static C& Self(TObject& o) { return static_cast<C&>(o); }
  static const TTypeInfo& TypeFor(std::string_view name, TTypeKind fallback) {
    const TTypeInfo* t = FindTypeInfo(name);
    return t ? *t : RegisterType(name, fallback);
  }
  TPropInfo& Add(std::string_view name, const TTypeInfo& type) {
    auto p = std::make_unique<TPropInfo>();
    p->Name = std::string(name);
    p->PropType = &type;
    p->Published = published_;
    p->DeclaringClass = &info_;
    info_.Props.push_back(std::move(p));
    return *info_.Props.back();
  }
  TClassInfo& info_;
  bool published_ = true;
};

void PublishInherited(TClassInfo& info, std::string_view name);

template <class C>
void TClassRegistrar<C>::Publish(std::string_view name) {
  PublishInherited(info_, name);
}

// Defines the class information of C (called once from C::StaticClassInfo()).
template <class C, class Fn>
const TClassInfo& DefineClass(std::string_view name, Fn&& declare) {
  TClassInfo& info = NewClassInfo(name, &C::inherited::StaticClassInfo());
  if constexpr (std::is_constructible_v<C, TComponent*> && !std::is_abstract_v<C>)
    info.Construct = [](TComponent* owner) -> TComponent* {
      C* c = new C(owner);
      c->AfterConstruction();
      return c;
    };
  TClassRegistrar<C> r(info);
  declare(r);
  return info;
}

}  // namespace vx

// In the body of every class of the model: its own class information.
#define VX_CLASS(Class, Base)                          \
 public:                                               \
  using inherited = Base;                              \
  static const ::vx::TClassInfo& StaticClassInfo();    \
  const ::vx::TClassInfo& ClassInfo() const override { \
    return StaticClassInfo();                          \
  }
