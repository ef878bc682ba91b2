#pragma once
// Page controls and their pages. Each tab sheet child of a page control is
// one page; only the active page is visible. A page whose TabVisible is off
// keeps its place among the pages but has no tab: tab indexes count only the
// pages with a visible tab.
#include <vector>

#include "platform/ui/stdctrls.h"

namespace vx {

class TPageControl;

using TTabChangingEvent = TEvent<TObject*, bool&>;
// (control, tab index, active, tab rectangle): the order the framework's
// page control publishes, so that both are one event.
using TDrawTabEvent = TEvent<TObject*, int, bool, const TRect&>;

class TTabSheet : public TWinControl {
  VX_CLASS(TTabSheet, TWinControl)
  explicit TTabSheet(TComponent* owner);
  void BeforeDestruction() override;

  TPageControl* PageControl() const { return page_control_; }
  // Makes the sheet a page of that control (its parent), at the end.
  void SetPageControl(TPageControl* control);
  void SetParent(TWinControl* parent) override;
  // Position among all pages; -1 without a page control.
  int PageIndex() const;
  void SetPageIndex(int index);
  // Position among the visible tabs; -1 when the tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool v);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int v) { image_index_ = v; }

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void VisibleChanged() override;

 private:
  friend class TPageControl;
  TPageControl* page_control_ = nullptr;
  bool tab_visible_ = true;
  int image_index_ = -1;
};

class TPageControl : public TWinControl {
  VX_CLASS(TPageControl, TWinControl)
  explicit TPageControl(TComponent* owner);
  void BeforeDestruction() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const;
  // Pages with a visible tab.
  int TabCount() const;
  TTabSheet* TabPage(int tab_index) const;

  // Setting by code raises no changing or change event. When the focus was
  // on the old page, it moves to the first control of the new one; an exit
  // handler that keeps the focus on the old page keeps the page too.
  TTabSheet* ActivePage() const { return active_page_; }
  void SetActivePage(TTabSheet* page);
  // The active page's tab; -1 when none or its tab is hidden.
  int TabIndex() const;
  void SetTabIndex(int tab_index);
  int ActivePageIndex() const { return active_page_ ? active_page_->PageIndex() : -1; }
  void SetActivePageIndex(int index);

  // The next (or previous) page after current, wrapping around; only pages
  // with a visible tab when check_tab_visible. nullptr when none.
  TTabSheet* FindNextPage(TTabSheet* current, bool go_forward, bool check_tab_visible) const;
  // As the user's Ctrl+Tab: the next page, asking the changing handler
  // first, then the change event.
  void SelectNextPage(bool go_forward, bool check_tab_visible = true);
  // The user clicks a tab (by tab index): the same events.
  void UserSelectTab(int tab_index);

  bool OwnerDraw() const { return owner_draw_; }
  void SetOwnerDraw(bool v);
  int TabHeight() const { return tab_height_; }
  void SetTabHeight(int v);
  int TabWidth() const { return tab_width_; }
  void SetTabWidth(int v);
  bool MultiLine() const { return multi_line_; }
  void SetMultiLine(bool v) { multi_line_ = v; }
  // A tab's rectangle in the control; empty for a tab index out of range.
  TRect TabRect(int tab_index);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;

 protected:
  friend class TTabSheet;
  // The changing handler's answer (true without one).
  virtual bool CanChange();
  virtual void Change() { OnChange(this); }
  // Draws one tab on Canvas(): the draw-tab handler when assigned, else
  // the face and the caption.
  virtual void DrawTab(int tab_index, const TRect& rect, bool active);
  // The platform's own tab: face colour and the caption centred.
  void DrawTabFace(int tab_index, const TRect& rect);
  void Paint() override;
  void CMDialogKey(TMessage& msg);

 private:
  void AddPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void TabVisibilityChanged(TTabSheet* page);
  void ChangeActivePage(TTabSheet* page);
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_page_ = nullptr;
  bool owner_draw_ = false;
  bool multi_line_ = false;
  int tab_height_ = 0;
  int tab_width_ = 0;
};

}  // namespace vx
