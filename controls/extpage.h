#pragma once
// TExtPageControl: a page control whose tabs are drawn by the framework:
// the active tab in the active-caption colours with a bold caption, the
// others in the inactive-caption colours. An OnDrawTab handler draws them
// instead.
#include "platform/ui/pages.h"

namespace vx {

// (page control, tab index, active, tab rectangle): the page control's own
// event, so a handler set through either class draws the tabs.
using TExtDrawTabEvent = TDrawTabEvent;

class TExtPageControl : public TPageControl {
  VX_CLASS(TExtPageControl, TPageControl)
  explicit TExtPageControl(TComponent* owner);

 protected:
  void DrawTab(int tab_index, const TRect& rect, bool active) override;
};

}  // namespace vx
