#pragma once
// The automation variant: one value type for everything that crosses an
// automation boundary (parameter arrays, late-bound calls, server answers).
// Value semantics: a copy of an array is an independent array.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"

namespace vx {

class IDispatch;
using DispatchPtr = std::shared_ptr<IDispatch>;

// Type codes as the automation platform numbers them; an array reports
// varArray | varVariant.
enum VarTypeCode : std::uint16_t {
  varEmpty = 0x0000,
  varNull = 0x0001,
  varSmallint = 0x0002,
  varInteger = 0x0003,
  varDouble = 0x0005,
  varDate = 0x0007,
  varOleStr = 0x0008,
  varDispatch = 0x0009,
  varBoolean = 0x000B,
  varVariant = 0x000C,
  varByte = 0x0011,
  varInt64 = 0x0014,
  varString = 0x0100,
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
};

VX_DECLARE_EXCEPTION(EVariantError, Exception);
// A value cannot be converted to the requested type.
VX_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError);
// A converted number does not fit the requested type.
VX_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError);
// An array index or dimension outside the array's bounds, or array access on a
// value that is not an array.
VX_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError);

struct ArrayBound {
  int Low = 0;
  int High = -1;
  int Count() const { return High >= Low ? High - Low + 1 : 0; }
  bool operator==(const ArrayBound&) const = default;
};

class Variant;
struct VariantArray;

class Variant {
 public:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };

  Variant() = default;
  Variant(NullTag) : v_(NullTag{}) {}
  Variant(std::int16_t v) : v_(v) {}
  Variant(std::int32_t v) : v_(v) {}
  Variant(std::int64_t v) : v_(v) {}
  Variant(std::uint8_t v) : v_(v) {}
  Variant(bool v) : v_(v) {}
  Variant(double v) : v_(v) {}
  Variant(TDateTime v) : v_(v) {}
  Variant(std::string v) : v_(std::move(v)) {}
  Variant(std::string_view v) : v_(std::string(v)) {}
  Variant(const char* v) : v_(std::string(v)) {}
  Variant(std::u16string v) : v_(std::move(v)) {}
  Variant(const char16_t* v) : v_(std::u16string(v)) {}
  Variant(DispatchPtr v) : v_(std::move(v)) {}
  // Any other pointer would silently become a boolean.
  Variant(const void*) = delete;

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept = default;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept = default;
  ~Variant();

  static Variant Null() { return Variant(NullTag{}); }

  std::uint16_t VarType() const;
  bool IsEmpty() const { return v_.index() == 0; }
  bool IsNull() const { return std::holds_alternative<NullTag>(v_); }
  bool IsArray() const { return std::holds_alternative<ArrayBox>(v_); }
  bool IsAnsiString() const { return std::holds_alternative<std::string>(v_); }
  bool IsWideString() const { return std::holds_alternative<std::u16string>(v_); }
  bool IsString() const { return IsAnsiString() || IsWideString(); }
  bool IsDispatch() const { return std::holds_alternative<DispatchPtr>(v_); }
  bool IsNumeric() const;  // integers, booleans excluded, doubles
  // Name of the type as conversion errors print it ("Integer", "OleStr", ...).
  std::string TypeName() const;

  // Conversions by the automation rules; each raises EVariantTypeCastError
  // (or EVariantOverflowError) when the value cannot become that type. Empty
  // converts to 0 / "" / False; Null converts to nothing.
  std::string ToText() const;
  std::u16string ToWide() const;
  std::int32_t ToInt() const;
  std::int64_t ToInt64() const;
  bool ToBool() const;
  double ToDouble() const;
  TDateTime ToDate() const;
  DispatchPtr ToDispatch() const;

  // Direct access to a held string (UTF-8 / UTF-16); nullptr for other types.
  const std::string* AnsiPtr() const { return std::get_if<std::string>(&v_); }
  const std::u16string* WidePtr() const { return std::get_if<std::u16string>(&v_); }

  // Arrays. Dimensions are numbered from 1 as the platform does.
  int DimCount() const;
  int LowBound(int dim = 1) const;
  int HighBound(int dim = 1) const;
  // One-dimensional element access; raises EVariantBadIndexError.
  Variant& operator[](int index);
  const Variant& operator[](int index) const;
  // Element access with one index per dimension.
  Variant& At(std::initializer_list<int> indexes);
  const Variant& At(std::initializer_list<int> indexes) const;
  Variant& At(const std::vector<int>& indexes);
  const Variant& At(const std::vector<int>& indexes) const;
  // Changes the high bound of the last dimension, keeping every element whose
  // indexes still exist.
  void Redim(int new_high);
  const std::vector<ArrayBound>& Bounds() const;

  // Same type and same value (arrays element by element).
  bool operator==(const Variant& other) const;

 private:
  friend Variant VarArrayCreate(std::vector<ArrayBound> bounds);
  friend struct VariantArray;

  class ArrayBox {
   public:
    ArrayBox();
    explicit ArrayBox(std::vector<ArrayBound> bounds);
    ArrayBox(const ArrayBox& other);
    ArrayBox(ArrayBox&&) noexcept;
    ArrayBox& operator=(const ArrayBox& other);
    ArrayBox& operator=(ArrayBox&&) noexcept;
    ~ArrayBox();
    VariantArray& get() const { return *p_; }

   private:
    std::unique_ptr<VariantArray> p_;
  };

  VariantArray& Array() const;
  [[noreturn]] void CastError(const char* target) const;

  std::variant<std::monostate, NullTag, std::int16_t, std::int32_t, std::int64_t, std::uint8_t,
               bool, double, TDateTime, std::string, std::u16string, DispatchPtr, ArrayBox>
      v_;
};

// Elements stored with the first index varying fastest, so that growing the
// last dimension only appends.
struct VariantArray {
  std::vector<ArrayBound> Bounds;
  std::vector<Variant> Items;
};

inline const Variant Unassigned{};

// An array of empty elements with one bound pair per dimension.
Variant VarArrayCreate(std::vector<ArrayBound> bounds);
// One-dimensional array low..high.
inline Variant VarArrayCreate(int low, int high) {
  return VarArrayCreate({{low, high}});
}
// One-dimensional array with lower bound 0 holding the given values.
Variant VarArrayOf(std::initializer_list<Variant> values);

bool VarIsEmpty(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmptyOrNull(const Variant& v);
bool VarIsArray(const Variant& v);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
void VarArrayRedim(Variant& v, int high);
// Text of a value; Empty and Null give an empty text.
std::string VarToStr(const Variant& v);
std::u16string VarToWideStr(const Variant& v);

}  // namespace vx
