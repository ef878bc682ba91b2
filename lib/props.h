#pragma once
// Property access by name through the published-property type information,
// so that generic code (code-page conversion, language files, form set-up)
// treats components of any class alike. A nil object or an empty name counts
// as a missing property; a missing property is skipped. Only
// SetPropertyByPath raises.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/variant.h"
#include "platform/ui/classes.h"

namespace vx {

// The class publishes a property of that name (ignoring case).
bool HasProperty(const TObject* obj, std::string_view name);
// ... whose declared type name is type_name (ignoring case).
bool HasPropertyOfType(const TObject* obj, std::string_view name, std::string_view type_name);

// The value as text: strings as they are, numbers in decimal, enumerations
// by identifier, sets as "[a,b]"; empty for a missing, object or event
// property.
std::string GetStrProperty(TObject* obj, std::string_view name);
// Sets the property from the text when it exists; a text the property
// cannot take is ignored.
void SetStrProperty(TObject* obj, std::string_view name, std::string_view value);
// Integer, enumeration, set or character value; 0 when missing or of
// another kind.
std::int64_t GetOrdProperty(TObject* obj, std::string_view name);
// Sets an ordinal property when it exists; an enumeration value outside the
// type is ignored.
void SetOrdProperty(TObject* obj, std::string_view name, std::int64_t value);
// The event handler {Code, Data}; a nil pair when missing.
TMethod GetMethodProperty(TObject* obj, std::string_view name);
void SetMethodProperty(TObject* obj, std::string_view name, const TMethod& value);
// The object held by an object-valued property; nullptr otherwise.
TObject* GetObjectProperty(TObject* obj, std::string_view name);

// "Font.Charset": every segment but the last names an object-valued
// property (raising EPropertyError when there is none); a missing last
// property is skipped. Integer properties take identifiers of their type
// ("clRed") or numbers; enumerations and sets take their (trimmed)
// identifiers; conversion failures raise.
void SetPropertyByPath(TObject* obj, std::string_view path, const Variant& value);
// SetPropertyByPath; false when it raised.
bool TrySetPropertyByPath(TObject* obj, std::string_view path, const Variant& value) noexcept;

}  // namespace vx
