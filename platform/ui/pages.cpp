#include "platform/ui/pages.h"

#include <algorithm>

#include "platform/rtl/text.h"

namespace vx {

namespace {

// The area of a page below the tabs.
TRect PageArea(const TPageControl& pc, int tab_height) {
  return {4, tab_height + 4, std::max(4, pc.Width() - 4),
          std::max(tab_height + 4, pc.Height() - 4)};
}

constexpr int kDefaultTabHeight = 20;

}  // namespace

// ---- TTabSheet ---------------------------------------------------------------------------

const TClassInfo& TTabSheet::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTabSheet>("TTabSheet", [](auto& r) {
    for (const char* name : {"Caption", "Color", "Enabled", "Font", "ParentColor", "ParentFont",
                             "ParentShowHint", "ShowHint", "OnEnter", "OnExit"})
      r.Publish(name);
    r.template Ord<&TTabSheet::ImageIndex, &TTabSheet::SetImageIndex>("ImageIndex", "TImageIndex");
    r.template Obj<&TTabSheet::PageControl, &TTabSheet::SetPageControl>("PageControl",
                                                                        "TPageControl");
    r.template Ord<&TTabSheet::PageIndex, &TTabSheet::SetPageIndex>("PageIndex", "Integer");
    r.template Bool<&TTabSheet::TabVisible, &TTabSheet::SetTabVisible>("TabVisible");
    r.template Event<&TTabSheet::OnHide>("OnHide");
    r.template Event<&TTabSheet::OnShow>("OnShow");
  });
  return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetColor(clBtnFace);
  // Hidden until its page control makes it the active page.
  StoreVisible(false);
}

void TTabSheet::BeforeDestruction() {
  if (page_control_) page_control_->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* control) {
  SetParent(control);
}

void TTabSheet::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  TWinControl::SetParent(parent);
  if (page_control_) page_control_->RemovePage(this);
  if (auto* pc = dynamic_cast<TPageControl*>(parent)) pc->AddPage(this);
}

int TTabSheet::PageIndex() const {
  if (!page_control_) return -1;
  auto& pages = page_control_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (page_control_) page_control_->MovePage(this, index);
}

int TTabSheet::TabIndex() const {
  if (!page_control_ || !tab_visible_) return -1;
  int n = 0;
  for (TTabSheet* p : page_control_->pages_) {
    if (p == this) return n;
    if (p->tab_visible_) ++n;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tab_visible_) return;
  tab_visible_ = v;
  if (page_control_) page_control_->TabVisibilityChanged(this);
}

void TTabSheet::VisibleChanged() {
  TWinControl::VisibleChanged();
  if (!page_control_) return;
  if (Visible())
    OnShow(this);
  else
    OnHide(this);
}

// ---- TPageControl -------------------------------------------------------------------------

const TClassInfo& TPageControl::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TPageControl>("TPageControl", [](auto& r) {
    for (const char* name :
         {"Align", "Enabled", "Font", "ParentFont", "ParentShowHint", "ShowHint", "TabOrder",
          "TabStop", "Visible", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"})
      r.Publish(name);
    r.template Obj<&TPageControl::ActivePage, &TPageControl::SetActivePage>("ActivePage",
                                                                            "TTabSheet");
    r.template Bool<&TPageControl::MultiLine, &TPageControl::SetMultiLine>("MultiLine");
    r.template Bool<&TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw>("OwnerDraw");
    r.template Ord<&TPageControl::TabHeight, &TPageControl::SetTabHeight>("TabHeight", "Smallint");
    r.template Ord<&TPageControl::TabWidth, &TPageControl::SetTabWidth>("TabWidth", "Smallint");
    r.template Event<&TPageControl::OnChange>("OnChange");
    r.template Event<&TPageControl::OnChanging>("OnChanging", "TTabChangingEvent");
    r.template Event<&TPageControl::OnDrawTab>("OnDrawTab", "TDrawTabEvent");
    r.template Message<&TPageControl::CMDialogKey>(CM_DIALOGKEY);
  });
  return info;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetColor(clBtnFace);
  SetTabStop(true);
}

void TPageControl::BeforeDestruction() {
  // The pages go with their parent; they need not report back.
  for (TTabSheet* p : pages_)
    p->page_control_ = nullptr;
  pages_.clear();
  active_page_ = nullptr;
  TWinControl::BeforeDestruction();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return pages_[index];
}

int TPageControl::TabCount() const {
  return static_cast<int>(
      std::count_if(pages_.begin(), pages_.end(), [](TTabSheet* p) { return p->tab_visible_; }));
}

TTabSheet* TPageControl::TabPage(int tab_index) const {
  if (tab_index < 0) return nullptr;
  for (TTabSheet* p : pages_)
    if (p->tab_visible_ && tab_index-- == 0) return p;
  return nullptr;
}

void TPageControl::AddPage(TTabSheet* page) {
  pages_.push_back(page);
  page->page_control_ = this;
  int th = tab_height_ ? tab_height_ : kDefaultTabHeight;
  TRect a = PageArea(*this, th);
  page->SetBounds(a.Left, a.Top, a.Width(), a.Height());
  // The first page becomes the active one; later ones wait hidden.
  if (!active_page_ && page->tab_visible_) {
    ChangeActivePage(page);
  } else if (page != active_page_) {
    page->SetVisible(false);
  }
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  int tab = page->TabIndex();
  pages_.erase(it);
  page->page_control_ = nullptr;
  if (page == active_page_) {
    active_page_ = nullptr;
    // The page that now stands at the removed tab's place, or the last tab.
    int count = TabCount();
    if (count > 0) ChangeActivePage(TabPage(std::min(std::max(tab, 0), count - 1)));
  }
  Invalidate();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, PageCount());
  pages_.insert(pages_.begin() + index, page);
  Invalidate();
}

void TPageControl::TabVisibilityChanged(TTabSheet* page) {
  if (page == active_page_ && !page->tab_visible_) {
    // The page that takes the hidden tab's place, or the last tab; none
    // when no tab is left.
    int index = page->PageIndex();
    TTabSheet* next = nullptr;
    for (int i = index + 1; i < PageCount() && !next; ++i)
      if (pages_[i]->tab_visible_) next = pages_[i];
    for (int i = index - 1; i >= 0 && !next; --i)
      if (pages_[i]->tab_visible_) next = pages_[i];
    ChangeActivePage(next);
  } else if (!active_page_ && page->tab_visible_) {
    ChangeActivePage(page);
  }
  Invalidate();
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
  if (page == active_page_) return;
  TCustomForm* form = GetParentForm(this);
  TTabSheet* old = active_page_;
  bool had_focus =
      form && old && form->ActiveControl() && old->ContainsControl(form->ActiveControl());
  if (had_focus) {
    // The focus leaves the old page first; its exit handler may keep it.
    if (CanFocus()) {
      form->FocusControl(this);
    } else {
      form->SetActiveControl(nullptr);
    }
    if (form->ActiveControl() && old->ContainsControl(form->ActiveControl())) return;
  }
  active_page_ = page;
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
  }
  if (old && old != page) old->SetVisible(false);
  if (had_focus && page && page->CanFocus() && form->ActiveControl() == this) page->SelectFirst();
  Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->page_control_ != this) return;
  ChangeActivePage(page);
}

int TPageControl::TabIndex() const {
  return active_page_ ? active_page_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int tab_index) {
  if (TTabSheet* p = TabPage(tab_index)) ChangeActivePage(p);
}

void TPageControl::SetActivePageIndex(int index) {
  ChangeActivePage(index >= 0 && index < PageCount() ? pages_[index] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool go_forward,
                                      bool check_tab_visible) const {
  int count = PageCount();
  if (count == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start =
      it == pages_.end() ? (go_forward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = go_forward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* p = pages_[i];
    if (!check_tab_visible || p->tab_visible_) return p;
  }
  return nullptr;
}

bool TPageControl::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TPageControl::SelectNextPage(bool go_forward, bool check_tab_visible) {
  TTabSheet* page = FindNextPage(active_page_, go_forward, check_tab_visible);
  if (!page || page == active_page_ || !CanChange()) return;
  TWeak<TPageControl> self(this);
  ChangeActivePage(page);
  if (self && active_page_ == page) Change();
}

void TPageControl::UserSelectTab(int tab_index) {
  TTabSheet* page = TabPage(tab_index);
  if (!page || page == active_page_ || !Enabled() || !CanChange()) return;
  TWeak<TPageControl> self(this);
  ChangeActivePage(page);
  if (self && active_page_ == page) Change();
}

void TPageControl::CMDialogKey(TMessage& msg) {
  Word key = static_cast<Word>(msg.WParam);
  TShiftState shift = LParamToShift(msg.LParam);
  TCustomForm* form = GetParentForm(this);
  bool inside = form && form->ActiveControl() && ContainsControl(form->ActiveControl());
  if (inside && key == VK_TAB && shift.Contains(ssCtrl)) {
    SelectNextPage(!shift.Contains(ssShift));
    msg.Result = 1;
  }
}

void TPageControl::SetOwnerDraw(bool v) {
  owner_draw_ = v;
  Invalidate();
}

void TPageControl::SetTabHeight(int v) {
  tab_height_ = std::max(0, v);
  Invalidate();
}

void TPageControl::SetTabWidth(int v) {
  tab_width_ = std::max(0, v);
  Invalidate();
}

TRect TPageControl::TabRect(int tab_index) {
  int count = TabCount();
  if (tab_index < 0 || tab_index >= count) return {};
  int h = tab_height_ ? tab_height_ : kDefaultTabHeight;
  int x = 2;
  for (int i = 0; i < count; ++i) {
    int w = tab_width_ ? tab_width_ : TextWidth(*Font(), TabPage(i)->Caption()) + 12;
    if (i == tab_index) return {x, 2, x + w, 2 + h};
    x += w;
  }
  return {};
}

void TPageControl::DrawTab(int tab_index, const TRect& rect, bool active) {
  if (OnDrawTab) {
    OnDrawTab(this, tab_index, active, rect);
    return;
  }
  DrawTabFace(tab_index, rect);
}

void TPageControl::DrawTabFace(int tab_index, const TRect& rect) {
  TCanvas& c = *Canvas();
  c.Brush.Color = Color();
  c.Brush.Style = bsSolid;
  c.FillRect(rect);
  const std::string& caption = TabPage(tab_index)->Caption();
  int x = rect.Left + (rect.Width() - c.TextWidth(caption)) / 2;
  int y = rect.Top + (rect.Height() - c.TextHeight(caption)) / 2;
  c.Brush.Style = bsClear;
  c.TextOut(x, y, caption);
}

void TPageControl::Paint() {
  int active = TabIndex();
  for (int i = 0; i < TabCount(); ++i) {
    TRect r = TabRect(i);
    if (owner_draw_)
      DrawTab(i, r, i == active);
    else
      DrawTabFace(i, r);
  }
}

}  // namespace vx
