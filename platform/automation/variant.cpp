#include "platform/automation/variant.h"

#include <cmath>
#include <limits>

#include "platform/automation/dispatch.h"
#include "platform/rtl/text.h"

namespace vx {

Variant::ArrayBox::ArrayBox() : p_(std::make_unique<VariantArray>()) {}
Variant::ArrayBox::ArrayBox(std::vector<ArrayBound> bounds) : p_(std::make_unique<VariantArray>()) {
  std::size_t total = bounds.empty() ? 0 : 1;
  for (const auto& b : bounds)
    total *= static_cast<std::size_t>(b.Count());
  p_->Bounds = std::move(bounds);
  p_->Items.resize(total);
}
Variant::ArrayBox::ArrayBox(const ArrayBox& other)
    : p_(std::make_unique<VariantArray>(*other.p_)) {}
Variant::ArrayBox::ArrayBox(ArrayBox&&) noexcept = default;
Variant::ArrayBox& Variant::ArrayBox::operator=(const ArrayBox& other) {
  if (this != &other) p_ = std::make_unique<VariantArray>(*other.p_);
  return *this;
}
Variant::ArrayBox& Variant::ArrayBox::operator=(ArrayBox&&) noexcept = default;
Variant::ArrayBox::~ArrayBox() = default;

Variant::Variant(const Variant& other) = default;
Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    // Copy first: other may be an element of this value's own array.
    auto copy = other.v_;
    v_ = std::move(copy);
  }
  return *this;
}
Variant::~Variant() = default;

std::uint16_t Variant::VarType() const {
  static const std::uint16_t kCodes[] = {varEmpty,
                                         varNull,
                                         varSmallint,
                                         varInteger,
                                         varInt64,
                                         varByte,
                                         varBoolean,
                                         varDouble,
                                         varDate,
                                         varString,
                                         varOleStr,
                                         varDispatch,
                                         varArray | varVariant};
  return kCodes[v_.index()];
}

bool Variant::IsNumeric() const {
  return std::holds_alternative<std::int16_t>(v_) || std::holds_alternative<std::int32_t>(v_) ||
         std::holds_alternative<std::int64_t>(v_) || std::holds_alternative<std::uint8_t>(v_) ||
         std::holds_alternative<double>(v_);
}

std::string Variant::TypeName() const {
  static const char* const kNames[] = {"Empty",  "Null",     "Smallint",     "Integer", "Int64",
                                       "Byte",   "Boolean",  "Double",       "Date",    "String",
                                       "OleStr", "Dispatch", "Array Variant"};
  return kNames[v_.index()];
}

void Variant::CastError(const char* target) const {
  throw EVariantTypeCastError(
      Format("Could not convert variant of type (%s) into type (%s)", TypeName(), target));
}

namespace {

// Banker's rounding, as the automation conversions round.
double RoundHalfEven(double v) {
  return std::nearbyint(v);
}

template <class T>
T FromDouble(double d, const Variant& self, const char* target) {
  double r = RoundHalfEven(d);
  if (std::isnan(r) || r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r >= -static_cast<double>(std::numeric_limits<T>::min()))
    throw EVariantOverflowError(Format(
        "Overflow while converting variant of type (%s) into type (%s)", self.TypeName(), target));
  return static_cast<T>(r);
}

std::optional<double> NumberFromText(const std::string& s) {
  if (auto i = TryStrToInt64(s)) return static_cast<double>(*i);
  return TryStrToFloat(s, FormatSettings().DecimalSeparator);
}

}  // namespace

std::string Variant::ToText() const {
  struct V {
    const Variant& self;
    std::string operator()(std::monostate) const { return ""; }
    std::string operator()(NullTag) const { self.CastError("String"); }
    std::string operator()(std::int16_t v) const { return IntToStr(v); }
    std::string operator()(std::int32_t v) const { return IntToStr(v); }
    std::string operator()(std::int64_t v) const { return IntToStr(v); }
    std::string operator()(std::uint8_t v) const { return IntToStr(v); }
    std::string operator()(bool v) const { return v ? "True" : "False"; }
    std::string operator()(double v) const {
      return FloatToStr(v, FormatSettings().DecimalSeparator);
    }
    std::string operator()(TDateTime v) const { return DateTimeToStr(v); }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const std::u16string& v) const { return Utf16ToUtf8(v); }
    std::string operator()(const DispatchPtr&) const { self.CastError("String"); }
    std::string operator()(const ArrayBox&) const { self.CastError("String"); }
  };
  return std::visit(V{*this}, v_);
}

std::u16string Variant::ToWide() const {
  if (auto* w = WidePtr()) return *w;
  return Utf8ToUtf16(ToText());
}

std::int64_t Variant::ToInt64() const {
  struct V {
    const Variant& self;
    std::int64_t operator()(std::monostate) const { return 0; }
    std::int64_t operator()(NullTag) const { self.CastError("Int64"); }
    std::int64_t operator()(std::int16_t v) const { return v; }
    std::int64_t operator()(std::int32_t v) const { return v; }
    std::int64_t operator()(std::int64_t v) const { return v; }
    std::int64_t operator()(std::uint8_t v) const { return v; }
    std::int64_t operator()(bool v) const { return v ? -1 : 0; }
    std::int64_t operator()(double v) const { return FromDouble<std::int64_t>(v, self, "Int64"); }
    std::int64_t operator()(TDateTime v) const {
      return FromDouble<std::int64_t>(v.Value, self, "Int64");
    }
    std::int64_t operator()(const std::string& v) const { return FromTextValue(v); }
    std::int64_t operator()(const std::u16string& v) const { return FromTextValue(Utf16ToUtf8(v)); }
    std::int64_t operator()(const DispatchPtr&) const { self.CastError("Int64"); }
    std::int64_t operator()(const ArrayBox&) const { self.CastError("Int64"); }
    std::int64_t FromTextValue(const std::string& s) const {
      if (auto i = TryStrToInt64(s)) return *i;
      if (auto d = TryStrToFloat(s, FormatSettings().DecimalSeparator))
        return FromDouble<std::int64_t>(*d, self, "Int64");
      self.CastError("Int64");
    }
  };
  return std::visit(V{*this}, v_);
}

std::int32_t Variant::ToInt() const {
  if (IsNull()) CastError("Integer");
  if (IsDispatch() || IsArray()) CastError("Integer");
  if (auto* d = std::get_if<double>(&v_)) return FromDouble<std::int32_t>(*d, *this, "Integer");
  std::int64_t v = ToInt64();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw EVariantOverflowError(
        Format("Overflow while converting variant of type (%s) into type (Integer)", TypeName()));
  return static_cast<std::int32_t>(v);
}

bool Variant::ToBool() const {
  if (auto* b = std::get_if<bool>(&v_)) return *b;
  if (IsEmpty()) return false;
  if (IsNull() || IsDispatch() || IsArray()) CastError("Boolean");
  if (IsString()) {
    std::string s = Trim(ToText());
    if (SameText(s, "True")) return true;
    if (SameText(s, "False")) return false;
    if (auto d = NumberFromText(s)) return *d != 0;
    CastError("Boolean");
  }
  return ToDouble() != 0;
}

double Variant::ToDouble() const {
  struct V {
    const Variant& self;
    double operator()(std::monostate) const { return 0; }
    double operator()(NullTag) const { self.CastError("Double"); }
    double operator()(std::int16_t v) const { return v; }
    double operator()(std::int32_t v) const { return v; }
    double operator()(std::int64_t v) const { return static_cast<double>(v); }
    double operator()(std::uint8_t v) const { return v; }
    double operator()(bool v) const { return v ? -1 : 0; }
    double operator()(double v) const { return v; }
    double operator()(TDateTime v) const { return v.Value; }
    double operator()(const std::string& v) const { return FromTextValue(v); }
    double operator()(const std::u16string& v) const { return FromTextValue(Utf16ToUtf8(v)); }
    double operator()(const DispatchPtr&) const { self.CastError("Double"); }
    double operator()(const ArrayBox&) const { self.CastError("Double"); }
    double FromTextValue(const std::string& s) const {
      if (auto d = NumberFromText(s)) return *d;
      self.CastError("Double");
    }
  };
  return std::visit(V{*this}, v_);
}

TDateTime Variant::ToDate() const {
  if (auto* d = std::get_if<TDateTime>(&v_)) return *d;
  if (IsString()) {
    TDateTime r;
    if (TryStrToDateTime(ToText(), r)) return r;
    if (auto d = NumberFromText(Trim(ToText()))) return TDateTime(*d);
    CastError("Date");
  }
  if (IsNull() || IsDispatch() || IsArray()) CastError("Date");
  return TDateTime(ToDouble());
}

DispatchPtr Variant::ToDispatch() const {
  if (auto* d = std::get_if<DispatchPtr>(&v_)) return *d;
  if (IsEmpty()) return nullptr;
  CastError("Dispatch");
}

VariantArray& Variant::Array() const {
  if (auto* box = std::get_if<ArrayBox>(&v_)) return box->get();
  throw EVariantBadIndexError("Variant is not an array");
}

int Variant::DimCount() const {
  if (!IsArray()) return 0;
  return static_cast<int>(Array().Bounds.size());
}

const std::vector<ArrayBound>& Variant::Bounds() const {
  return Array().Bounds;
}

namespace {
const ArrayBound& BoundOf(const VariantArray& a, int dim) {
  if (dim < 1 || dim > static_cast<int>(a.Bounds.size()))
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
  return a.Bounds[static_cast<std::size_t>(dim - 1)];
}

template <class Indexes>
std::size_t Offset(const VariantArray& a, const Indexes& indexes) {
  if (indexes.size() != a.Bounds.size())
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
  std::size_t offset = 0, stride = 1, k = 0;
  for (int index : indexes) {
    const ArrayBound& b = a.Bounds[k++];
    if (index < b.Low || index > b.High)
      throw EVariantBadIndexError("Variant or safe array index out of bounds");
    offset += static_cast<std::size_t>(index - b.Low) * stride;
    stride *= static_cast<std::size_t>(b.Count());
  }
  return offset;
}
}  // namespace

int Variant::LowBound(int dim) const {
  return BoundOf(Array(), dim).Low;
}
int Variant::HighBound(int dim) const {
  return BoundOf(Array(), dim).High;
}

Variant& Variant::operator[](int index) {
  return At({index});
}
const Variant& Variant::operator[](int index) const {
  return At({index});
}
Variant& Variant::At(std::initializer_list<int> indexes) {
  VariantArray& a = Array();
  return a.Items[Offset(a, indexes)];
}
const Variant& Variant::At(std::initializer_list<int> indexes) const {
  const VariantArray& a = Array();
  return a.Items[Offset(a, indexes)];
}
Variant& Variant::At(const std::vector<int>& indexes) {
  VariantArray& a = Array();
  return a.Items[Offset(a, indexes)];
}
const Variant& Variant::At(const std::vector<int>& indexes) const {
  const VariantArray& a = Array();
  return a.Items[Offset(a, indexes)];
}

void Variant::Redim(int new_high) {
  VariantArray& a = Array();
  if (a.Bounds.empty()) throw EVariantBadIndexError("Variant or safe array index out of bounds");
  ArrayBound& last = a.Bounds.back();
  if (new_high < last.Low - 1)
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
  std::size_t inner = 1;
  for (std::size_t k = 0; k + 1 < a.Bounds.size(); ++k)
    inner *= static_cast<std::size_t>(a.Bounds[k].Count());
  last.High = new_high;
  a.Items.resize(inner * static_cast<std::size_t>(last.Count()));
}

bool Variant::operator==(const Variant& other) const {
  if (v_.index() != other.v_.index()) return false;
  return std::visit(
      [&](const auto& a) -> bool {
        using T = std::decay_t<decltype(a)>;
        const T& b = std::get<T>(other.v_);
        if constexpr (std::is_same_v<T, ArrayBox>)
          return a.get().Bounds == b.get().Bounds && a.get().Items == b.get().Items;
        else
          return a == b;
      },
      v_);
}

Variant VarArrayCreate(std::vector<ArrayBound> bounds) {
  if (bounds.empty()) throw EVariantBadIndexError("Variant array needs at least one dimension");
  for (const auto& b : bounds)
    if (b.High < b.Low - 1) throw EVariantBadIndexError("Invalid variant array bounds");
  Variant v;
  v.v_ = Variant::ArrayBox(std::move(bounds));
  return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  Variant v = VarArrayCreate(0, static_cast<int>(values.size()) - 1);
  int i = 0;
  for (const auto& item : values)
    v[i++] = item;
  return v;
}

bool VarIsEmpty(const Variant& v) {
  return v.IsEmpty();
}
bool VarIsNull(const Variant& v) {
  return v.IsNull();
}
bool VarIsEmptyOrNull(const Variant& v) {
  return v.IsEmpty() || v.IsNull();
}
bool VarIsArray(const Variant& v) {
  return v.IsArray();
}
int VarArrayDimCount(const Variant& v) {
  return v.DimCount();
}
int VarArrayLowBound(const Variant& v, int dim) {
  return v.LowBound(dim);
}
int VarArrayHighBound(const Variant& v, int dim) {
  return v.HighBound(dim);
}
void VarArrayRedim(Variant& v, int high) {
  v.Redim(high);
}
std::string VarToStr(const Variant& v) {
  return v.IsNull() ? std::string() : v.ToText();
}
std::u16string VarToWideStr(const Variant& v) {
  return v.IsNull() ? std::u16string() : v.ToWide();
}

}  // namespace vx
