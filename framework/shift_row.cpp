#include "framework/shift_row.h"

#include "lib/strs.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {
constexpr char kEtx = '\x03';
}

void TShiftSpin::DoExit() {
  if (!TryStrToInt(Trim(Text()))) SetText("0");
  TVxSpinEdit::DoExit();
}

std::string ShiftRowText(const TShiftRow& r) {
  std::string text = r.Box->Checked() ? "Y" : "N";
  for (const std::string& part : {Trim(r.Count->Text()), IntToStr(r.Unit->ItemIndex()),
                                  IntToStr(r.Mode->ItemIndex()), Trim(r.Days->Text())})
    text += kEtx + part;
  return text;
}

std::string ShiftRangeEntry(const std::string& name, const TShiftRow& begin, const TShiftRow& end,
                            const std::string& letter) {
  return "0" + std::string(1, kEtx) + name + kEtx + ShiftRowText(begin) + kEtx + ShiftRowText(end) +
         kEtx + letter;
}

std::string ShiftSingleEntry(const std::string& name, const TShiftRow& row,
                             const std::string& letter) {
  return "1" + std::string(1, kEtx) + name + kEtx + ShiftRowText(row) + kEtx + letter;
}

void LoadShiftRow(const TShiftRow& r, const std::string& entry, int first) {
  const std::string sep(1, kEtx);
  r.Box->SetChecked(ExtractField(entry, sep, first) == "Y");
  r.Count->SetText(ExtractField(entry, sep, first + 1));
  r.Unit->SetItemIndex(StrToIntDef(ExtractField(entry, sep, first + 2), 0));
  r.Mode->SetItemIndex(StrToIntDef(ExtractField(entry, sep, first + 3), 0));
  r.Days->SetText(ExtractField(entry, sep, first + 4));
}

}  // namespace vx
