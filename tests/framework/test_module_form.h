#pragma once
// A small module form on the generic module form, as a job's form is: an
// edit and a date field on the first page, a memo and a second edit that
// ends the page, the in-process server connection of the run options.
#include <string>

#include "framework/basegene.h"
#include "platform/ui/stdctrls.h"

namespace vx::test {

class TfrmTstb01 : public TfrmBaseGene {
  VX_CLASS(TfrmTstb01, TfrmBaseGene)
  explicit TfrmTstb01(TComponent* owner) : TfrmBaseGene(owner) {
    SetName("frmTstb01");
    ed01 = Put<TEdit>("ed01", tsOption1, 88, 51);
    me02 = Put<TMaskEdit>("me02", tsOption1, 88, 80);
    ed03 = Put<TEdit>("ed03", tsOption1, 88, 110);
    lbl01 = new TLabel(this);
    lbl01->SetName("lbl01");
    lbl01->SetParent(tsOption1);
    lbl01->SetCaption("盘点底稿编号");
    lbl02 = new TLabel(this);
    lbl02->SetName("lbl02");
    lbl02->SetParent(tsOption1);
    lbl02->SetCaption("盘点日期");
  }

  template <class T>
  T* Put(const char* name, TWinControl* parent, int left, int top) {
    auto* c = new T(this);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, 90, 21);
    return c;
  }

  void SetupProgram() override {
    TfrmBaseGene::SetupProgram();
    ServiceFlags = 4;
    SetOptionCount(filled_entries);
    SetDateFields("me02");
  }
  void SetupConnection(TSocketConnection* connection) override {
    connection->SetServerName("ReportCounterS.dmReportCounter");
  }
  bool InitModule(const Variant& startup) override {
    bool r = TfrmBaseGene::InitModule(startup);
    if (r) {
      PageLastControls.push_back(ed03);
      me02->SetEditMask(DateMaskText());
    }
    return r;
  }
  bool FillParamCaptions(Variant& row, int module_count) override {
    bool r = TfrmBaseGene::FillParamCaptions(row, module_count);
    if (filled_entries >= 1) row[1] = VarArrayOf({lbl01->Caption(), "ed01"});
    if (filled_entries >= 2 && !skip_second) row[2] = VarArrayOf({lbl02->Caption(), "me02"});
    return r;
  }
  bool FillParamValues(Variant& row, int module_count) override {
    bool r = TfrmBaseGene::FillParamValues(row, module_count);
    if (filled_entries >= 1) row[1] = ed01->Text();
    if (filled_entries >= 2 && !skip_second) row[2] = DisplayToDate8(me02->Text());
    return r;
  }
  bool RunByShell(int mode) override {
    shell_runs.push_back(mode);
    return true;
  }
  void HandleF2(TWinControl* control) override {
    TfrmBaseGene::HandleF2(control);
    if (control == me02) me02->SetText(PickDate(me02->Text()));
    f2_fields.push_back(control ? control->Name() : std::string());
  }

  TEdit* ed01;
  TMaskEdit* me02;
  TEdit* ed03;
  TLabel* lbl01;
  TLabel* lbl02;
  int filled_entries = 2;
  bool skip_second = false;
  std::vector<int> shell_runs;
  std::vector<std::string> f2_fields;
};

inline const TClassInfo& TfrmTstb01::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmTstb01>("TfrmTstb01", [](auto&) {});
  return info;
}

}  // namespace vx::test
