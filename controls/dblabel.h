#pragma once
// TDBLabel: a label that places itself beside its control and, with
// AutoCaption, takes its caption from the control's data field: when the
// control publishes a "DataSource" whose "DataSet" is assigned, the display
// label of the field named by the control's "DataField".
#include <string>
#include <string_view>

#include "platform/ui/dataset.h"
#include "platform/ui/stdctrls.h"

namespace vx {

enum class TLabelPos { psTop, psLeft, psRight, psBottom };
using enum TLabelPos;

inline constexpr const char* kDBLabelTwiceError = "不能同时有两个 DBLabel 指到同一个 Control.";

class TDBLabel : public TLabel {
  VX_CLASS(TDBLabel, TLabel)
  // Caption "挂靠标签".
  explicit TDBLabel(TComponent* owner);

  // Binding a control that another TDBLabel beside this one already serves
  // is refused with the error dialog "不能同时有两个 DBLabel 指到同一个
  // Control.".
  TWinControl* FocusControl() const { return TLabel::FocusControl(); }
  void SetFocusControl(TWinControl* control);
  bool AutoAlign() const { return auto_align_; }
  void SetAutoAlign(bool v);
  bool AutoCaption() const { return auto_caption_; }
  void SetAutoCaption(bool v);
  int Gap() const { return gap_; }
  void SetGap(int v);
  TLabelPos Pos() const { return pos_; }
  void SetPos(TLabelPos p);
  // Places the label beside its control (when bound and AutoAlign).
  void Place();

 private:
  void Update();
  bool auto_align_ = true;
  bool auto_caption_ = true;
  int gap_ = 4;
  TLabelPos pos_ = psLeft;
};

}  // namespace vx
