#pragma once
// A row of a date-shift editor, as the period page and the scheme dialog
// show it: the change box, then count, unit, mode and days. Its settings
// travel as ETX-separated fields "Y"/"N", count, unit, mode, days.
#include <string>

#include "controls/btchkbox.h"
#include "controls/vxspin.h"
#include "platform/ui/stdctrls.h"

namespace vx {

// The count and days spins of a row. A text that is no number becomes 0
// before the spin's own range correction runs, which would turn a cleared
// count into the lowest one (-99 weeks).
class TShiftSpin : public TVxSpinEdit {
 public:
  using TVxSpinEdit::TVxSpinEdit;

 protected:
  void DoExit() override;
};

struct TShiftRow {
  TBitCheckBox* Box = nullptr;
  TVxSpinEdit* Count = nullptr;
  TComboBox* Unit = nullptr;
  TComboBox* Mode = nullptr;
  TVxSpinEdit* Days = nullptr;
};

// The five fields of a row.
std::string ShiftRowText(const TShiftRow& r);
// Date-environment entries: "0", name, begin row, end row, type letter for a
// range panel; "1", name, row, type letter for a single date.
std::string ShiftRangeEntry(const std::string& name, const TShiftRow& begin, const TShiftRow& end,
                            const std::string& letter);
std::string ShiftSingleEntry(const std::string& name, const TShiftRow& row,
                             const std::string& letter);
// Puts the five fields of entry from field first on into the row's controls.
void LoadShiftRow(const TShiftRow& r, const std::string& entry, int first);

}  // namespace vx
