#include "platform/ui/extctrls.h"

#include <algorithm>

#include "platform/rtl/text.h"

namespace vx {

// ---- TCustomRadioGroup ----------------------------------------------------------------------

const TClassInfo& TCustomRadioGroup::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomRadioGroup>("TCustomRadioGroup", [](auto& r) {
    r.Published(false);
    r.template Ord<&TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns>("Columns",
                                                                                "Integer");
    r.template Ord<&TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex>("ItemIndex",
                                                                                    "Integer");
    r.template Obj<&TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems>("Items", "TStrings");
  });
  return info;
}

const TClassInfo& TRadioGroup::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TRadioGroup>("TRadioGroup", [](auto& r) {
    for (const char* name : {"Columns", "ItemIndex", "Items"})
      r.Publish(name);
  });
  return info;
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TGroupBox(owner), items_(std::make_unique<TStringList>()) {
  items_->OnChange = Bind<&TCustomRadioGroup::ItemsChanged>(this);
}

TCustomRadioGroup::~TCustomRadioGroup() {
  items_->OnChange = nullptr;
}

TStrings* TCustomRadioGroup::Items() const {
  return items_.get();
}

void TCustomRadioGroup::SetItems(TStrings* items) {
  items_->Assign(items);
}

TButtonControl* TCustomRadioGroup::Buttons(int index) const {
  if (index < 0 || index >= ButtonCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return buttons_[index];
}

void TCustomRadioGroup::ItemsChanged(TObject*) {
  if (IsDestroying()) return;
  UpdateButtons();
  SetItemIndex(item_index_);
}

void TCustomRadioGroup::UpdateButtons() {
  updating_ = true;
  int count = items_->Count();
  while (ButtonCount() > count) {
    TButtonControl* b = buttons_.back();
    buttons_.pop_back();
    b->Free();
  }
  while (ButtonCount() < count) {
    TButtonControl* b = CreateButton();
    b->OnClick = Bind<&TCustomRadioGroup::ButtonClick>(this);
    b->SetParent(this);
    buttons_.push_back(b);
  }
  for (int i = 0; i < count; ++i) {
    buttons_[i]->SetCaption(items_->Get(i));
    buttons_[i]->SetChecked(i == item_index_);
  }
  updating_ = false;
  ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  int count = ButtonCount();
  if (count == 0) return;
  int rows = (count + columns_ - 1) / columns_;
  int text_height = TextHeight(*Font(), "0");
  int width = (Width() - 10) / columns_;
  int h = Height() - text_height - 5;
  int height = std::max(h / rows, 0);
  int top = (h % rows) / 2 + text_height + 1;
  bool mirrored = MirrorColumns();
  for (int i = 0; i < count; ++i) {
    int col = i / rows, row = i % rows;
    int left = 8 + col * width;
    if (mirrored) left = Width() - left - width;
    buttons_[i]->SetBounds(left, top + row * height, width, height);
  }
}

TButtonControl* TCustomRadioGroup::CreateButton() {
  return new TRadioButton(this);
}

void TCustomRadioGroup::Notification(TComponent* component, TOperation operation) {
  TGroupBox::Notification(component, operation);
  // A button freed from outside must not stay in the list. Buttons go last
  // first as the list shrinks or the group is freed: look from the end.
  if (operation != opRemove) return;
  auto it = std::find(buttons_.rbegin(), buttons_.rend(), component);
  if (it != buttons_.rend()) buttons_.erase(std::next(it).base());
}

void TCustomRadioGroup::Resize() {
  TGroupBox::Resize();
  ArrangeButtons();
}

void TCustomRadioGroup::FontChanged() {
  TGroupBox::FontChanged();
  ArrangeButtons();
}

void TCustomRadioGroup::SetColumns(int n) {
  columns_ = std::clamp(n, 1, 16);
  ArrangeButtons();
}

void TCustomRadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, ButtonCount() - 1);
  if (index == item_index_ && (index < 0 || buttons_[index]->Checked())) return;
  int old = item_index_;
  item_index_ = index;
  if (old >= 0 && old < ButtonCount()) buttons_[old]->SetChecked(false);
  // Checking the button runs its click, which reaches ButtonClick.
  if (index >= 0) buttons_[index]->SetChecked(true);
}

void TCustomRadioGroup::ButtonClick(TObject* sender) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), sender);
  if (it == buttons_.end()) return;
  item_index_ = static_cast<int>(it - buttons_.begin());
  Click();
}

// ---- TSplitter ---------------------------------------------------------------------------------

const TClassInfo& TSplitter::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TSplitter>("TSplitter", [](auto& r) {
    RegisterEnumType("TResizeStyle", {"rsNone", "rsLine", "rsUpdate", "rsPattern"});
    for (const char* name : {"Align", "Color", "ParentColor", "ShowHint", "Visible"})
      r.Publish(name);
    r.template Bool<&TSplitter::Beveled, &TSplitter::SetBeveled>("Beveled");
    r.template Ord<&TSplitter::MinSize, &TSplitter::SetMinSize>("MinSize", "NaturalNumber");
    r.template Ord<&TSplitter::ResizeStyle, &TSplitter::SetResizeStyle>("ResizeStyle",
                                                                        "TResizeStyle");
    r.template Event<&TSplitter::OnMoved>("OnMoved");
  });
  return info;
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 3, 100);
  SetAlign(alLeft);
  SetCursor(crHSplit);
}

TControl* TSplitter::FindControl() const {
  if (!Parent() || Align() == alNone || Align() == alClient) return nullptr;
  for (TControl* c : Parent()->ControlList()) {
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    bool touches = false;
    switch (Align()) {
      case alLeft:
        touches = c->Left() + c->Width() == Left();
        break;
      case alRight:
        touches = c->Left() == Left() + Width();
        break;
      case alTop:
        touches = c->Top() + c->Height() == Top();
        break;
      case alBottom:
        touches = c->Top() == Top() + Height();
        break;
      default:
        break;
    }
    if (touches) return c;
  }
  return nullptr;
}

bool TSplitter::DragBy(int delta) {
  TControl* c = FindControl();
  if (!c || delta == 0) return false;
  bool horizontal = Align() == alLeft || Align() == alRight;
  // Dragging towards the control shrinks it, away from it grows it.
  int grow = (Align() == alLeft || Align() == alTop) ? delta : -delta;
  int size = (horizontal ? c->Width() : c->Height()) + grow;
  // The control keeps MinSize; the rest of the parent keeps MinSize too.
  int room = horizontal ? Parent()->ClientWidth() : Parent()->ClientHeight();
  for (TControl* other : Parent()->ControlList())
    if (other != c && other->Visible() && other->Align() != alClient && other->Align() != alNone &&
        (horizontal == (other->Align() == alLeft || other->Align() == alRight)))
      room -= horizontal ? other->Width() : other->Height();
  size = std::max(min_size_, std::min(size, room - min_size_));
  if (size == (horizontal ? c->Width() : c->Height())) return false;
  if (horizontal)
    c->SetWidth(size);
  else
    c->SetHeight(size);
  OnMoved(this);
  return true;
}

}  // namespace vx
