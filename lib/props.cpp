#include "lib/props.h"

#include "platform/rtl/text.h"

namespace vx {

bool HasProperty(const TObject* obj, std::string_view name) {
  return GetPropInfo(obj, name) != nullptr;
}

bool HasPropertyOfType(const TObject* obj, std::string_view name, std::string_view type_name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p && p->PropType && SameText(p->PropType->Name, type_name);
}

std::string GetStrProperty(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p) return {};
  try {
    return VarToStr(GetPropValue(*obj, *p));
  } catch (const std::exception&) {
    return {};
  }
}

void SetStrProperty(TObject* obj, std::string_view name, std::string_view value) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !p->Writable()) return;
  try {
    SetPropValue(*obj, *p, Variant(value));
  } catch (const std::exception&) {
    // The text does not fit the property: nothing is changed.
  }
}

std::int64_t GetOrdProperty(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !IsOrdinalKind(p->Kind()) || !p->GetOrd) return 0;
  return p->GetOrd(*obj);
}

void SetOrdProperty(TObject* obj, std::string_view name, std::int64_t value) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !IsOrdinalKind(p->Kind()) || !p->SetOrd) return;
  if (p->Kind() == tkEnumeration &&
      (value < 0 || value >= static_cast<std::int64_t>(p->PropType->Names.size())))
    return;
  p->SetOrd(*obj, value);
}

TMethod GetMethodProperty(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || p->Kind() != tkMethod) return {};
  return p->GetMethod(*obj);
}

void SetMethodProperty(TObject* obj, std::string_view name, const TMethod& value) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || p->Kind() != tkMethod || !p->SetMethod) return;
  p->SetMethod(*obj, value);
}

TObject* GetObjectProperty(TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || p->Kind() != tkClass) return nullptr;
  return p->GetObj(*obj);
}

void SetPropertyByPath(TObject* obj, std::string_view path, const Variant& value) {
  std::size_t dot = path.find('.');
  if (dot != std::string_view::npos) {
    std::string head = Trim(path.substr(0, dot));
    const TPropInfo* p = GetPropInfo(obj, head);
    if (!p) throw EPropertyError(Format("Property %s does not exist", head));
    if (p->Kind() != tkClass)
      throw EPropertyError(Format("Property %s does not hold an object", head));
    TObject* inner = p->GetObj(*obj);
    if (!inner) throw EPropertyError(Format("Property %s holds no object", head));
    SetPropertyByPath(inner, path.substr(dot + 1), value);
    return;
  }
  const TPropInfo* p = GetPropInfo(obj, Trim(path));
  if (!p) return;
  switch (p->Kind()) {
    case tkInteger:
    case tkInt64: {
      std::int64_t mapped = 0;
      if (!value.IsArray() && IdentToInt(*p->PropType, VarToStr(value), mapped)) {
        SetOrdProp(*obj, *p, mapped);
        return;
      }
      break;
    }
    case tkEnumeration:
    case tkSet:
      if (value.IsString()) {
        SetPropValue(*obj, *p, Variant(Trim(value.ToText())));
        return;
      }
      break;
    default:
      break;
  }
  SetPropValue(*obj, *p, value);
}

bool TrySetPropertyByPath(TObject* obj, std::string_view path, const Variant& value) noexcept {
  try {
    SetPropertyByPath(obj, path, value);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace vx
