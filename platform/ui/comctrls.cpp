#include "platform/ui/comctrls.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/grids.h"
#include "platform/ui/navigation.h"
#include "platform/ui/tabs.h"

namespace vx {

namespace {

// Space around a column's text, as the platform's fitted widths leave it.
constexpr int kColumnMargin = 14;

void RegisterComTypes() {
  RegisterEnumType("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  RegisterEnumType("TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
  RegisterEnumType("TSortType", {"stNone", "stData", "stText", "stBoth"});
  RegisterEnumType("TToolButtonStyle",
                   {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"});
}

template <class R>
void PublishControl(R& r, std::initializer_list<const char*> extra) {
  for (const char* name : {"Align", "Enabled", "Font", "Hint", "ParentFont", "ParentShowHint",
                           "ShowHint", "Visible", "OnClick", "OnDblClick"})
    r.Publish(name);
  for (const char* name : extra)
    r.Publish(name);
}

// Keeps a reference to another component that clears itself when it is
// freed.
template <class T>
void Link(TComponent* self, T*& field, T* value) {
  if (field == value) return;
  if (field) field->RemoveFreeNotification(self);
  field = value;
  if (value) value->FreeNotification(self);
}

template <class T>
void Unlink(TComponent* gone, T*& field) {
  if (field == gone) field = nullptr;
}

}  // namespace

// ---- TListColumn ----------------------------------------------------------------------

const TClassInfo& TListColumn::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TListColumn>("TListColumn", [](auto& r) {
    RegisterComTypes();
    r.template Ord<&TListColumn::Alignment, &TListColumn::SetAlignment>("Alignment", "TAlignment");
    r.template Bool<&TListColumn::AutoSize, &TListColumn::SetAutoSize>("AutoSize");
    r.template Str<&TListColumn::Caption, &TListColumn::SetCaption>("Caption", "TCaption");
    r.template Ord<&TListColumn::Width, &TListColumn::SetWidth>("Width", "TWidth");
  });
  return info;
}

void TListColumn::Assign(const TPersistent* source) {
  auto* c = dynamic_cast<const TListColumn*>(source);
  if (!c) {
    TCollectionItem::Assign(source);
    return;
  }
  caption_ = c->caption_;
  alignment_ = c->alignment_;
  width_ = c->width_;
  auto_size_ = c->auto_size_;
  Changed(false);
}

TCustomListView* TListColumn::ListView() const {
  auto* cols = dynamic_cast<TListColumns*>(Collection());
  return cols ? cols->Owner() : nullptr;
}

void TListColumn::SetCaption(std::string_view caption) {
  caption_ = std::string(caption);
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment a) {
  alignment_ = a;
  Changed(false);
}

void TListColumn::SetWidth(int width) {
  // Negative values other than the two automatic ones mean nothing.
  width_ = width < ColumnHeaderWidth ? 0 : width;
  Changed(false);
}

void TListColumn::SetAutoSize(bool v) {
  auto_size_ = v;
  Changed(true);
}

int TListColumn::Width() const {
  TCustomListView* lv = ListView();
  if (!lv) return std::max(0, width_);
  if (auto_size_) {
    // Auto-sized columns share what the fixed ones leave of the client
    // width, each at least as wide as its header and content.
    int fixed = 0, shares = 0;
    for (int i = 0; i < lv->Columns()->Count(); ++i) {
      TListColumn* c = lv->Columns()->Items(i);
      if (c->auto_size_)
        ++shares;
      else
        fixed += c->Width();
    }
    int share = std::max(0, lv->ClientWidth() - fixed) / std::max(1, shares);
    return std::max(share, lv->FittedWidth(*this));
  }
  if (width_ == ColumnTextWidth || width_ == ColumnHeaderWidth) return lv->FittedWidth(*this);
  return width_;
}

TListColumns::TListColumns(TCustomListView* owner)
    : TCollection([](TCollection* c) { return new TListColumn(c); }), owner_(owner) {}

const TClassInfo& TListColumns::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TListColumns>("TListColumns", [](auto&) {});
  return info;
}

void TListColumns::Update(TCollectionItem*) {
  if (owner_) owner_->Invalidate();
}

// ---- TListItem ------------------------------------------------------------------------

const TClassInfo& TListItem::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TListItem>("TListItem", [](auto& r) {
    r.template Str<&TListItem::Caption, &TListItem::SetCaption>("Caption");
    r.template Bool<&TListItem::Checked, &TListItem::SetChecked>("Checked");
    r.template Ord<&TListItem::ImageIndex, &TListItem::SetImageIndex>("ImageIndex", "TImageIndex");
    r.template Bool<&TListItem::Selected, &TListItem::SetSelected>("Selected");
    r.template Obj<&TListItem::SubItems, &TListItem::SetSubItems>("SubItems", "TStrings");
  });
  return info;
}

TListItem::TListItem(TCollection* collection)
    : TCollectionItem(collection), sub_items_(std::make_unique<TStringList>()) {
  sub_items_->OnChange = Bind<&TListItem::SubItemsChanged>(this);
}

void TListItem::Assign(const TPersistent* source) {
  auto* item = dynamic_cast<const TListItem*>(source);
  if (!item) {
    TCollectionItem::Assign(source);
    return;
  }
  SetCaption(item->caption_);
  sub_items_->Assign(item->sub_items_.get());
  SetImageIndex(item->image_index_);
  checked_ = item->checked_;
  data_ = item->data_;
}

TCustomListView* TListItem::ListView() const {
  auto* items = dynamic_cast<TListItems*>(Collection());
  return items ? items->Owner() : nullptr;
}

void TListItem::SetCaption(std::string_view caption) {
  if (caption == caption_) return;
  TCustomListView* lv = ListView();
  if (lv && !lv->CanChange(this, ctText)) return;
  caption_ = std::string(caption);
  if (lv) lv->Change(this, ctText);
  Changed(false);
}

void TListItem::SubItemsChanged(TObject*) {
  if (TCustomListView* lv = ListView()) lv->Change(this, ctText);
  Changed(false);
}

void TListItem::SetImageIndex(int index) {
  if (index == image_index_) return;
  TCustomListView* lv = ListView();
  if (lv && !lv->CanChange(this, ctImage)) return;
  image_index_ = index;
  if (lv) lv->Change(this, ctImage);
  Changed(false);
}

void TListItem::SetSelected(bool v) {
  if (v == selected_) return;
  TCustomListView* lv = ListView();
  if (!lv) {
    selected_ = v;
    return;
  }
  if (!lv->CanChange(this, ctState)) return;
  if (v && !lv->MultiSelect()) {
    for (int i = 0; i < lv->Items()->Count(); ++i) {
      TListItem* other = lv->Items()->Items(i);
      if (other != this) other->SetSelected(false);
    }
  }
  selected_ = v;
  lv->Change(this, ctState);
  lv->ItemSelected(this, v);
}

void TListItem::SetFocused(bool v) {
  if (v == focused_) return;
  if (v)
    if (TCustomListView* lv = ListView())
      if (TListItem* old = lv->ItemFocused()) old->focused_ = false;
  focused_ = v;
}

bool TListItem::EditCaption() {
  TCustomListView* lv = ListView();
  return lv && lv->BeginEdit(this);
}

void TListItem::Delete() {
  if (Collection()) Collection()->Delete(Index());
}

TListItems::TListItems(TCustomListView* owner)
    : TCollection([](TCollection* c) { return new TListItem(c); }), owner_(owner) {}

const TClassInfo& TListItems::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TListItems>("TListItems", [](auto&) {});
  return info;
}

void TListItems::Update(TCollectionItem*) {
  if (owner_) owner_->ItemsChanged();
}

void TListItems::Notify(TCollectionItem* item, TCollectionNotification action) {
  if (!owner_) return;
  auto* li = static_cast<TListItem*>(item);
  if (action == cnAdded) {
    owner_->OnInsertion(owner_, li);
    return;
  }
  if (owner_->editing_ == li) owner_->editing_ = nullptr;
  if (!owner_->IsDestroying()) owner_->OnDeletion(owner_, li);
}

// ---- TCustomListView ------------------------------------------------------------------

const TClassInfo& TCustomListView::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomListView>("TCustomListView", [](auto& r) {
    RegisterComTypes();
    r.Published(false);
    using L = TCustomListView;
    r.template Bool<&L::Checkboxes, &L::SetCheckboxes>("Checkboxes");
    r.template Bool<&L::ColumnClick, &L::SetColumnClick>("ColumnClick");
    r.template Obj<&L::Columns, &L::SetColumns>("Columns", "TListColumns");
    r.template Bool<&L::GridLines, &L::SetGridLines>("GridLines");
    r.template Bool<&L::HideSelection, &L::SetHideSelection>("HideSelection");
    r.template Obj<&L::Items, &L::SetItems>("Items", "TListItems");
    r.template Obj<&L::LargeImages, &L::SetLargeImages>("LargeImages", "TCustomImageList");
    r.template Bool<&L::MultiSelect, &L::SetMultiSelect>("MultiSelect");
    r.template Obj<&L::PopupMenu, &L::SetPopupMenu>("PopupMenu", "TPopupMenu");
    r.template Bool<&L::ReadOnly, &L::SetReadOnly>("ReadOnly");
    r.template Bool<&L::RowSelect, &L::SetRowSelect>("RowSelect");
    r.template Bool<&L::ShowColumnHeaders, &L::SetShowColumnHeaders>("ShowColumnHeaders");
    r.template Obj<&L::SmallImages, &L::SetSmallImages>("SmallImages", "TCustomImageList");
    r.template Ord<&L::SortType, &L::SetSortType>("SortType", "TSortType");
    r.template Ord<&L::ViewStyle, &L::SetViewStyle>("ViewStyle", "TViewStyle");
    r.template Event<&L::OnChange>("OnChange", "TLVChangeEvent");
    r.template Event<&L::OnChanging>("OnChanging", "TLVChangingEvent");
    r.template Event<&L::OnColumnClick>("OnColumnClick", "TLVColumnClickEvent");
    r.template Event<&L::OnCompare>("OnCompare", "TLVCompareEvent");
    r.template Event<&L::OnDeletion>("OnDeletion", "TLVDeletedEvent");
    r.template Event<&L::OnEdited>("OnEdited", "TLVEditedEvent");
    r.template Event<&L::OnEditing>("OnEditing", "TLVEditingEvent");
    r.template Event<&L::OnInsertion>("OnInsertion", "TLVDeletedEvent");
    r.template Event<&L::OnSelectItem>("OnSelectItem", "TLVSelectItemEvent");
  });
  return info;
}

const TClassInfo& TListView::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TListView>("TListView", [](auto& r) {
    PublishControl(
        r, {"Checkboxes",    "Color",         "ColumnClick", "Columns",           "GridLines",
            "HideSelection", "Items",         "LargeImages", "MultiSelect",       "ParentColor",
            "PopupMenu",     "ReadOnly",      "RowSelect",   "ShowColumnHeaders", "SmallImages",
            "SortType",      "TabOrder",      "TabStop",     "ViewStyle",         "OnChange",
            "OnChanging",    "OnColumnClick", "OnCompare",   "OnDeletion",        "OnEdited",
            "OnEditing",     "OnEnter",       "OnExit",      "OnInsertion",       "OnKeyDown",
            "OnKeyPress",    "OnKeyUp",       "OnSelectItem"});
  });
  return info;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
  SetBounds(0, 0, 250, 150);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomListView::~TCustomListView() {
  // The items go before the control's parts they report to.
  items_.reset();
  columns_.reset();
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  Unlink(component, large_images_);
  Unlink(component, small_images_);
  Unlink(component, popup_menu_);
}

void TCustomListView::SetLargeImages(TCustomImageList* images) {
  Link(this, large_images_, images);
  Invalidate();
}

void TCustomListView::SetSmallImages(TCustomImageList* images) {
  Link(this, small_images_, images);
  Invalidate();
}

void TCustomListView::SetPopupMenu(TPopupMenu* menu) {
  Link(this, popup_menu_, menu);
}

void TCustomListView::SetViewStyle(TViewStyle v) {
  if (v == view_style_) return;
  view_style_ = v;
  Invalidate();
}

void TCustomListView::SetMultiSelect(bool v) {
  multi_select_ = v;
  if (v) return;
  TListItem* keep = Selected();
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Items(i) != keep) items_->Items(i)->SetSelected(false);
}

void TCustomListView::SetReadOnly(bool v) {
  read_only_ = v;
  if (v) CancelEdit();
}

void TCustomListView::SetSortType(TSortType t) {
  if (t == sort_type_) return;
  sort_type_ = t;
  SortIfNeeded();
}

bool TCustomListView::CanChange(TListItem* item, TItemChange change) {
  bool allow = true;
  OnChanging(this, item, change, allow);
  return allow;
}

void TCustomListView::Change(TListItem* item, TItemChange change) {
  OnChange(this, item, change);
}

void TCustomListView::ItemSelected(TListItem* item, bool selected) {
  OnSelectItem(this, item, selected);
  Invalidate();
}

void TCustomListView::ItemsChanged() {
  SortIfNeeded();
  Invalidate();
}

void TCustomListView::SortIfNeeded() {
  if (sorting_ || items_->UpdateCount() > 0) return;
  if (sort_type_ != stNone) AlphaSort();
}

void TCustomListView::AlphaSort() {
  CustomSort(nullptr);
}

void TCustomListView::CustomSort(const std::function<int(TListItem*, TListItem*)>& compare) {
  auto by_default = [this](TListItem* a, TListItem* b) {
    if (OnCompare.Assigned()) {
      int result = 0;
      OnCompare(this, a, b, 0, result);
      return result;
    }
    int result = 0;
    if (sort_type_ != stData) {
      result = CompareText(a->Caption(), b->Caption());
      if (result == 0) result = a->Caption().compare(b->Caption());
    }
    if (result == 0 && (sort_type_ == stData || sort_type_ == stBoth))
      result = a->Data() < b->Data() ? -1 : (a->Data() > b->Data() ? 1 : 0);
    return result;
  };
  sorting_ = true;
  try {
    items_->SortItems([&](TCollectionItem* a, TCollectionItem* b) {
      auto* x = static_cast<TListItem*>(a);
      auto* y = static_cast<TListItem*>(b);
      return (compare ? compare(x, y) : by_default(x, y)) < 0;
    });
  } catch (...) {
    sorting_ = false;
    throw;
  }
  sorting_ = false;
  Invalidate();
}

TListItem* TCustomListView::Selected() const {
  return NextSelected(nullptr);
}

TListItem* TCustomListView::NextSelected(TListItem* start) const {
  int from = start ? start->Index() + 1 : 0;
  for (int i = std::max(0, from); i < items_->Count(); ++i)
    if (items_->Items(i)->Selected()) return items_->Items(i);
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Items(i) != item) items_->Items(i)->SetSelected(false);
  if (item && item->ListView() == this) {
    item->SetSelected(true);
    item->SetFocused(true);
  }
}

int TCustomListView::SelCount() const {
  int n = 0;
  for (int i = 0; i < items_->Count(); ++i)
    n += items_->Items(i)->Selected() ? 1 : 0;
  return n;
}

int TCustomListView::ItemIndex() const {
  TListItem* item = Selected();
  return item ? item->Index() : -1;
}

void TCustomListView::SetItemIndex(int index) {
  SetSelected(index >= 0 && index < items_->Count() ? items_->Items(index) : nullptr);
}

TListItem* TCustomListView::ItemFocused() const {
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Items(i)->Focused()) return items_->Items(i);
  return nullptr;
}

void TCustomListView::SelectAll() {
  if (!multi_select_) return;
  for (int i = 0; i < items_->Count(); ++i)
    items_->Items(i)->SetSelected(true);
}

void TCustomListView::ClearSelection() {
  SetSelected(nullptr);
}

void TCustomListView::DeleteSelected() {
  items_->BeginUpdate();
  try {
    for (int i = items_->Count() - 1; i >= 0; --i)
      if (i < items_->Count() && items_->Items(i)->Selected()) items_->Delete(i);
  } catch (...) {
    items_->EndUpdate();
    throw;
  }
  items_->EndUpdate();
}

TListItem* TCustomListView::FindCaption(std::string_view caption, int start) const {
  for (int i = std::max(0, start); i < items_->Count(); ++i)
    if (items_->Items(i)->Caption() == caption) return items_->Items(i);
  return nullptr;
}

bool TCustomListView::BeginEdit(TListItem* item) {
  if (read_only_ || !item || item->ListView() != this) return false;
  bool allow = true;
  OnEditing(this, item, allow);
  if (!allow) return false;
  editing_ = item;
  return true;
}

void TCustomListView::EndEdit(std::string_view text) {
  TListItem* item = editing_;
  if (!item) return;
  editing_ = nullptr;
  std::string s(text);
  // A handler that raises leaves the caption as it was.
  OnEdited(this, item, s);
  if (item->Collection() == items_.get()) item->SetCaption(s);
}

void TCustomListView::CancelEdit() {
  editing_ = nullptr;
}

void TCustomListView::ClickColumn(int index) {
  if (!column_click_ || !show_column_headers_ || view_style_ != vsReport) return;
  if (index < 0 || index >= columns_->Count()) return;
  OnColumnClick(this, columns_->Items(index));
}

void TCustomListView::ContextPopup(TPoint client_point) {
  if (!popup_menu_ || !popup_menu_->AutoPopup()) return;
  TPoint p = ClientToScreen(*this, client_point);
  popup_menu_->SetPopupComponent(this);
  popup_menu_->Popup(p.X, p.Y);
}

int TCustomListView::FittedWidth(const TListColumn& column) const {
  int index = column.Index();
  int width = 0;
  if (column.WidthType() != ColumnTextWidth || column.AutoSize())
    width = TextWidth(*Font(), column.Caption());
  for (int i = 0; i < items_->Count(); ++i) {
    TListItem* item = items_->Items(i);
    std::string text;
    if (index == 0)
      text = item->Caption();
    else if (index - 1 < item->SubItems()->Count())
      text = item->SubItems()->Get(index - 1);
    int w = TextWidth(*Font(), text);
    if (index == 0 && small_images_ && item->ImageIndex() >= 0) w += small_images_->Width() + 2;
    width = std::max(width, w);
  }
  return width + kColumnMargin;
}

bool TCustomListView::WantsKey(Word key, TShiftState shift) const {
  // The caption editor keeps Enter and Esc.
  if (editing_ && (key == VK_RETURN || key == VK_ESCAPE)) return true;
  return IsNavigationKey(key) || TWinControl::WantsKey(key, shift);
}

void TCustomListView::DefaultKeyDown(Word& key, TShiftState) {
  if (editing_ && (key == VK_RETURN || key == VK_ESCAPE)) {
    // The text itself comes from the backend (EndEdit); the keys alone end
    // the edit without a change.
    if (key == VK_RETURN)
      EndEdit(editing_->Caption());
    else
      CancelEdit();
    key = 0;
    return;
  }
  int count = items_->Count();
  if (key == VK_F2) {
    TListItem* item = ItemFocused() ? ItemFocused() : Selected();
    if (item) BeginEdit(item);
    return;
  }
  if (count == 0) return;
  TListItem* current = ItemFocused() ? ItemFocused() : Selected();
  int at = current ? current->Index() : -1;
  int to = at;
  switch (key) {
    case VK_UP:
    case VK_LEFT:
      to = std::max(0, at - 1);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      to = std::min(count - 1, at + 1);
      break;
    case VK_HOME:
    case VK_PRIOR:
      to = 0;
      break;
    case VK_END:
    case VK_NEXT:
      to = count - 1;
      break;
    default:
      return;
  }
  if (to != at || !current || !current->Selected()) SetSelected(items_->Items(to));
}

// ---- TTreeNode -------------------------------------------------------------------------

const TClassInfo& TTreeNode::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTreeNode>("TTreeNode", [](auto& r) {
    r.template Bool<&TTreeNode::Expanded, &TTreeNode::SetExpanded>("Expanded");
    r.template Ord<&TTreeNode::ImageIndex, &TTreeNode::SetImageIndex>("ImageIndex", "TImageIndex");
    r.template Ord<&TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex>("SelectedIndex",
                                                                            "Integer");
    r.template Str<&TTreeNode::Text, &TTreeNode::SetText>("Text");
  });
  return info;
}

void TTreeNode::Assign(const TPersistent* source) {
  auto* node = dynamic_cast<const TTreeNode*>(source);
  if (!node) {
    TCollectionItem::Assign(source);
    return;
  }
  text_ = node->text_;
  image_index_ = node->image_index_;
  selected_index_ = node->selected_index_;
  expanded_ = node->expanded_;
  data_ = node->data_;
  level_ = node->level_;
  Changed(false);
}

void TTreeNode::SetText(std::string_view text) {
  text_ = std::string(text);
  Changed(false);
}

TTreeNodes* TTreeNode::Owner() const {
  return static_cast<TTreeNodes*>(Collection());
}

TTreeNode* TTreeNode::Parent() const {
  TTreeNodes* nodes = Owner();
  if (!nodes || level_ == 0) return nullptr;
  for (int i = Index() - 1; i >= 0; --i)
    if (nodes->Item(i)->level_ < level_) return nodes->Item(i);
  return nullptr;
}

int TTreeNode::Count() const {
  TTreeNodes* nodes = Owner();
  if (!nodes) return 0;
  int n = 0;
  int end = nodes->SubtreeEnd(Index());
  for (int i = Index() + 1; i < end; ++i)
    n += nodes->Item(i)->level_ == level_ + 1 ? 1 : 0;
  return n;
}

TTreeNode* TTreeNode::Item(int index) const {
  TTreeNodes* nodes = Owner();
  if (nodes && index >= 0) {
    int end = nodes->SubtreeEnd(Index());
    for (int i = Index() + 1; i < end; ++i)
      if (nodes->Item(i)->level_ == level_ + 1 && index-- == 0) return nodes->Item(i);
  }
  throw EListError(Format("List index out of bounds (%d)", index));
}

bool TTreeNode::Selected() const {
  TTreeNodes* nodes = Owner();
  return nodes && nodes->Owner() && nodes->Owner()->Selected() == this;
}

void TTreeNode::Delete() {
  if (TTreeNodes* nodes = Owner()) nodes->Delete(this);
}

// ---- TTreeNodes ------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* owner)
    : TCollection([](TCollection* c) { return new TTreeNode(c); }), owner_(owner) {}

const TClassInfo& TTreeNodes::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTreeNodes>("TTreeNodes", [](auto&) {});
  return info;
}

int TTreeNodes::SubtreeEnd(int index) const {
  int level = Item(index)->level_;
  int end = index + 1;
  while (end < Count() && Item(end)->level_ > level)
    ++end;
  return end;
}

TTreeNode* TTreeNodes::InsertAt(int index, int level, std::string_view text) {
  BeginUpdate();
  TTreeNode* node = nullptr;
  try {
    node = static_cast<TTreeNode*>(TCollection::Insert(index));
    node->level_ = level;
    node->text_ = std::string(text);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return node;
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, std::string_view text) {
  if (!parent || parent->Owner() != this) return InsertAt(Count(), 0, text);
  return InsertAt(SubtreeEnd(parent->Index()), parent->level_ + 1, text);
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, std::string_view text) {
  TTreeNode* parent = sibling && sibling->Owner() == this ? sibling->Parent() : nullptr;
  return AddChild(parent, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, std::string_view text) {
  if (!sibling || sibling->Owner() != this) return InsertAt(Count(), 0, text);
  return InsertAt(sibling->Index(), sibling->level_, text);
}

void TTreeNodes::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  int end = SubtreeEnd(index);
  BeginUpdate();
  try {
    for (int i = end - 1; i >= index; --i)
      TCollection::Delete(i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node && node->Owner() == this) Delete(node->Index());
}

void TTreeNodes::Update(TCollectionItem*) {
  if (owner_) owner_->Invalidate();
}

void TTreeNodes::Notify(TCollectionItem* item, TCollectionNotification action) {
  if (owner_ && action == cnDeleting) owner_->NodeDeleting(static_cast<TTreeNode*>(item));
}

// ---- TCustomTreeView -------------------------------------------------------------------

const TClassInfo& TCustomTreeView::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomTreeView>("TCustomTreeView", [](auto& r) {
    r.Published(false);
    using T = TCustomTreeView;
    r.template Obj<&T::Images, &T::SetImages>("Images", "TCustomImageList");
    r.template Obj<&T::Items, &T::SetItems>("Items", "TTreeNodes");
    r.template Bool<&T::ReadOnly, &T::SetReadOnly>("ReadOnly");
    r.template Event<&T::OnChange>("OnChange", "TTVChangedEvent");
    r.template Event<&T::OnChanging>("OnChanging", "TTVChangingEvent");
    r.template Event<&T::OnDeletion>("OnDeletion", "TTVExpandedEvent");
    r.template Event<&T::OnEdited>("OnEdited", "TTVEditedEvent");
  });
  return info;
}

const TClassInfo& TTreeView::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTreeView>("TTreeView", [](auto& r) {
    PublishControl(r, {"Color", "Images", "Items", "ParentColor", "ReadOnly", "TabOrder", "TabStop",
                       "OnChange", "OnChanging", "OnDeletion", "OnEdited", "OnEnter", "OnExit",
                       "OnKeyDown", "OnKeyPress", "OnKeyUp"});
  });
  return info;
}

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomTreeView::~TCustomTreeView() {
  items_.reset();
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove) Unlink(component, images_);
}

void TCustomTreeView::SetImages(TCustomImageList* images) {
  Link(this, images_, images);
  Invalidate();
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node && node->Owner() != items_.get()) return;
  if (node == selected_) return;
  bool allow = true;
  OnChanging(this, node, allow);
  if (!allow) return;
  selected_ = node;
  OnChange(this, node);
  Invalidate();
}

void TCustomTreeView::EditText(TTreeNode* node, std::string_view text) {
  if (read_only_ || !node || node->Owner() != items_.get()) return;
  std::string s(text);
  OnEdited(this, node, s);
  if (node->Owner() == items_.get()) node->SetText(s);
}

void TCustomTreeView::NodeDeleting(TTreeNode* node) {
  if (selected_ == node) selected_ = nullptr;
  if (!IsDestroying()) OnDeletion(this, node);
}

bool TCustomTreeView::WantsKey(Word key, TShiftState shift) const {
  return IsNavigationKey(key) || TWinControl::WantsKey(key, shift);
}

void TCustomTreeView::DefaultKeyDown(Word& key, TShiftState) {
  // Moves among the nodes a user sees: those whose ancestors are expanded.
  auto visible = [](TTreeNode* n) {
    for (TTreeNode* p = n->Parent(); p; p = p->Parent())
      if (!p->Expanded()) return false;
    return true;
  };
  int count = items_->Count();
  if (count == 0) return;
  int at = selected_ ? selected_->Index() : -1;
  switch (key) {
    case VK_DOWN:
      for (int i = at + 1; i < count; ++i)
        if (visible(items_->Item(i))) {
          SetSelected(items_->Item(i));
          break;
        }
      break;
    case VK_UP:
      for (int i = at - 1; i >= 0; --i)
        if (visible(items_->Item(i))) {
          SetSelected(items_->Item(i));
          break;
        }
      break;
    case VK_HOME:
      SetSelected(items_->Item(0));
      break;
    case VK_RIGHT:
      if (selected_ && selected_->HasChildren()) selected_->SetExpanded(true);
      break;
    case VK_LEFT:
      if (selected_ && selected_->Expanded())
        selected_->SetExpanded(false);
      else if (selected_ && selected_->Parent())
        SetSelected(selected_->Parent());
      break;
    default:
      break;
  }
}

// ---- TStatusBar ------------------------------------------------------------------------

const TClassInfo& TStatusPanel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStatusPanel>("TStatusPanel", [](auto& r) {
    RegisterComTypes();
    r.template Ord<&TStatusPanel::Alignment, &TStatusPanel::SetAlignment>("Alignment",
                                                                          "TAlignment");
    r.template Str<&TStatusPanel::Text, &TStatusPanel::SetText>("Text");
    r.template Ord<&TStatusPanel::Width, &TStatusPanel::SetWidth>("Width", "Integer");
  });
  return info;
}

void TStatusPanel::Assign(const TPersistent* source) {
  auto* p = dynamic_cast<const TStatusPanel*>(source);
  if (!p) {
    TCollectionItem::Assign(source);
    return;
  }
  text_ = p->text_;
  width_ = p->width_;
  alignment_ = p->alignment_;
  Changed(false);
}

void TStatusPanel::SetText(std::string_view text) {
  text_ = std::string(text);
  Changed(false);
}

void TStatusPanel::SetWidth(int w) {
  width_ = std::max(0, w);
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar* owner)
    : TCollection([](TCollection* c) { return new TStatusPanel(c); }), owner_(owner) {}

const TClassInfo& TStatusPanels::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStatusPanels>("TStatusPanels", [](auto&) {});
  return info;
}

void TStatusPanels::Update(TCollectionItem*) {
  if (owner_) owner_->Invalidate();
}

const TClassInfo& TStatusBar::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TStatusBar>("TStatusBar", [](auto& r) {
    PublishControl(r, {"Color", "ParentColor"});
    r.template Obj<&TStatusBar::Panels, &TStatusBar::SetPanels>("Panels", "TStatusPanels");
    r.template Bool<&TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel>("SimplePanel");
    r.template Str<&TStatusBar::SimpleText, &TStatusBar::SetSimpleText>("SimpleText");
    r.template Bool<&TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip>("SizeGrip");
  });
  return info;
}

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
  panels_.reset();
}

void TStatusBar::SetSimplePanel(bool v) {
  simple_panel_ = v;
  Invalidate();
}

void TStatusBar::SetSimpleText(std::string_view text) {
  simple_text_ = std::string(text);
  Invalidate();
}

// ---- TToolButton -----------------------------------------------------------------------

const TClassInfo& TToolButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TToolButton>("TToolButton", [](auto& r) {
    RegisterComTypes();
    PublishControl(r, {"Caption"});
    using B = TToolButton;
    r.template Bool<&B::AllowAllUp, &B::SetAllowAllUp>("AllowAllUp");
    r.template Bool<&B::Down, &B::SetDown>("Down");
    r.template Obj<&B::DropdownMenu, &B::SetDropdownMenu>("DropdownMenu", "TPopupMenu");
    r.template Bool<&B::Grouped, &B::SetGrouped>("Grouped");
    r.template Ord<&B::ImageIndex, &B::SetImageIndex>("ImageIndex", "TImageIndex");
    r.template Obj<&B::MenuItem, &B::SetMenuItem>("MenuItem", "TMenuItem");
    r.template Ord<&B::Style, &B::SetStyle>("Style", "TToolButtonStyle");
  });
  return info;
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const {
  return dynamic_cast<TToolBar*>(Parent());
}

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  for (int i = 0; i < bar->ButtonCount(); ++i)
    if (bar->Buttons(i) == this) return i;
  return -1;
}

void TToolButton::SetParent(TWinControl* parent) {
  TToolBar* old = ToolBar();
  TGraphicControl::SetParent(parent);
  if (old && old != parent && !old->IsDestroying()) old->ArrangeButtons();
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
}

void TToolButton::SetStyle(TToolButtonStyle s) {
  if (s == style_) return;
  style_ = s;
  if (s != tbsCheck) down_ = false;
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
  Invalidate();
}

void TToolButton::SetImageIndex(int v) {
  image_index_ = v;
  Invalidate();
}

void TToolButton::SetDown(bool v) {
  if (v == down_) return;
  if (!v && grouped_ && !allow_all_up_ && style_ == tbsCheck) return;  // one stays down
  down_ = v;
  if (v && grouped_)
    if (TToolBar* bar = ToolBar()) {
      // The group: the adjacent grouped check buttons around this one.
      int at = Index();
      auto release = [&](int step) {
        for (int i = at + step; i >= 0 && i < bar->ButtonCount(); i += step) {
          TToolButton* b = bar->Buttons(i);
          if (!b->grouped_ || b->style_ != tbsCheck) break;
          b->down_ = false;
          b->Invalidate();
        }
      };
      release(-1);
      release(1);
    }
  Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
  Link(this, dropdown_menu_, menu);
}

void TToolButton::SetMenuItem(TMenuItem* item) {
  Link(this, menu_item_, item);
  if (item) {
    SetCaption(item->Caption());
    SetHint(item->Hint());
    image_index_ = item->ImageIndex();
  }
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != opRemove) return;
  Unlink(component, dropdown_menu_);
  Unlink(component, menu_item_);
}

void TToolButton::Click() {
  if (!Enabled() || style_ == tbsSeparator || style_ == tbsDivider) return;
  if (style_ == tbsCheck) {
    if (!down_)
      SetDown(true);
    else if (!grouped_ || allow_all_up_)
      SetDown(false);
  }
  if (OnClick.Assigned()) {
    TGraphicControl::Click();
    return;
  }
  if (menu_item_) {
    menu_item_->Click();
    return;
  }
  // A plain button with a menu and nothing else to do shows the menu.
  if (style_ != tbsDropDown && dropdown_menu_) CheckMenuDropdown();
}

bool TToolButton::CheckMenuDropdown() {
  if (!Enabled() || !dropdown_menu_) return false;
  TPoint p = ClientToScreen(*this, {0, Height()});
  dropdown_menu_->SetPopupComponent(this);
  dropdown_menu_->Popup(p.X, p.Y);
  return true;
}

// ---- TToolBar --------------------------------------------------------------------------

const TClassInfo& TToolBar::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TToolBar>("TToolBar", [](auto& r) {
    PublishControl(r, {"Caption", "Color", "ParentColor", "TabOrder", "TabStop"});
    using T = TToolBar;
    r.template Ord<&T::ButtonHeight, &T::SetButtonHeight>("ButtonHeight", "Integer");
    r.template Ord<&T::ButtonWidth, &T::SetButtonWidth>("ButtonWidth", "Integer");
    r.template Bool<&T::Flat, &T::SetFlat>("Flat");
    r.template Obj<&T::Images, &T::SetImages>("Images", "TCustomImageList");
    r.template Bool<&T::List, &T::SetList>("List");
    r.template Bool<&T::ShowCaptions, &T::SetShowCaptions>("ShowCaptions");
  });
  return info;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (TControl* c : ControlList())
    n += dynamic_cast<TToolButton*>(c) ? 1 : 0;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  for (TControl* c : ControlList())
    if (auto* b = dynamic_cast<TToolButton*>(c); b && index-- == 0) return b;
  throw EListError(Format("List index out of bounds (%d)", index));
}

void TToolBar::SetButtonWidth(int w) {
  button_width_ = std::max(1, w);
  ArrangeButtons();
}

void TToolBar::SetButtonHeight(int h) {
  button_height_ = std::max(1, h);
  ArrangeButtons();
}

void TToolBar::SetImages(TCustomImageList* images) {
  Link(this, images_, images);
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove) Unlink(component, images_);
}

void TToolBar::ArrangeButtons() {
  // The arrow part of a drop-down button and the width of a separator.
  constexpr int kArrowWidth = 14;
  constexpr int kSeparatorWidth = 8;
  int x = 0;
  for (TControl* c : ControlList()) {
    auto* b = dynamic_cast<TToolButton*>(c);
    if (!b || !b->Visible()) continue;
    int w = button_width_;
    if (b->Style() == tbsSeparator || b->Style() == tbsDivider) w = kSeparatorWidth;
    if (b->Style() == tbsDropDown) w += kArrowWidth;
    b->SetBounds(x, 0, w, button_height_);
    x += w;
  }
}

void RegisterListControlClasses() {
  for (const TClassInfo* c :
       {&TCollectionItem::StaticClassInfo(),  &TCollection::StaticClassInfo(),
        &TListColumn::StaticClassInfo(),      &TListColumns::StaticClassInfo(),
        &TListItem::StaticClassInfo(),        &TListItems::StaticClassInfo(),
        &TListView::StaticClassInfo(),        &TTreeNode::StaticClassInfo(),
        &TTreeNodes::StaticClassInfo(),       &TTreeView::StaticClassInfo(),
        &TStatusPanel::StaticClassInfo(),     &TStatusPanels::StaticClassInfo(),
        &TStatusBar::StaticClassInfo(),       &TToolButton::StaticClassInfo(),
        &TToolBar::StaticClassInfo(),         &TMenuItem::StaticClassInfo(),
        &TMainMenu::StaticClassInfo(),        &TPopupMenu::StaticClassInfo(),
        &TImageList::StaticClassInfo(),       &TStringGrid::StaticClassInfo(),
        &TStringAlignGrid::StaticClassInfo(), &TTabSet::StaticClassInfo(),
        &TDBNavigator::StaticClassInfo()})
    (void)c;
}

}  // namespace vx
