#include "platform/ui/classes.h"

#include <algorithm>
#include <unordered_map>

#include "platform/rtl/text.h"

namespace vx {

namespace {

// Live components by address, with their serial numbers (see TWeak). Never
// destroyed: components freed at the end of the process still unregister.
std::unordered_map<const TComponent*, std::uint64_t>& LiveComponents() {
  static auto* live = new std::unordered_map<const TComponent*, std::uint64_t>();
  return *live;
}
std::uint64_t next_serial = 1;

}  // namespace

// ---- TObject --------------------------------------------------------------------

const TClassInfo& TObject::StaticClassInfo() {
  static const TClassInfo& info = NewClassInfo("TObject", nullptr);
  return info;
}

bool TObject::InheritsFrom(std::string_view class_name) const {
  for (const TClassInfo* c = &ClassInfo(); c; c = c->Parent)
    if (SameText(c->Name, class_name)) return true;
  return false;
}

void TObject::Dispatch(TMessage& msg) {
  DispatchFrom(ClassInfo(), msg);
}

void TObject::DispatchFrom(const TClassInfo& cls, TMessage& msg) {
  for (const TClassInfo* c = &cls; c; c = c->Parent) {
    auto it = c->Messages.find(msg.Msg);
    if (it != c->Messages.end()) {
      it->second(*this, msg);
      return;
    }
  }
  DefaultHandler(msg);
}

// ---- TPersistent ------------------------------------------------------------------

const TClassInfo& TPersistent::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TPersistent>("TPersistent", [](auto&) {});
  return info;
}

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  // Reached when neither side knows the other.
  std::string from = dest == this ? "nil" : ClassName();
  throw EConvertError(Format("Cannot assign a %s to a %s", from, dest->ClassName()));
}

// ---- TComponent -------------------------------------------------------------------

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TComponent>("TComponent", [](auto& r) {
    r.template Str<&TComponent::Name, &TComponent::SetName>("Name", "TComponentName");
    r.template Ord<&TComponent::Tag, &TComponent::SetTag>("Tag", "Integer");
  });
  return info;
}

TComponent::TComponent(TComponent* owner) : serial_(next_serial++) {
  LiveComponents()[this] = serial_;
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  CleanUp();
  LiveComponents().erase(this);
}

void TComponent::BeforeDestruction() {
  CleanUp();
}

void TComponent::CleanUp() {
  if (cleaned_up_) return;
  cleaned_up_ = true;
  Destroying();
  while (!free_notifies_.empty()) {
    TComponent* other = free_notifies_.back();
    free_notifies_.pop_back();
    // The other side drops its link to us in its Notification.
    other->Notification(this, opRemove);
    other->RemoveNotification(this);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

bool TComponent::IsAlive(const TComponent* component, std::uint64_t serial) {
  auto& live = LiveComponents();
  auto it = live.find(component);
  return it != live.end() && it->second == serial;
}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin(), name.end(),
                     [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

void TComponent::SetName(std::string_view name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError(Format("'%s' is not a valid component name", std::string(name)));
  if (owner_)
    owner_->ValidateRename(this, name_, name);
  else
    ValidateRename(nullptr, name_, name);
  name_ = std::string(name);
}

void TComponent::ValidateRename(TComponent* component, std::string_view old_name,
                                std::string_view new_name) {
  if (component && !new_name.empty() && !SameText(old_name, new_name)) {
    TComponent* other = FindComponent(new_name);
    if (other && other != component)
      throw EComponentError(Format("A component named %s already exists", std::string(new_name)));
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (!component->name_.empty()) ValidateRename(component, "", component->name_);
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
}

void TComponent::Remove(TComponent* c) {
  // Components go last-created first as a form is freed: look from the end.
  auto it = std::find(components_.rbegin(), components_.rend(), c);
  if (it != components_.rend()) components_.erase(std::next(it).base());
  c->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  // Last created first, as the owner's list would be unwound.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    Remove(c);
    c->Free();
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_)
    c->Destroying();
}

void TComponent::SetDesigning(bool designing) {
  if (designing)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
  for (TComponent* c : components_)
    c->SetDesigning(designing);
}

void TComponent::BeginLoading() {
  state_.Include(csLoading);
  for (TComponent* c : components_)
    c->BeginLoading();
}

void TComponent::EndLoading() {
  for (TComponent* c : std::vector<TComponent*>(components_))
    c->EndLoading();
  if (!state_.Contains(csLoading)) return;
  state_.Exclude(csLoading);
  Loaded();
}

void TComponent::Loaded() {}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end())
    free_notifies_.push_back(component);
  auto& theirs = component->free_notifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* c) {
  std::erase(free_notifies_, c);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Only removals are passed on to the components an owner holds, so that
  // they drop what they hold of the one going; an insertion concerns none of
  // them. An owner being freed passes on nothing: they all go with it, and
  // what one holds of another is covered by free notifications. Passing on
  // more would make creating and freeing a form (or a radio group's item
  // buttons) quadratic in its components.
  if (operation == opInsert || state_.Contains(csDestroying)) return;
  // Handlers may free or move components: walk by index and re-check.
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    if (i >= ComponentCount()) continue;
    components_[static_cast<std::size_t>(i)]->Notification(component, operation);
  }
}

// ---- TStrings -------------------------------------------------------------------

const TClassInfo& TStrings::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStrings>("TStrings", [](auto&) {});
  return info;
}

void TStrings::IndexError(int index) const {
  throw EStringListError(Format("List index out of bounds (%d)", index));
}

void TStrings::Put(int index, std::string_view s) {
  TObject* obj = GetObject(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, s, obj);
  EndUpdate();
}

TObject* TStrings::GetObject(int) const {
  return nullptr;
}
void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, std::string_view s, TObject* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

int TStrings::Add(std::string_view s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(std::string_view s, TObject* obj) {
  int index = Add(s);
  PutObject(index, obj);
  return index;
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  for (int i = 0; i < other.Count(); ++i)
    AddObject(other.Get(i), other.GetObject(i));
  EndUpdate();
}

void TStrings::Exchange(int a, int b) {
  BeginUpdate();
  std::string sa = Get(a), sb = Get(b);
  TObject* oa = GetObject(a);
  TObject* ob = GetObject(b);
  Put(a, sb);
  PutObject(a, ob);
  Put(b, sa);
  PutObject(b, oa);
  EndUpdate();
}

void TStrings::Move(int from, int to) {
  if (from == to) return;
  BeginUpdate();
  std::string s = Get(from);
  TObject* obj = GetObject(from);
  Delete(from);
  InsertObject(to, s, obj);
  EndUpdate();
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Get(i), s)) return i;
  return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    std::string line = Get(i);
    std::size_t eq = line.find('=');
    if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name)) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* obj) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == obj) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  Clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      Add(text.substr(pos));
      break;
    }
    Add(text.substr(pos, end - pos));
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    if (i) out += ',';
    std::string s = Get(i);
    // A single empty entry is written "" so that it reads back as one entry.
    bool quote = s.empty() && Count() == 1;
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStrings::SetCommaText(std::string_view text) {
  BeginUpdate();
  Clear();
  std::size_t i = 0;
  auto blank = [&](std::size_t k) {
    return k < text.size() && static_cast<unsigned char>(text[k]) <= ' ';
  };
  while (blank(i))
    ++i;
  while (i < text.size()) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < text.size() && text[i] != ',' && !blank(i))
        item += text[i++];
    }
    Add(item);
    while (blank(i))
      ++i;
    if (i < text.size() && text[i] == ',') {
      ++i;
      while (blank(i))
        ++i;
      if (i >= text.size()) Add("");
    }
  }
  EndUpdate();
}

std::string TStrings::Names(int index) const {
  std::string line = Get(index);
  std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

std::string TStrings::ValueFromIndex(int index) const {
  std::string line = Get(index);
  std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

void TStrings::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  std::string line = std::string(name) + "=" + std::string(value);
  if (value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Add(line);
  } else {
    Put(i, line);
  }
}

void TStrings::BeginUpdate() {
  if (update_count_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

void TStrings::Assign(const TPersistent* source) {
  if (auto* s = dynamic_cast<const TStrings*>(source)) {
    if (s == this) return;
    BeginUpdate();
    Clear();
    AddStrings(*s);
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

// ---- TStringList ------------------------------------------------------------------

const TClassInfo& TStringList::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStringList>("TStringList", [](auto&) {});
  return info;
}

std::string TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)].Text;
}

void TStringList::Put(int index, std::string_view s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
  if (index < 0 || index >= Count()) IndexError(index);
  Changing();
  items_[static_cast<std::size_t>(index)].Text = std::string(s);
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* obj) {
  if (index < 0 || index >= Count()) IndexError(index);
  Changing();
  items_[static_cast<std::size_t>(index)].Object = obj;
  Changed();
}

void TStringList::Insert(int index, std::string_view s) {
  InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, std::string_view s, TObject* obj) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, obj);
}

void TStringList::InsertItem(int index, std::string_view s, TObject* obj) {
  Changing();
  items_.insert(items_.begin() + index, Item{std::string(s), obj});
  Changed();
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::Add(std::string_view s) {
  return AddObject(s, nullptr);
}

int TStringList::AddObject(std::string_view s, TObject* obj) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (duplicates_ == dupIgnore) return index;
      if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
    }
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::Exchange(int a, int b) {
  if (a < 0 || a >= Count()) IndexError(a);
  if (b < 0 || b >= Count()) IndexError(b);
  Changing();
  std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
  Changed();
}

int TStringList::Compare(std::string_view a, std::string_view b) const {
  return case_sensitive_ ? a.compare(b) : CompareText(a, b);
}

int TStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    int index = 0;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(items_[static_cast<std::size_t>(i)].Text, s) == 0) return i;
  return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = Compare(items_[static_cast<std::size_t>(mid)].Text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        // The first of equal entries, unless duplicates are accepted.
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool cs) {
  if (cs == case_sensitive_) return;
  case_sensitive_ = cs;
  if (sorted_) Sort();
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const Item& a, const Item& b) { return Compare(a.Text, b.Text) < 0; });
  Changed();
}

void TStringList::CustomSort(int (*compare)(const TStringList& list, int a, int b)) {
  if (Count() < 2) return;
  Changing();
  std::vector<int> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order)
    sorted.push_back(items_[static_cast<std::size_t>(i)]);
  items_ = std::move(sorted);
  Changed();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    OnChanging(this);
  else
    OnChange(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) OnChanging(this);
}

}  // namespace vx
