#pragma once
// Panels (containers with a caption and bevels), radio groups and
// splitters.
#include <vector>

#include "platform/ui/stdctrls.h"

namespace vx {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;

class TCustomPanel : public TWinControl {
  VX_CLASS(TCustomPanel, TWinControl)
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut b) { bevel_inner_ = b; }
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut b) { bevel_outer_ = b; }
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int w) { bevel_width_ = w; }
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int w) { border_width_ = w; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a; }

  TNotifyEvent OnResize;

 protected:
  void Resize() override { OnResize(this); }

 private:
  TBevelCut bevel_inner_ = bvNone;
  TBevelCut bevel_outer_ = bvRaised;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
  VX_CLASS(TPanel, TCustomPanel)
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// A group box whose items are radio buttons, one per entry of Items, laid
// out in Columns. Clicking a button (or setting ItemIndex) selects its item
// and runs the group's click event.
class TCustomRadioGroup : public TGroupBox {
  VX_CLASS(TCustomRadioGroup, TGroupBox)
  explicit TCustomRadioGroup(TComponent* owner);
  ~TCustomRadioGroup() override;

  TStrings* Items() const;
  void SetItems(TStrings* items);
  // Kept within -1 and the last item.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  // Kept within 1 and 16.
  int Columns() const { return columns_; }
  void SetColumns(int n);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TButtonControl* Buttons(int index) const;

 protected:
  // The item buttons' class: radio buttons here; a descendant brings its own.
  virtual TButtonControl* CreateButton();
  // True when the columns run right to left.
  virtual bool MirrorColumns() const { return false; }
  void ArrangeButtons();
  const std::vector<TButtonControl*>& ButtonList() const { return buttons_; }
  void Resize() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ItemsChanged(TObject*);
  void ButtonClick(TObject* sender);
  void UpdateButtons();
  std::unique_ptr<TStringList> items_;
  std::vector<TButtonControl*> buttons_;
  int item_index_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
  VX_CLASS(TRadioGroup, TCustomRadioGroup)
  explicit TRadioGroup(TComponent* owner) : TCustomRadioGroup(owner) {}
};

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using enum TResizeStyle;

// A bar between aligned controls that the user drags to resize the control
// before it (in its alignment's direction).
class TSplitter : public TGraphicControl {
  VX_CLASS(TSplitter, TGraphicControl)
  explicit TSplitter(TComponent* owner);

  // The least size of the resized control.
  int MinSize() const { return min_size_; }
  void SetMinSize(int v) { min_size_ = v < 0 ? 0 : v; }
  bool Beveled() const { return beveled_; }
  void SetBeveled(bool v) { beveled_ = v; }
  TResizeStyle ResizeStyle() const { return resize_style_; }
  void SetResizeStyle(TResizeStyle s) { resize_style_ = s; }
  // The control the splitter resizes: the sibling aligned to the same side
  // that touches it; nullptr when none.
  TControl* FindControl() const;
  // The user drags the splitter by delta pixels (right or down positive).
  // False when there was nothing to resize.
  bool DragBy(int delta);

  TNotifyEvent OnMoved;

 private:
  int min_size_ = 30;
  bool beveled_ = false;
  TResizeStyle resize_style_ = rsPattern;
};

}  // namespace vx
