#pragma once
// Panels: containers with a caption and bevels.
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

}  // namespace vx
