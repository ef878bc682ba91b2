#include "lang/code_converter.h"

#include "env/sorvenda_ini.h"
#include "lib/edition.h"
#include "lib/props.h"
#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TCodeConverter::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCodeConverter>("TCodeConverter", [](auto& r) {
    RegisterEnumType("TDesignType", {"dtClient", "dtServer"});
    r.template Ord<&TCodeConverter::DesignType, &TCodeConverter::SetDesignType>("DesignType",
                                                                                "TDesignType");
  });
  return info;
}

TCodeConverter::TCodeConverter(TComponent* owner, TDesignType design_type)
    : TComponent(owner), design_type_(design_type) {
  LoadCodePages();
  CreateTranslator();
}

TCodeConverter::TCodeConverter(TComponent* owner, const TCodePageSettings& settings)
    : TComponent(owner), settings_(settings) {
  CreateTranslator();
}

TCodeConverter::~TCodeConverter() = default;

void TCodeConverter::LoadCodePages() {
  auto copy = [this](const TSorvendaIniBase& ini) {
    settings_.SysCodePage = ini.SysCodePage;
    settings_.UICodePage = ini.UICodePage;
    settings_.DBCodePage = ini.DBCodePage;
    settings_.UIConvertMode = ini.UIConvertMode;
    settings_.DBConvertMode = ini.DBConvertMode;
  };
  if (design_type_ == dtServer)
    copy(TSorvendaIniS());
  else
    copy(TSorvendaIniC());
}

void TCodeConverter::CreateTranslator() {
  if (settings_.UIConvertMode != 0) translator_ = std::make_unique<TTranslator>();
}

Variant TCodeConverter::ConvertText(int direction, const Variant& value) const {
  if (!value.IsString() || (direction != 1 && direction != 2)) return value;
  std::string text = value.IsWideString() ? Utf16ToUtf8(*value.WidePtr()) : *value.AnsiPtr();
  std::string converted = direction == 1 ? Big5ToGB(text) : GBToBig5(text);
  if (value.IsWideString()) return Variant(Utf8ToUtf16(converted));
  return Variant(std::move(converted));
}

Variant TCodeConverter::Convert(int direction, const Variant& value) const {
  if (direction == 0 || !translator_ || VarIsEmptyOrNull(value)) return value;
  if (value.IsArray()) return ConvertArray(direction, value);
  return ConvertText(direction, value);
}

Variant TCodeConverter::ConvertArray(int direction, const Variant& value) const {
  Variant result = value;
  if (!result.IsArray()) return result;
  if (result.DimCount() == 1) {
    for (int i = result.LowBound(1); i <= result.HighBound(1); ++i) {
      Variant& e = result[i];
      e = e.IsArray() ? Convert(direction, e) : ConvertText(direction, e);
    }
  } else if (result.DimCount() == 2) {
    for (int i = result.LowBound(1); i <= result.HighBound(1); ++i)
      for (int j = result.LowBound(2); j <= result.HighBound(2); ++j) {
        Variant& e = result.At({i, j});
        e = Convert(direction, e);
      }
  }
  return result;
}

// The earlier edition has neither ToUI nor DBToUI: values pass unchanged there.
Variant TCodeConverter::ToUI(const Variant& value) const {
  if (IsEarlierEdition()) return value;
  return Convert(settings_.UIConvertMode, value);
}

Variant TCodeConverter::DBToUI(const Variant& value) const {
  if (IsEarlierEdition()) return value;
  return Convert(settings_.DBConvertMode, value);
}

// Mode 1 is undone by direction 2 and mode 2 by direction 1.
Variant TCodeConverter::Inverse(std::uint8_t mode, const Variant& value) const {
  try {
    if (mode == 1) return Convert(2, value);
    if (mode == 2) return Convert(1, value);
  } catch (...) {
  }
  return value;
}

Variant TCodeConverter::FromUI(const Variant& value) const {
  return Inverse(settings_.UIConvertMode, value);
}

Variant TCodeConverter::UIToDB(const Variant& value) const {
  return Inverse(settings_.DBConvertMode, value);
}

std::string TCodeConverter::Big5ToGB(const std::string& text) const {
  if (text.empty() || !translator_) return text;
  return translator_->Big5ToGB(text);
}

std::string TCodeConverter::GBToBig5(const std::string& text) const {
  if (text.empty() || !translator_) return text;
  return translator_->GBToBig5(text);
}

}  // namespace vx

namespace vx {

bool TCodeConverter::HasPropertyOfType(const TComponent* component, std::string_view property_name,
                                       std::string_view type_name) {
  return ::vx::HasPropertyOfType(component, property_name, type_name);
}

}  // namespace vx
