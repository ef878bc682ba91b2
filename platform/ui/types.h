#pragma once
// Small value types shared by the UI model: window handles, messages, points
// and rectangles, and a bit set over an enumeration (the platform's "set of").
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace vx {

// Opaque window handle; 0 is "no window". Handles are never reused within a
// process, so a stale handle finds nothing instead of a different window.
using HWND = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
  unsigned Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// "set of E" for an enumeration whose values are 0..31.
template <class E>
class TSet {
  static_assert(std::is_enum_v<E>);

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  static constexpr TSet FromBits(std::uint32_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr std::uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
  std::uint32_t bits_ = 0;
};

enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
constexpr TShiftStateItem ssShift = TShiftStateItem::ssShift;
constexpr TShiftStateItem ssAlt = TShiftStateItem::ssAlt;
constexpr TShiftStateItem ssCtrl = TShiftStateItem::ssCtrl;

// Key codes are the platform's virtual-key numbers.
using Word = std::uint16_t;
// A typed character is a Unicode code point; 0 means "consumed".
using TKeyChar = char32_t;

}  // namespace vx
