#pragma once
// The common controls: list view, tree view, status bar, tool bar.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/collections.h"
#include "platform/ui/imglist.h"
#include "platform/ui/menus.h"
#include "platform/ui/stdctrls.h"

namespace vx {

class TCustomListView;
class TListItem;
class TListColumn;
class TTreeNode;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;
enum class TSortType { stNone, stData, stText, stBoth };
using enum TSortType;
enum class TItemChange { ctText, ctImage, ctState };
using enum TItemChange;

// Automatic column widths: fit to the content, or to the header and the
// content.
constexpr int ColumnTextWidth = -1;
constexpr int ColumnHeaderWidth = -2;

using TLVEditingEvent = TEvent<TObject*, TListItem*, bool&>;
// S is the new caption; the handler may change it (setting the old caption
// refuses the edit) or raise, which keeps the old caption.
using TLVEditedEvent = TEvent<TObject*, TListItem*, std::string&>;
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVChangeEvent = TEvent<TObject*, TListItem*, TItemChange>;
using TLVChangingEvent = TEvent<TObject*, TListItem*, TItemChange, bool&>;
using TLVDeletedEvent = TEvent<TObject*, TListItem*>;
// Compare: < 0 when Item1 comes first.
using TLVCompareEvent = TEvent<TObject*, TListItem*, TListItem*, int, int&>;

// ---- list view ---------------------------------------------------------------------

class TListColumn : public TCollectionItem {
  VX_CLASS(TListColumn, TCollectionItem)
  explicit TListColumn(TCollection* collection) : TCollectionItem(collection) {}
  void Assign(const TPersistent* source) override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  // Pixels; an automatic column gives its current fitted width.
  int Width() const;
  void SetWidth(int width);
  // The width as set: pixels, ColumnTextWidth or ColumnHeaderWidth.
  int WidthType() const { return width_; }
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);

  TCustomListView* ListView() const;

 private:
  std::string caption_;
  TAlignment alignment_ = taLeftJustify;
  int width_ = 50;
  bool auto_size_ = false;
};

class TListColumns : public TCollection {
  VX_CLASS(TListColumns, TCollection)
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const {
    return static_cast<TListColumn*>(TCollection::Items(index));
  }
  TCustomListView* Owner() const { return owner_; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TCustomListView* owner_;
};

class TListItem : public TCollectionItem {
  VX_CLASS(TListItem, TCollectionItem)
  explicit TListItem(TCollection* collection);
  void Assign(const TPersistent* source) override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption);
  // Texts of the columns after the first.
  TStrings* SubItems() const { return sub_items_.get(); }
  void SetSubItems(TStrings* items) { sub_items_->Assign(items); }
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  bool Selected() const { return selected_; }
  void SetSelected(bool v);
  bool Focused() const { return focused_; }
  void SetFocused(bool v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v) { checked_ = v; }
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }

  TCustomListView* ListView() const;
  // Starts editing the caption in place; false when the list view refuses.
  bool EditCaption();
  void Delete();

 private:
  friend class TCustomListView;
  void SubItemsChanged(TObject*);

  std::string caption_;
  std::unique_ptr<TStringList> sub_items_;
  int image_index_ = -1;
  bool selected_ = false;
  bool focused_ = false;
  bool checked_ = false;
  void* data_ = nullptr;
};

class TListItems : public TCollection {
  VX_CLASS(TListItems, TCollection)
  explicit TListItems(TCustomListView* owner);
  TListItem* Add() { return static_cast<TListItem*>(TCollection::Add()); }
  TListItem* Insert(int index) { return static_cast<TListItem*>(TCollection::Insert(index)); }
  TListItem* Items(int index) const { return static_cast<TListItem*>(TCollection::Items(index)); }
  TListItem* operator[](int index) const { return Items(index); }
  TCustomListView* Owner() const { return owner_; }

 protected:
  friend class TCustomListView;
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

 private:
  TCustomListView* owner_;
};

class TCustomListView : public TWinControl {
  VX_CLASS(TCustomListView, TWinControl)
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListColumns* Columns() const { return columns_.get(); }
  void SetColumns(TListColumns* columns) { columns_->Assign(columns); }
  TListItems* Items() const { return items_.get(); }
  void SetItems(TListItems* items) { items_->Assign(items); }
  TListColumn* Column(int index) const { return columns_->Items(index); }

  TViewStyle ViewStyle() const { return view_style_; }
  void SetViewStyle(TViewStyle v);
  bool MultiSelect() const { return multi_select_; }
  // Turning multi-selection off keeps the first selected item only.
  void SetMultiSelect(bool v);
  bool RowSelect() const { return row_select_; }
  void SetRowSelect(bool v) { row_select_ = v; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  TSortType SortType() const { return sort_type_; }
  void SetSortType(TSortType t);
  bool ColumnClick() const { return column_click_; }
  void SetColumnClick(bool v) { column_click_ = v; }
  bool ShowColumnHeaders() const { return show_column_headers_; }
  void SetShowColumnHeaders(bool v) { show_column_headers_ = v; }
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool v) { hide_selection_ = v; }
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool v) { checkboxes_ = v; }
  bool GridLines() const { return grid_lines_; }
  void SetGridLines(bool v) { grid_lines_ = v; }
  TCustomImageList* LargeImages() const { return large_images_; }
  void SetLargeImages(TCustomImageList* images);
  TCustomImageList* SmallImages() const { return small_images_; }
  void SetSmallImages(TCustomImageList* images);
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* menu);

  // The first selected item (nullptr: none); setting selects that item only.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int SelCount() const;
  // The index of the first selected item, -1 when none.
  int ItemIndex() const;
  void SetItemIndex(int index);
  TListItem* ItemFocused() const;
  // The next selected item after start (nullptr: from the top).
  TListItem* NextSelected(TListItem* start) const;
  void SelectAll();
  void ClearSelection();
  void DeleteSelected();
  // First item with exactly this caption, from index start; nullptr when
  // none.
  TListItem* FindCaption(std::string_view caption, int start = 0) const;

  // Sorts by caption (ignoring case, then exactly), or by OnCompare when
  // assigned.
  void AlphaSort();
  // Sorts with compare (< 0: a first) or, when it is empty, by OnCompare.
  void CustomSort(const std::function<int(TListItem*, TListItem*)>& compare);

  // In-place caption editing: BeginEdit asks OnEditing (read-only lists
  // refuse); EndEdit with the user's text raises OnEdited and stores the
  // caption it leaves; CancelEdit keeps the caption.
  bool BeginEdit(TListItem* item);
  bool IsEditing() const { return editing_ != nullptr; }
  TListItem* EditingItem() const { return editing_; }
  void EndEdit(std::string_view text);
  void CancelEdit();

  // The user clicked a column header.
  void ClickColumn(int index);
  // The user asked for the context menu at a client position.
  void ContextPopup(TPoint client_point);

  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsertion;
  TLVEditedEvent OnEdited;
  TLVEditingEvent OnEditing;
  TLVSelectItemEvent OnSelectItem;

  bool WantsKey(Word key, TShiftState shift) const override;
  bool TakesFocusOnClick() const override { return true; }

 protected:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  void Notification(TComponent* component, TOperation operation) override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  // Whether the state change of item may happen (OnChanging).
  bool CanChange(TListItem* item, TItemChange change);
  void Change(TListItem* item, TItemChange change);
  void ItemSelected(TListItem* item, bool selected);
  void ItemsChanged();
  void SortIfNeeded();
  int FittedWidth(const TListColumn& column) const;

 private:
  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle view_style_ = vsIcon;
  bool multi_select_ = false;
  bool row_select_ = false;
  bool read_only_ = false;
  TSortType sort_type_ = stNone;
  bool column_click_ = true;
  bool show_column_headers_ = true;
  bool hide_selection_ = true;
  bool checkboxes_ = false;
  bool grid_lines_ = false;
  TCustomImageList* large_images_ = nullptr;
  TCustomImageList* small_images_ = nullptr;
  TPopupMenu* popup_menu_ = nullptr;
  TListItem* editing_ = nullptr;
  bool sorting_ = false;
};

class TListView : public TCustomListView {
  VX_CLASS(TListView, TCustomListView)
  explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};

// ---- tree view ---------------------------------------------------------------------

class TTreeNodes;
class TCustomTreeView;

// A node of a tree view. The nodes are kept in the tree's flat order (each
// node followed by its descendants); Items_N of the tree is node N of it.
class TTreeNode : public TCollectionItem {
  VX_CLASS(TTreeNode, TCollectionItem)
  explicit TTreeNode(TCollection* collection) : TCollectionItem(collection) {}
  void Assign(const TPersistent* source) override;

  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int v) { image_index_ = v; }
  int SelectedIndex() const { return selected_index_; }
  void SetSelectedIndex(int v) { selected_index_ = v; }
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v) { expanded_ = v; }
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }
  // 0 for a root node.
  int Level() const { return level_; }
  TTreeNode* Parent() const;
  // Direct children.
  int Count() const;
  TTreeNode* Item(int index) const;
  bool HasChildren() const { return Count() > 0; }
  // Position in the flat order.
  int AbsoluteIndex() const { return Index(); }
  bool Selected() const;
  TTreeNodes* Owner() const;
  // Deletes the node and its descendants.
  void Delete();

 private:
  friend class TTreeNodes;
  std::string text_;
  int image_index_ = -1;
  int selected_index_ = -1;
  bool expanded_ = false;
  void* data_ = nullptr;
  int level_ = 0;
};

class TTreeNodes : public TCollection {
  VX_CLASS(TTreeNodes, TCollection)
  explicit TTreeNodes(TCustomTreeView* owner);
  // Node by flat index.
  TTreeNode* Item(int index) const { return static_cast<TTreeNode*>(TCollection::Items(index)); }
  TTreeNode* operator[](int index) const { return Item(index); }
  // Adds the node as the last sibling of sibling (nullptr: a last root node).
  TTreeNode* Add(TTreeNode* sibling, std::string_view text);
  // Adds the node as the last child of parent (nullptr: a last root node).
  TTreeNode* AddChild(TTreeNode* parent, std::string_view text);
  // Inserts the node before sibling, at its level.
  TTreeNode* Insert(TTreeNode* sibling, std::string_view text);
  // Deletes node index and its descendants.
  void Delete(int index) override;
  void Delete(TTreeNode* node);
  TTreeNode* GetFirstNode() const { return Count() ? Item(0) : nullptr; }
  // One past the node's last descendant.
  int SubtreeEnd(int index) const;
  TCustomTreeView* Owner() const { return owner_; }

 protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

 private:
  TTreeNode* InsertAt(int index, int level, std::string_view text);
  TCustomTreeView* owner_;
};

using TTVChangedEvent = TEvent<TObject*, TTreeNode*>;
using TTVChangingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVEditedEvent = TEvent<TObject*, TTreeNode*, std::string&>;

class TCustomTreeView : public TWinControl {
  VX_CLASS(TCustomTreeView, TWinControl)
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  void SetItems(TTreeNodes* items) { items_->Assign(items); }
  TTreeNode* Selected() const { return selected_; }
  // OnChanging may refuse; OnChange follows.
  void SetSelected(TTreeNode* node);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v) { read_only_ = v; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  // The user's edit of a node's text: OnEdited may change the text; read-only
  // trees keep it.
  void EditText(TTreeNode* node, std::string_view text);
  bool TakesFocusOnClick() const override { return true; }
  bool WantsKey(Word key, TShiftState shift) const override;

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVChangedEvent OnDeletion;
  TTVEditedEvent OnEdited;

 protected:
  friend class TTreeNodes;
  void Notification(TComponent* component, TOperation operation) override;
  void DefaultKeyDown(Word& key, TShiftState shift) override;
  void NodeDeleting(TTreeNode* node);

 private:
  std::unique_ptr<TTreeNodes> items_;
  TTreeNode* selected_ = nullptr;
  bool read_only_ = false;
  TCustomImageList* images_ = nullptr;
};

class TTreeView : public TCustomTreeView {
  VX_CLASS(TTreeView, TCustomTreeView)
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

// ---- status bar --------------------------------------------------------------------

class TStatusBar;

class TStatusPanel : public TCollectionItem {
  VX_CLASS(TStatusPanel, TCollectionItem)
  explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
  void Assign(const TPersistent* source) override;

  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);
  int Width() const { return width_; }
  void SetWidth(int w);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

 private:
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TStatusPanels : public TCollection {
  VX_CLASS(TStatusPanels, TCollection)
  explicit TStatusPanels(TStatusBar* owner);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const {
    return static_cast<TStatusPanel*>(TCollection::Items(index));
  }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TStatusBar* owner_;
};

class TStatusBar : public TWinControl {
  VX_CLASS(TStatusBar, TWinControl)
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* panels) { panels_->Assign(panels); }
  // One text over the whole bar instead of the panels.
  bool SimplePanel() const { return simple_panel_; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return simple_text_; }
  void SetSimpleText(std::string_view text);
  bool SizeGrip() const { return size_grip_; }
  void SetSizeGrip(bool v) { size_grip_ = v; }

 private:
  std::unique_ptr<TStatusPanels> panels_;
  bool simple_panel_ = false;
  std::string simple_text_;
  bool size_grip_ = true;
};

// ---- tool bar ----------------------------------------------------------------------

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
using enum TToolButtonStyle;

class TToolBar;

class TToolButton : public TGraphicControl {
  VX_CLASS(TToolButton, TGraphicControl)
  explicit TToolButton(TComponent* owner);

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle s);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int v);
  // Check buttons: pressed state; a grouped one releases the others of its
  // group of adjacent grouped buttons.
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v) { grouped_ = v; }
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool v) { allow_all_up_ = v; }
  TPopupMenu* DropdownMenu() const { return dropdown_menu_; }
  void SetDropdownMenu(TPopupMenu* menu);
  TMenuItem* MenuItem() const { return menu_item_; }
  void SetMenuItem(TMenuItem* item);
  TToolBar* ToolBar() const;
  // On a tool bar the buttons line up in their order.
  void SetParent(TWinControl* parent) override;
  // The button's index on its tool bar; -1 without one.
  int Index() const;

  // A click on the button: check buttons toggle; then OnClick (a button
  // tied to a menu item clicks the item instead when OnClick is unassigned).
  void Click() override;
  // A click on the arrow of a drop-down button (or on a plain button that
  // has a drop-down menu): pops the menu up below the button's lower left
  // corner. False when there is nothing to show.
  bool CheckMenuDropdown();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TToolButtonStyle style_ = tbsButton;
  int image_index_ = -1;
  bool down_ = false;
  bool grouped_ = false;
  bool allow_all_up_ = false;
  TPopupMenu* dropdown_menu_ = nullptr;
  TMenuItem* menu_item_ = nullptr;
};

class TToolBar : public TWinControl {
  VX_CLASS(TToolBar, TWinControl)
  explicit TToolBar(TComponent* owner);

  int ButtonCount() const;
  TToolButton* Buttons(int index) const;
  int ButtonWidth() const { return button_width_; }
  void SetButtonWidth(int w);
  int ButtonHeight() const { return button_height_; }
  void SetButtonHeight(int h);
  bool Flat() const { return flat_; }
  void SetFlat(bool v) { flat_ = v; }
  bool ShowCaptions() const { return show_captions_; }
  void SetShowCaptions(bool v) { show_captions_ = v; }
  bool List() const { return list_; }
  void SetList(bool v) { list_ = v; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  // Places the buttons side by side in their order.
  void ArrangeButtons();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int button_width_ = 23;
  int button_height_ = 22;
  bool flat_ = false;
  bool show_captions_ = false;
  bool list_ = false;
  TCustomImageList* images_ = nullptr;
};

// Defines the class information of the list controls, grids, menus, tab
// set, navigator and image lists, so that they are found by name.
void RegisterListControlClasses();

}  // namespace vx
