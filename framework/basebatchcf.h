#pragma once
// TfrmBaseBatch: the base form of batch modules. Its OK button reads
// "后台处理" (the job goes to the server's queue); it adds "直接处理", the
// direct run: the job is registered with the server, its server library is
// executed at once (by the server, or in this process when the server runs
// here), the alert messages the job's configuration asks for are written to
// the database, the user is told, and the collected messages go back to the
// server as the job's status. It also adds the "生成Log文档" entry.
#include <string>

#include "framework/baseopt.h"
#include "platform/db/ado.h"

namespace vx {

class TfrmBaseBatch : public TfrmBaseOpt {
  VX_CLASS(TfrmBaseBatch, TfrmBaseOpt)
  explicit TfrmBaseBatch(TComponent* owner);

  TBitBtn* btnQuery;
  TBitCheckBox* chkLog;
  TVxADOConnection* ADO1;
  TVxADOQuery* Query2;
  TVxADOQuery* Query3;

  bool ShowDoneMessage = true;

  void SetupProgram() override;
  bool FillParamCaptions(Variant& row, int module_count) override;
  bool FillParamValues(Variant& row, int module_count) override;
  bool InitModule(const Variant& startup) override;
  bool RunByShell(int mode) override;

  void btnQueryClick(TObject* sender);
  void btnPeriodClick(TObject* sender) override;
  // Whether the direct run is allowed: not while periodic, only on a local
  // server, and not when the program table says so.
  void ApplyDirectRunRule(bool with_period);

 protected:
  // Step 7 of the direct run: the alert messages of the job's configuration.
  void WriteAlertMessages();
};

}  // namespace vx
