#include "controls/register.h"

#include "controls/btchkbox.h"
#include "controls/dblabel.h"
#include "controls/extpage.h"
#include "controls/f2button.h"
#include "controls/selectpnl.h"
#include "controls/vrxedit.h"
#include "controls/vxradiogroup.h"
#include "controls/vxspin.h"

namespace vx {

void RegisterFrameworkControls() {
  // The labelled edits are known in both editions; the earlier edition
  // refuses to create them.
  for (const TClassInfo* c :
       {&TGSpeedButton::StaticClassInfo(), &TF2Button::StaticClassInfo(),
        &TBitCheckBox::StaticClassInfo(), &TExtPageControl::StaticClassInfo(),
        &TBoundLabel::StaticClassInfo(), &TVxEdit::StaticClassInfo(), &TVxDBEdit::StaticClassInfo(),
        &TVxBtnDBEdit::StaticClassInfo(), &TDBLabel::StaticClassInfo(),
        &TVxSpinEdit::StaticClassInfo(), &TVxRadioButton::StaticClassInfo(),
        &TVxRadioGroup::StaticClassInfo(), &TVxGroupButton::StaticClassInfo(),
        &TSelectPanel::StaticClassInfo(), &TOrlListView::StaticClassInfo(),
        &TOrlMaskEdit::StaticClassInfo(), &TOrlCheckBox::StaticClassInfo()})
    (void)c;
}

}  // namespace vx
