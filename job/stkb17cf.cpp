#include "job/stkb17cf.h"

#include "lib/strs.h"
#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TfrmStkb17::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmStkb17>("TfrmStkb17", [](auto&) {});
  return info;
}

TfrmStkb17::TfrmStkb17(TComponent* owner) : TfrmBaseBatch(owner) {
  SetName("frmStkb17");
  SetCaption("盘点帐面量重计");
  SetWidth(385);
  SetHeight(347);
  auto label = [&](const char* name, const char* caption, int left, int top) {
    auto* l = new TLabel(this);
    l->SetName(name);
    l->SetParent(tsOption1);
    l->SetCaption(caption);
    l->SetBounds(left, top, l->Width(), l->Height());
    return l;
  };
  auto f2 = [&](const char* name, int glyph, const char* hint, TWinControl* field, int top) {
    auto* b = new TF2Button(this);
    b->SetName(name);
    b->SetParent(tsOption1);
    b->SetBounds(180, top, 21, 21);
    b->SetFlat(true);
    b->SetGlyphIndex(glyph);
    b->SetHint(hint);
    b->SetGap(2);
    b->SetAutoAlign(true);
    b->SetF2Control(field);
    return b;
  };
  lbl01 = label("lbl01", "盘点底稿编号", 7, 54);
  ed01 = new TEdit(this);
  ed01->SetName("ed01");
  ed01->SetParent(tsOption1);
  ed01->SetBounds(88, 51, 90, 21);
  ed01->SetHint("[F2]盘点底稿编号查询");
  ed01->SetMaxLength(6);
  ed01->SetTabOrder(0);
  ed01->OnExit = Bind<&TfrmStkb17::ed01Exit>(this);
  F2Button1 = f2("F2Button1", 8, "盘点底稿编号查询", ed01, 51);
  lbl02 = label("lbl02", "盘点日期", 33, 83);
  me02 = new TMaskEdit(this);
  me02->SetName("me02");
  me02->SetParent(tsOption1);
  me02->SetBounds(88, 80, 90, 21);
  me02->SetHint("[F2]日期快手");
  me02->SetTabOrder(1);
  F2Button2 = f2("F2Button2", 9, "日期快手", me02, 80);
  if (grpAlarm) grpAlarm->SetTop(154);
  chkLog->SetBounds(13, 211, 118, chkLog->Height());
}

void TfrmStkb17::FormCreate(TObject* sender) {
  TfrmBaseBatch::FormCreate(sender);
  VersionTag = "900209";
}

void TfrmStkb17::SetupProgram() {
  TfrmBaseBatch::SetupProgram();
  SetOptionCount(2);
  SetRequiredFields("me02");
  SetDateFields("me02");
}

void TfrmStkb17::ShowDate(TDateTime date) {
  me02->SetText("");
  CheckDateField(me02, true);
  me02->SetText(FormatDateByKind(DateStyle(), DateSep(), date));
}

bool TfrmStkb17::InitModule(const Variant& startup) {
  bool r = TfrmBaseBatch::InitModule(startup);
  ed01->SetMaxLength(10);
  ShowDate(Date());
  PageLastControls.push_back(me02);
  return r;
}

bool TfrmStkb17::FillParamCaptions(Variant& row, int module_count) {
  if (!TfrmBaseBatch::FillParamCaptions(row, module_count)) return false;
  try {
    row[1] = VarArrayOf({lbl01->Caption(), "ed01"});
    row[2] = VarArrayOf({lbl02->Caption(), "me02"});
    return true;
  } catch (...) {
    return false;
  }
}

bool TfrmStkb17::FillParamValues(Variant& row, int module_count) {
  if (!TfrmBaseBatch::FillParamValues(row, module_count)) return false;
  try {
    row[1] = ed01->Text();
    row[2] = DisplayToDate8(me02->Text());
    return true;
  } catch (...) {
    return false;
  }
}

void TfrmStkb17::HandleF2(TWinControl* control) {
  TfrmBaseBatch::HandleF2(control);
  if (control == me02) {
    me02->SetText(PickDate(me02->Text()));
  } else if (control == ed01) {
    Variant answer;
    F2Lookup("INVTE", "01", VarArrayOf({""}), ed01->Text(), false, answer);
    if (answer.IsArray() && answer.HighBound() >= answer.LowBound()) {
      const Variant& row = answer[answer.LowBound()];
      if (row.IsArray() && row.HighBound() >= row.LowBound())
        ed01->SetText(VarToStr(row[row.LowBound()]));
    }
  }
}

void TfrmStkb17::AfterLoadControl(TComponent* control, const std::string& value) {
  TfrmBaseBatch::AfterLoadControl(control, value);
  if (control == ed01) ed01Exit(ed01);
}

void TfrmStkb17::ed01Exit(TObject*) {
  FieldCheckFailed = false;
  if (ed01->Text().empty()) return;
  Variant date;
  if (ValidateField("INVTE", "02", "E", 0, date, VarArrayOf({ed01->Text()}))) {
    if (!date.IsEmpty() && !date.IsNull()) ShowDate(Date8ToDate(VarToStr(date)));
    return;
  }
  // The flag is set after the focus is back: leaving the field the focus
  // went to runs that field's own checks, which clear the flag.
  if (CanTakeFocus(ed01)) ed01->SetFocus();
  ed01->SelectAll();
  FieldCheckFailed = true;
}

}  // namespace vx
