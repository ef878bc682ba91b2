#include "controls/extpage.h"

namespace vx {

const TClassInfo& TExtPageControl::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TExtPageControl>("TExtPageControl", [](auto& r) {
    r.template Event<&TPageControl::OnDrawTab>("OnDrawTab", "TExtDrawTabEvent");
  });
  return info;
}

TExtPageControl::TExtPageControl(TComponent* owner) : TPageControl(owner) {
  SetOwnerDraw(true);
}

void TExtPageControl::DrawTab(int tab_index, const TRect& rect, bool active) {
  if (OnDrawTab) {
    OnDrawTab(this, tab_index, active, rect);
    return;
  }
  TTabSheet* page = TabPage(tab_index);
  if (!page) return;
  TCanvas& c = *Canvas();
  TRect r = rect;
  if (active) {
    r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    c.Brush = {clActiveCaption, bsSolid};
    c.Font()->SetColor(clCaptionText);
    c.Font()->SetStyle(c.Font()->Style() + TFontStyles{fsBold});
  } else {
    c.Brush = {clInactiveCaption, bsSolid};
    c.Font()->SetColor(clInactiveCaptionText);
    c.Font()->SetStyle(c.Font()->Style() - TFontStyles{fsBold});
  }
  c.FillRect(r);
  if (!active) r = {r.Left, r.Top + 2, r.Right, r.Bottom + 2};
  // One line, centred both ways.
  const std::string& caption = page->Caption();
  TSize e = c.TextExtent(caption);
  c.Brush.Style = bsClear;
  c.TextRect(r, r.Left + (r.Width() - e.cx) / 2, r.Top + (r.Height() - e.cy) / 2, caption);
}

}  // namespace vx
