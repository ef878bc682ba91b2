#pragma once
// Menus: TMenuItem trees under a TMainMenu or a TPopupMenu. Items are
// components of the form (so that language files and the form conversion
// find them by name); a parent item frees its sub-items with it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/controls.h"

namespace vx {

class TMenu;
class TPopupMenu;
class TCustomImageList;

// "&Open" -> "Open"; "&&" stays one "&".
std::string StripHotkey(std::string_view caption);
// The accelerator character of a caption, upper-cased ("删除(&D)" -> 'D'); 0
// when none.
char32_t GetHotkey(std::string_view caption);

class TMenuItem : public TComponent {
  VX_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  void BeforeDestruction() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption) { caption_ = std::string(caption); }
  // A caption of "-" makes the item a separator line.
  bool IsLine() const { return caption_ == "-"; }
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view hint) { hint_ = std::string(hint); }
  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the radio items of its group among its
  // siblings.
  void SetChecked(bool v);
  bool RadioItem() const { return radio_item_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int v);
  // Clicking checks the item (a radio item) or toggles it.
  bool AutoCheck() const { return auto_check_; }
  void SetAutoCheck(bool v) { auto_check_ = v; }
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int v) { image_index_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }

  // Sub-items.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Detaches the sub-item (it stays alive).
  void Remove(TMenuItem* item);
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return parent_; }
  // The menu the item's tree belongs to; nullptr when detached.
  TMenu* GetParentMenu() const;
  // The visible, enabled sub-item with this accelerator; nullptr when none.
  TMenuItem* FindByHotkey(char32_t key) const;

  // The user's choice of the item: nothing when disabled; auto-check, then
  // OnClick.
  virtual void Click();

  TNotifyEvent OnClick;

 private:
  friend class TMenu;
  void UncheckGroupSiblings();

  std::string caption_;
  std::string hint_;
  bool checked_ = false;
  bool radio_item_ = false;
  int group_index_ = 0;
  bool auto_check_ = false;
  int image_index_ = -1;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item only
};

class TMenu : public TComponent {
  VX_CLASS(TMenu, TComponent)
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The invisible root whose sub-items are the menu's items.
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  // The widget set draws the items itself (fonts of another code page).
  bool OwnerDraw() const { return owner_draw_; }
  void SetOwnerDraw(bool v) { owner_draw_ = v; }
  // Item with this name anywhere in the tree (ignoring case); nullptr when
  // none.
  TMenuItem* FindItem(std::string_view name) const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
  bool owner_draw_ = false;
};

class TMainMenu : public TMenu {
  VX_CLASS(TMainMenu, TMenu)
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
};

class TPopupMenu : public TMenu {
  VX_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

  // Shows the menu at a screen position: OnPopup, then the widget set.
  virtual void Popup(int x, int y);
  TPoint PopupPoint() const { return popup_point_; }
  // The control the menu was last popped up for (set by the caller).
  TComponent* PopupComponent() const { return popup_component_.get(); }
  void SetPopupComponent(TComponent* c) { popup_component_ = c; }
  bool AutoPopup() const { return auto_popup_; }
  void SetAutoPopup(bool v) { auto_popup_ = v; }

  TNotifyEvent OnPopup;

 private:
  TPoint popup_point_;
  TWeak<TComponent> popup_component_;
  bool auto_popup_ = true;
};

// What a widget set does to show a pop-up menu; a widget set without it shows
// none (the model's state is kept all the same).
class IPopupMenuHost {
 public:
  virtual ~IPopupMenuHost() = default;
  virtual void ShowPopupMenu(TPopupMenu& menu, int x, int y) = 0;
};

// The screen position of a point of a control's client area (forms place
// their client area at their own position).
TPoint ClientToScreen(const TControl& control, TPoint point);

}  // namespace vx
