#include "platform/ui/typinfo.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/chars.h"
#include "platform/ui/classes.h"

namespace vx {

namespace {

struct NoCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
};

using TypeMap = std::map<std::string, std::unique_ptr<TTypeInfo>, NoCase>;

TTypeInfo& AddType(TypeMap& types, std::string_view name, TTypeKind kind) {
  auto t = std::make_unique<TTypeInfo>();
  t->Name = std::string(name);
  t->Kind = kind;
  auto& ref = *t;
  types.emplace(std::string(name), std::move(t));
  return ref;
}

// The registries live as long as the process (never destroyed), so that
// objects freed at its end can still be described.
TypeMap& Types() {
  static TypeMap& types = *new TypeMap([] {
    // The platform's basic types, so that declarations by name find them.
    TypeMap m;
    AddType(m, "Boolean", tkEnumeration).Names = {"False", "True"};
    AddType(m, "Integer", tkInteger);
    AddType(m, "Cardinal", tkInteger);
    AddType(m, "Int64", tkInt64);
    AddType(m, "Char", tkChar);
    AddType(m, "WideChar", tkChar);
    AddType(m, "string", tkString);
    AddType(m, "WideString", tkString);
    AddType(m, "Double", tkFloat);
    AddType(m, "Extended", tkFloat);
    AddType(m, "Variant", tkVariant);
    return m;
  }());
  return types;
}

std::map<std::string, std::unique_ptr<TClassInfo>, NoCase>& Classes() {
  static auto* classes = new std::map<std::string, std::unique_ptr<TClassInfo>, NoCase>();
  return *classes;
}

TTypeInfo& MutableType(std::string_view name, TTypeKind kind) {
  auto& types = Types();
  auto it = types.find(name);
  if (it != types.end()) return *it->second;
  return AddType(types, name, kind);
}

[[noreturn]] void KindError(const TPropInfo& prop) {
  throw EPropertyError(Format("Invalid property type: %s", prop.Name));
}
[[noreturn]] void ReadOnlyError(const TPropInfo& prop) {
  throw EPropertyError(Format("Property %s is read-only", prop.Name));
}

}  // namespace

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    if (c == &other) return true;
  return false;
}

const TPropInfo* TClassInfo::FindDeclared(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (const auto& p : c->Props)
      if (SameText(p->Name, name)) return p.get();
  return nullptr;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
  // The nearest declaration decides: a published re-declaration in a
  // descendant wins over the ancestor's unpublished one.
  const TPropInfo* p = FindDeclared(name);
  return p && p->Published ? p : nullptr;
}

TMethodBinder TClassInfo::FindMethod(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (const auto& [method_name, binder] : c->Methods)
      if (SameText(method_name, name)) return binder;
  return nullptr;
}

TMethod FindMethod(TObject* obj, std::string_view name) {
  if (!obj) return {};
  TMethodBinder binder = obj->ClassInfo().FindMethod(name);
  return binder ? binder(*obj) : TMethod{};
}

void PublishInherited(TClassInfo& info, std::string_view name) {
  const TPropInfo* base = info.Parent ? info.Parent->FindDeclared(name) : nullptr;
  if (!base) throw EPropertyError(Format("%s cannot publish unknown property %s", info.Name, name));
  auto p = std::make_unique<TPropInfo>(*base);
  p->Published = true;
  p->DeclaringClass = &info;
  info.Props.push_back(std::move(p));
}

const TTypeInfo* FindTypeInfo(std::string_view name) {
  auto& types = Types();
  auto it = types.find(name);
  return it == types.end() ? nullptr : it->second.get();
}

const TTypeInfo& RegisterType(std::string_view name, TTypeKind kind) {
  return MutableType(name, kind);
}

const TTypeInfo& RegisterEnumType(std::string_view name, std::initializer_list<const char*> names) {
  TTypeInfo& t = MutableType(name, tkEnumeration);
  if (t.Names.empty())
    for (const char* n : names)
      t.Names.emplace_back(n);
  return t;
}

const TTypeInfo& RegisterSetType(std::string_view name, const TTypeInfo& element_type) {
  TTypeInfo& t = MutableType(name, tkSet);
  t.CompType = &element_type;
  return t;
}

void RegisterIntegerConsts(std::string_view type_name,
                           std::initializer_list<std::pair<const char*, std::int64_t>> idents) {
  TTypeInfo& t = MutableType(type_name, tkInteger);
  for (const auto& [ident, value] : idents)
    t.Idents.emplace_back(ident, value);
}

bool IdentToInt(const TTypeInfo& type, std::string_view ident, std::int64_t& value) {
  for (const auto& [name, v] : type.Idents)
    if (SameText(name, ident)) {
      value = v;
      return true;
    }
  return false;
}

bool IntToIdent(const TTypeInfo& type, std::int64_t value, std::string& ident) {
  for (const auto& [name, v] : type.Idents)
    if (v == value) {
      ident = name;
      return true;
    }
  return false;
}

const TClassInfo* FindClassInfo(std::string_view name) {
  static const bool standard = (RegisterStandardClasses(), true);
  (void)standard;
  auto& classes = Classes();
  auto it = classes.find(name);
  return it == classes.end() ? nullptr : it->second.get();
}

TClassInfo& NewClassInfo(std::string_view name, const TClassInfo* parent) {
  auto info = std::make_unique<TClassInfo>();
  info->Name = std::string(name);
  info->Parent = parent;
  info->Type = &MutableType(name, tkClass);
  auto& ref = *info;
  // A second definition under the same name (a class in two libraries) keeps
  // the first in the by-name registry; both stay valid.
  auto [it, inserted] = Classes().emplace(std::string(name), std::move(info));
  if (!inserted) {
    static auto* shadowed = new std::vector<std::unique_ptr<TClassInfo>>();
    shadowed->push_back(std::move(info));
    return *shadowed->back();
  }
  return ref;
}

std::string GetEnumName(const TTypeInfo& type, std::int64_t value) {
  if (value < 0 || value >= static_cast<std::int64_t>(type.Names.size())) return IntToStr(value);
  return type.Names[static_cast<std::size_t>(value)];
}

int GetEnumValue(const TTypeInfo& type, std::string_view name) {
  for (std::size_t i = 0; i < type.Names.size(); ++i)
    if (SameText(type.Names[i], name)) return static_cast<int>(i);
  return -1;
}

std::string SetToString(const TTypeInfo& set_type, std::int64_t bits, bool brackets) {
  std::string out;
  const TTypeInfo* e = set_type.CompType;
  for (int i = 0; i < 32; ++i) {
    if (!(bits & (std::int64_t{1} << i))) continue;
    if (!out.empty()) out += ',';
    out += e ? GetEnumName(*e, i) : IntToStr(i);
  }
  return brackets ? "[" + out + "]" : out;
}

std::int64_t StringToSet(const TTypeInfo& set_type, std::string_view text) {
  std::string s = Trim(text);
  if (!s.empty() && s.front() == '[') {
    if (s.back() != ']') throw EPropertyConvertError(Format("Invalid property value: %s", s));
    s = s.substr(1, s.size() - 2);
  }
  std::int64_t bits = 0;
  std::size_t pos = 0;
  while (pos <= s.size()) {
    std::size_t comma = s.find(',', pos);
    if (comma == std::string::npos) comma = s.size();
    std::string item = Trim(std::string_view(s).substr(pos, comma - pos));
    if (!item.empty()) {
      int v = set_type.CompType ? GetEnumValue(*set_type.CompType, item) : -1;
      if (v < 0 || v > 31)
        throw EPropertyConvertError(Format("Invalid property element: %s", item));
      bits |= std::int64_t{1} << v;
    }
    pos = comma + 1;
  }
  return bits;
}

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
  if (!obj || name.empty()) return nullptr;
  return obj->ClassInfo().FindProp(name);
}

std::vector<const TPropInfo*> GetPropList(const TObject& obj) {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = &obj.ClassInfo(); c; c = c->Parent)
    chain.push_back(c);
  std::vector<const TPropInfo*> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (const auto& p : (*it)->Props) {
      // A re-declaration replaces the ancestor's entry in place.
      auto same = std::find_if(out.begin(), out.end(),
                               [&](const TPropInfo* q) { return SameText(q->Name, p->Name); });
      if (same != out.end())
        *same = p.get();
      else
        out.push_back(p.get());
    }
  std::erase_if(out, [](const TPropInfo* p) { return !p->Published; });
  return out;
}

bool IsOrdinalKind(TTypeKind k) {
  return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet || k == tkInt64;
}

std::int64_t GetOrdProp(TObject& obj, const TPropInfo& prop) {
  if (!prop.GetOrd) KindError(prop);
  return prop.GetOrd(obj);
}
void SetOrdProp(TObject& obj, const TPropInfo& prop, std::int64_t value) {
  if (!IsOrdinalKind(prop.Kind())) KindError(prop);
  if (!prop.SetOrd) ReadOnlyError(prop);
  prop.SetOrd(obj, value);
}
std::string GetStrProp(TObject& obj, const TPropInfo& prop) {
  if (!prop.GetStr) KindError(prop);
  return prop.GetStr(obj);
}
void SetStrProp(TObject& obj, const TPropInfo& prop, const std::string& value) {
  if (prop.Kind() != tkString) KindError(prop);
  if (!prop.SetStr) ReadOnlyError(prop);
  prop.SetStr(obj, value);
}
double GetFloatProp(TObject& obj, const TPropInfo& prop) {
  if (!prop.GetFloat) KindError(prop);
  return prop.GetFloat(obj);
}
void SetFloatProp(TObject& obj, const TPropInfo& prop, double value) {
  if (prop.Kind() != tkFloat) KindError(prop);
  if (!prop.SetFloat) ReadOnlyError(prop);
  prop.SetFloat(obj, value);
}
TObject* GetObjectProp(TObject& obj, const TPropInfo& prop) {
  if (!prop.GetObj) KindError(prop);
  return prop.GetObj(obj);
}
void SetObjectProp(TObject& obj, const TPropInfo& prop, TObject* value) {
  if (prop.Kind() != tkClass) KindError(prop);
  if (!prop.SetObj) ReadOnlyError(prop);
  prop.SetObj(obj, value);
}
TMethod GetMethodProp(TObject& obj, const TPropInfo& prop) {
  if (!prop.GetMethod) KindError(prop);
  return prop.GetMethod(obj);
}
void SetMethodProp(TObject& obj, const TPropInfo& prop, const TMethod& value) {
  if (prop.Kind() != tkMethod) KindError(prop);
  if (!prop.SetMethod) ReadOnlyError(prop);
  prop.SetMethod(obj, value);
}

Variant GetPropValue(TObject& obj, const TPropInfo& prop) {
  const TTypeInfo& t = *prop.PropType;
  switch (t.Kind) {
    case tkInteger: {
      std::int64_t v = GetOrdProp(obj, prop);
      if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<std::int32_t>(v));
      return Variant(v);
    }
    case tkInt64:
      return Variant(GetOrdProp(obj, prop));
    case tkChar:
      return Variant(CodePointToUtf8(static_cast<char32_t>(GetOrdProp(obj, prop))));
    case tkEnumeration: {
      std::int64_t v = GetOrdProp(obj, prop);
      if (SameText(t.Name, "Boolean")) return Variant(v != 0);
      return Variant(GetEnumName(t, v));
    }
    case tkSet:
      return Variant(SetToString(t, GetOrdProp(obj, prop)));
    case tkFloat:
      return Variant(GetFloatProp(obj, prop));
    case tkString:
      return Variant(GetStrProp(obj, prop));
    case tkVariant:
      return prop.GetVar ? prop.GetVar(obj) : Variant();
    default:
      return Variant();
  }
}

void SetPropValue(TObject& obj, const TPropInfo& prop, const Variant& value) {
  const TTypeInfo& t = *prop.PropType;
  switch (t.Kind) {
    case tkInteger:
    case tkInt64:
      SetOrdProp(obj, prop, value.ToInt64());
      break;
    case tkChar:
      if (value.IsString()) {
        std::u32string chars = CodePoints(value.ToText());
        SetOrdProp(obj, prop, chars.empty() ? 0 : chars[0]);
      } else {
        SetOrdProp(obj, prop, value.ToInt64());
      }
      break;
    case tkEnumeration:
      if (value.IsString()) {
        int v = GetEnumValue(t, Trim(value.ToText()));
        if (v < 0)
          throw EPropertyConvertError(Format("Invalid property element: %s", value.ToText()));
        SetOrdProp(obj, prop, v);
      } else if (SameText(t.Name, "Boolean")) {
        SetOrdProp(obj, prop, value.ToBool() ? 1 : 0);
      } else {
        std::int64_t v = value.ToInt64();
        if (v < 0 || v >= static_cast<std::int64_t>(t.Names.size()))
          throw EPropertyConvertError(Format("Invalid property value: %s", IntToStr(v)));
        SetOrdProp(obj, prop, v);
      }
      break;
    case tkSet:
      SetOrdProp(obj, prop, value.IsString() ? StringToSet(t, value.ToText()) : value.ToInt64());
      break;
    case tkFloat:
      SetFloatProp(obj, prop, value.ToDouble());
      break;
    case tkString:
      SetStrProp(obj, prop, VarToStr(value));
      break;
    case tkVariant:
      if (!prop.SetVar) ReadOnlyError(prop);
      prop.SetVar(obj, value);
      break;
    default:
      throw EPropertyConvertError(Format("Invalid property value for %s", prop.Name));
  }
}

}  // namespace vx
