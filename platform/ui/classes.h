#pragma once
// The root of the object model: TObject (class information, message dispatch
// by number, Free), TPersistent (Assign), TComponent (ownership, names, free
// notification) and the string lists of the framework.
//
// Lifetime: components are created with new (or Create<T>) and freed with
// Free(). Freeing an owner frees what it owns; freeing a component tells every
// component that asked for a free notification, so no reference dangles.
// Free() runs the clean-up while the object is still whole; plain delete also
// cleans up, but only after the derived parts are gone.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/exception.h"
#include "platform/ui/events.h"
#include "platform/ui/typinfo.h"

namespace vx {

VX_DECLARE_EXCEPTION(EComponentError, Exception);
VX_DECLARE_EXCEPTION(EListError, Exception);
VX_DECLARE_EXCEPTION(EStringListError, EListError);

class TObject {
 public:
  using inherited = void;
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  const std::string& ClassName() const { return ClassInfo().Name; }
  const TClassInfo* ClassParent() const { return ClassInfo().Parent; }
  bool InheritsFrom(const TClassInfo& cls) const { return ClassInfo().InheritsFrom(cls); }
  // By class name, ignoring case.
  bool InheritsFrom(std::string_view class_name) const;

  // Runs after the most derived constructor (see Create<T>); forms raise
  // their create event here.
  virtual void AfterConstruction() {}
  // Runs before the destructors while the object is whole.
  virtual void BeforeDestruction() {}
  void Free() {
    BeforeDestruction();
    delete this;
  }

  // Runs the handler registered for msg.Msg by the nearest class of the
  // chain, or DefaultHandler when none is.
  void Dispatch(TMessage& msg);
  // Starts the search at cls: a handler calls the inherited handler with
  // DispatchFrom(*ClassInfo-of-the-base, msg).
  void DispatchFrom(const TClassInfo& cls, TMessage& msg);
  virtual void DefaultHandler(TMessage&) {}
};

// Creates an object and runs AfterConstruction; the object is freed again
// when that raises.
template <class T, class... A>
T* Create(A&&... args) {
  T* obj = new T(std::forward<A>(args)...);
  try {
    obj->AfterConstruction();
  } catch (...) {
    obj->Free();
    throw;
  }
  return obj;
}

template <class T>
void FreeAndNil(T*& obj) {
  T* p = obj;
  obj = nullptr;
  if (p) p->Free();
}

class TPersistent : public TObject {
  VX_CLASS(TPersistent, TObject)
  // Copies the source's state; raises EConvertError when the classes do not
  // fit ("Cannot assign a TFont to a TStrings").
  virtual void Assign(const TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest) const;
};

enum class TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;
using enum TComponentStateItem;
enum class TOperation { opInsert, opRemove };
using enum TOperation;

class TComponent : public TPersistent {
  VX_CLASS(TComponent, TPersistent)
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  void BeforeDestruction() override;

  const std::string& Name() const { return name_; }
  // An identifier (letters, digits, "_", not starting with a digit) unique
  // among the owner's components, or empty.
  void SetName(std::string_view name);
  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  const std::vector<TComponent*>& ComponentList() const { return components_; }
  int ComponentIndex() const;
  // Owned component by name, ignoring case; nullptr when none.
  TComponent* FindComponent(std::string_view name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();

  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  TComponentState ComponentState() const { return state_; }
  bool IsLoading() const { return state_.Contains(csLoading); }
  bool IsDestroying() const { return state_.Contains(csDestroying); }
  void SetDesigning(bool designing);
  // Loading as a form resource would: csLoading on this component and what
  // it owns; EndLoading clears it and runs Loaded() on each.
  void BeginLoading();
  void EndLoading();
  // Marks this and the owned components as being destroyed.
  void Destroying();

  // Both components are told (Notification with opRemove) when the other is
  // freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Serial number, unique per process, for weak references.
  std::uint64_t Serial() const { return serial_; }
  // Whether a component with that address and serial is still alive.
  static bool IsAlive(const TComponent* component, std::uint64_t serial);

 protected:
  // opRemove: component is going away; forget every reference to it. The
  // base passes the news on to the owned components.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void Loaded();
  virtual void ValidateRename(TComponent* component, std::string_view old_name,
                              std::string_view new_name);

 private:
  void CleanUp();
  void Insert(TComponent* c);
  void Remove(TComponent* c);
  void RemoveNotification(TComponent* c);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> free_notifies_;
  std::intptr_t tag_ = 0;
  TComponentState state_;
  std::uint64_t serial_ = 0;
  bool cleaned_up_ = false;
};

// A reference that turns nullptr when the component is freed.
template <class T>
class TWeak {
 public:
  TWeak() = default;
  TWeak(T* p) : p_(p), serial_(p ? p->Serial() : 0) {}  // NOLINT
  T* get() const { return p_ && TComponent::IsAlive(p_, serial_) ? p_ : nullptr; }
  T* operator->() const { return get(); }
  explicit operator bool() const { return get() != nullptr; }

 private:
  T* p_ = nullptr;
  std::uint64_t serial_ = 0;
};

bool IsValidIdent(std::string_view name);

// ---- string lists -------------------------------------------------------------
class TStrings : public TPersistent {
  VX_CLASS(TStrings, TPersistent)
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, std::string_view s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* obj);
  virtual void Insert(int index, std::string_view s) = 0;
  virtual void InsertObject(int index, std::string_view s, TObject* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int Add(std::string_view s);
  int AddObject(std::string_view s, TObject* obj);
  void Append(std::string_view s) { Add(s); }
  void AddStrings(const TStrings& other);
  virtual void Exchange(int a, int b);
  void Move(int from, int to);
  std::string operator[](int index) const { return Get(index); }

  // Ignoring case, as the framework compares list entries.
  virtual int IndexOf(std::string_view s) const;
  int IndexOfName(std::string_view name) const;
  int IndexOfObject(const TObject* obj) const;

  // Each line followed by CR LF; setting splits at CR LF, CR or LF.
  std::string Text() const;
  virtual void SetText(std::string_view text);
  // Entries separated by commas, quoted when they hold blanks, commas or
  // quotes.
  std::string CommaText() const;
  void SetCommaText(std::string_view text);
  // name=value lines.
  std::string Names(int index) const;
  std::string Values(std::string_view name) const;
  // An empty value deletes the line.
  void SetValue(std::string_view name, std::string_view value);
  std::string ValueFromIndex(int index) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }
  bool Equals(const TStrings& other) const;
  void Assign(const TPersistent* source) override;

 protected:
  virtual void SetUpdateState(bool) {}
  [[noreturn]] void IndexError(int index) const;

 private:
  int update_count_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

class TStringList : public TStrings {
  VX_CLASS(TStringList, TStrings)
  TStringList() = default;
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  void Put(int index, std::string_view s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* obj) override;
  void Insert(int index, std::string_view s) override;
  void InsertObject(int index, std::string_view s, TObject* obj) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(std::string_view s) override;
  int AddObject(std::string_view s, TObject* obj);
  void Exchange(int a, int b) override;
  int IndexOf(std::string_view s) const override;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates d) { duplicates_ = d; }
  bool CaseSensitive() const { return case_sensitive_; }
  void SetCaseSensitive(bool cs);
  // Binary search in a sorted list: true and the index when found, else
  // false and the insertion index.
  bool Find(std::string_view s, int& index) const;
  void Sort();
  void CustomSort(int (*compare)(const TStringList& list, int a, int b));

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool updating) override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct Item {
    std::string Text;
    TObject* Object = nullptr;
  };
  int Compare(std::string_view a, std::string_view b) const;
  void InsertItem(int index, std::string_view s, TObject* obj);

  std::vector<Item> items_;
  bool sorted_ = false;
  bool case_sensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace vx
