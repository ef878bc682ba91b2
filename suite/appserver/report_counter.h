#pragma once
// The application server object "ReportCounterS.dmReportCounter": one per
// client connection (or per module form in process), late-bound:
//
//   Request(params) / Request1(params, client)   job identifier or "ERROR"
//   ErrorDescript                                why the last call failed
//   ExecSvrDLL(&id, program, p3, company, user, class, kind, db, values,
//              p10, sub id, product)             runs a direct job now
//   UpdateStatus1(&id, messages, when)           ends a direct job
//   GetPower([db, user, program, ""])            the user's rights
//   SQLType (property)                           0: the server's database
//                                                is neither Oracle nor DB2
//   LoadTable(&[user, program]), InsertConTable(&[...]),
//   DeleteConTable(&[...]), ChangeConName(&old, &new)   saved schemes
//   AS_GetRecords / AS_ApplyUpdates("pvdConSave")       the scheme records
//
// Loading the library registers the class identifier with DefaultConfig().
#include <memory>
#include <string>

#include "platform/automation/dispatch.h"
#include "platform/remote/provider.h"
#include "suite/appserver/app_config.h"
#include "suite/appserver/job_store.h"

namespace vx::appserver {

class TReportCounter : public IDispatch {
 public:
  explicit TReportCounter(TAppServerConfig config);
  ~TReportCounter() override;
  Variant Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) override;

  const std::string& LastError() const { return last_error_; }

 private:
  TJobStore& Store();
  Variant Submit(std::span<Arg> args, bool direct);
  void ExecSvrDLL(std::span<Arg> args);
  void UpdateStatus1(std::span<Arg> args);
  Variant GetPower(std::span<Arg> args);
  Variant SchemeCall(std::string_view name, std::span<Arg> args);
  void RefreshSchemes();

  TAppServerConfig config_;
  std::unique_ptr<TJobStore> store_;
  std::string last_error_;
  std::string scheme_user_, scheme_program_;
  TProviders providers_;
};

// The provider's columns for the scheme records.
TTableProvider MakeSchemeProvider();

}  // namespace vx::appserver
