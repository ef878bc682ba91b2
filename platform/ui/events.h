#pragma once
// Method pointers: an event property holds a pair {Code, Data} of plain
// pointers. Code is a function taking Data as its first argument; Data is the
// object whose member handles the event. Handlers can therefore be saved,
// compared and restored as two pointers, and read or written by name through
// the published-property registry.
#include <type_traits>
#include <utility>

#include "platform/ui/types.h"

namespace vx {

class TObject;

struct TMethod {
  void* Code = nullptr;
  void* Data = nullptr;
  bool Assigned() const { return Code != nullptr; }
  bool operator==(const TMethod&) const = default;
};

// A typed event: TEvent<TObject*> is the notify event. Invoking an unassigned
// event does nothing.
template <class... Args>
class TEvent {
 public:
  using Function = void (*)(void* data, Args...);

  TEvent() = default;
  explicit TEvent(TMethod m) : m_(m) {}
  TEvent(std::nullptr_t) {}  // NOLINT: "event = nullptr" clears it

  // A plain function with its data pointer.
  static TEvent FromFunction(Function fn, void* data) {
    return TEvent(TMethod{reinterpret_cast<void*>(fn), data});
  }
  // A member function M of obj; Code is the same for every binding of M.
  template <auto M, class C>
  static TEvent Bind(C* obj) {
    return FromFunction(&CallMember<M, C>, static_cast<void*>(obj));
  }

  bool Assigned() const { return m_.Code != nullptr; }
  explicit operator bool() const { return Assigned(); }
  const TMethod& Method() const { return m_; }
  void SetMethod(const TMethod& m) { m_ = m; }
  bool operator==(const TEvent&) const = default;

  template <class... A>
  void operator()(A&&... a) const {
    if (m_.Code) reinterpret_cast<Function>(m_.Code)(m_.Data, std::forward<A>(a)...);
  }

 private:
  template <auto M, class C>
  static void CallMember(void* data, Args... a) {
    (static_cast<C*>(data)->*M)(std::forward<Args>(a)...);
  }
  TMethod m_;
};

namespace detail {
template <class T>
struct MemberEvent;
template <class C, class... A>
struct MemberEvent<void (C::*)(A...)> {
  using type = TEvent<A...>;
};
}  // namespace detail

// ed->OnExit = Bind<&TMyForm::EditExit>(this);
template <auto M, class C>
auto Bind(C* obj) {
  using Event = typename detail::MemberEvent<decltype(M)>::type;
  return Event::template Bind<M>(obj);
}

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

using TNotifyEvent = TEvent<TObject*>;
using TKeyEvent = TEvent<TObject*, Word&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, TKeyChar&>;
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
using TMouseButtonEvent = TEvent<TObject*, int /*button*/, TShiftState, int /*x*/, int /*y*/>;
// The window procedure of a control, replaceable per instance.
using TWndMethod = TEvent<TMessage&>;

}  // namespace vx
