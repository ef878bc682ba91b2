#pragma once
// TfrmStkb17: the form of the batch program STKB17, "盘点帐面量重计"
// (stocktaking book-quantity recount). It adds two parameters on the first
// page: the stocktaking worksheet number, chosen with an F2 lookup and
// checked against the server (which also gives the worksheet's stocktaking
// date), and the stocktaking date. Everything else comes from the framework.
#include "controls/f2button.h"
#include "framework/basebatchcf.h"

namespace vx {

class TfrmStkb17 : public TfrmBaseBatch {
  VX_CLASS(TfrmStkb17, TfrmBaseBatch)
  explicit TfrmStkb17(TComponent* owner);

  TLabel* lbl01;
  TEdit* ed01;
  TF2Button* F2Button1;
  TLabel* lbl02;
  TMaskEdit* me02;
  TF2Button* F2Button2;

  void SetupProgram() override;
  bool InitModule(const Variant& startup) override;
  bool FillParamCaptions(Variant& row, int module_count) override;
  bool FillParamValues(Variant& row, int module_count) override;
  void HandleF2(TWinControl* control) override;
  void AfterLoadControl(TComponent* control, const std::string& value) override;

  void ed01Exit(TObject* sender);

 protected:
  void FormCreate(TObject* sender) override;

 private:
  // me02 as a date field of the company's style, showing date.
  void ShowDate(TDateTime date);
};

}  // namespace vx
