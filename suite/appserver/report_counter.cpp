#include "suite/appserver/report_counter.h"

#include "lib/codepage.h"
#include "lib/strs.h"
#include "platform/automation/class_registry.h"
#include "platform/rtl/text.h"
#include "suite/appserver/job_committer.h"
#include "suite/appserver/job_runner.h"
#include "suite/appserver/notify.h"

namespace vx::appserver {
namespace {

constexpr const char* kSchemeProvider = "pvdConSave";

void NeedArgs(std::string_view name, std::span<Arg> args, std::size_t n) {
  if (args.size() < n)
    throw EOleSysError(
        std::string(name) + ": " + IntToStr(static_cast<std::int64_t>(n)) + " arguments expected",
        DISP_E_BADPARAMCOUNT);
}

// Element i counted from the low bound of an array argument, as text.
std::string ItemText(const Variant& array, int i) {
  if (!array.IsArray() || array.DimCount() != 1 || array.HighBound() - array.LowBound() < i)
    throw EOleException("The argument is not an array of " + IntToStr(i + 1) + " or more elements");
  return VarToStr(array[array.LowBound() + i]);
}

const Variant& ItemOf(const Variant& array, int i) {
  ItemText(array, i);
  return array[array.LowBound() + i];
}

TSchemeRecord SchemeOf(const TRecordValues& v) {
  auto text = [&](std::size_t i) { return i < v.size() ? VarToStr(v[i]) : std::string(); };
  return {text(0), text(1), text(2), text(3), text(4), text(5)};
}

}  // namespace

TTableProvider MakeSchemeProvider() {
  return TTableProvider({{"NCONDITION", ftString},
                         {"CREATOR", ftString},
                         {"PROGRAMME", ftString},
                         {"CREATE_DATE", ftString},
                         {"SCONDITION", ftMemo},
                         {"VCONDITION", ftMemo}},
                        {"NCONDITION", "CREATOR", "PROGRAMME"});
}

TReportCounter::TReportCounter(TAppServerConfig config) : config_(std::move(config)) {
  TTableProvider& schemes = providers_.Add(kSchemeProvider, MakeSchemeProvider());
  schemes.OnUpdate = [this](const TRecordValues& original, const TRecordValues& changed) {
    return Store().UpdateScheme(SchemeOf(original), SchemeOf(changed));
  };
}

TReportCounter::~TReportCounter() = default;

TJobStore& TReportCounter::Store() {
  if (!store_) {
    if (config_.DatabaseFile.empty())
      throw EOleException("The application server has no database: ServerPath is not configured");
    store_ = std::make_unique<TJobStore>(config_.DatabaseFile);
  }
  return *store_;
}

Variant TReportCounter::Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) {
  if (SameText(name, "SQLType") && kind != DispatchKind::PropertyPut)
    return Variant(std::int32_t{0});
  if (SameText(name, "ErrorDescript")) return Variant(last_error_);
  try {
    if (SameText(name, "Request")) return Submit(args, false);
    if (SameText(name, "Request1")) return Submit(args, true);
    if (SameText(name, "ExecSvrDLL")) {
      ExecSvrDLL(args);
      return Variant();
    }
    if (SameText(name, "UpdateStatus1")) {
      UpdateStatus1(args);
      return Variant();
    }
    if (SameText(name, "GetPower")) return GetPower(args);
    if (SameText(name, "LoadTable") || SameText(name, "InsertConTable") ||
        SameText(name, "DeleteConTable") || SameText(name, "ChangeConName"))
      return SchemeCall(name, args);
    if (TProviders::Handles(name)) {
      RefreshSchemes();
      return providers_.Invoke(name, args);
    }
  } catch (const std::exception& e) {
    last_error_ = e.what();
    throw;
  }
  RaiseUnknownName(name);
}

Variant TReportCounter::Submit(std::span<Arg> args, bool direct) {
  NeedArgs(direct ? "Request1" : "Request", args, direct ? 2 : 1);
  std::string reason;
  auto request = CheckParamArray(args[0].get(), reason);
  if (!request) {
    last_error_ = reason;
    return Variant("ERROR");
  }
  if (direct && (request->Periodic || request->RunMode == TRunMode::Timed)) {
    last_error_ = "A direct run cannot be periodic or timed";
    return Variant("ERROR");
  }
  try {
    std::string client = direct ? Trim(VarToStr(args[1].get())).substr(0, 64) : std::string();
    const char* status = direct ? kOnClient : kQueued;
    std::string id = config_.Committer
                         ? config_.Committer->Add(*request, args[0].get(), client, status)
                         : Store().AddJob(*request, args[0].get(), client, status, config_.Clock(),
                                          config_.Zone);
    last_error_.clear();
    return Variant(id);
  } catch (const std::exception& e) {
    last_error_ = std::string("The job cannot be stored: ") + e.what();
    LogServer(config_, last_error_);
    return Variant("ERROR");
  }
}

void TReportCounter::ExecSvrDLL(std::span<Arg> args) {
  NeedArgs("ExecSvrDLL", args, 11);
  std::string job_id = VarToStr(args[0].get());
  auto job = Store().FindJob(job_id);
  if (!job) throw EOleException("No job " + job_id);
  if (job->Status != kOnClient)
    throw EOleException("Job " + job_id + " is not a direct run waiting to be executed");
  TJobCall call;
  call.JobID = job_id;
  call.ProgramID = UpperCase(VarToStr(args[1].get()));
  call.P3 = VarToStr(args[2].get());
  call.CompanyID = VarToStr(args[3].get());
  call.UserID = VarToStr(args[4].get());
  call.ServerClass = VarToStr(args[5].get());
  call.ProgramKind = VarToStr(args[6].get());
  call.SystemDB = VarToStr(args[7].get());
  call.Values = VarWideToAnsiCP(args[8].get(), 936);
  call.P10 = StrToIntDef(VarToStr(args[9].get()), 1);
  call.SubID = VarToStr(args[10].get());
  call.ProductID = args.size() > 11 ? StrToIntDef(VarToStr(args[11].get()), 0) : 0;
  if (call.ProgramID != job->ProgramID || call.CompanyID != job->CompanyID)
    throw EOleException("Job " + job_id + " belongs to another program or company");
  TRunRecord run{job_id,
                 1,
                 CivilDate8(InstantToCivil(config_.Clock(), config_.Zone)),
                 kRunning,
                 "",
                 config_.Clock(),
                 0,
                 job->Attempts + 1};
  std::string library = FindServerLibrary(config_.LibraryFolders, call.ProgramID);
  TLibraryRun outcome;
  if (library.empty())
    outcome.Messages = "The job's library " + call.ProgramID + "S.DLL is not installed";
  else
    outcome = RunServerLibrary(config_.JobHost, library, JobArguments(call), config_.RunLimit);
  run.Status = outcome.Ok ? kDone : kFailed;
  run.Messages = outcome.Messages;
  run.Ended = config_.Clock();
  Store().RecordClientRun(run);
  if (!outcome.Ok) {
    LogServer(config_, "Job " + job_id + ": " + outcome.Messages);
    throw EOleException(outcome.Messages);
  }
}

void TReportCounter::UpdateStatus1(std::span<Arg> args) {
  NeedArgs("UpdateStatus1", args, 2);
  std::string job_id = VarToStr(args[0].get());
  std::string text = VarToStr(args[1].get());
  if (text.size() > kMaxRunMessages) text.resize(kMaxRunMessages);
  auto job = Store().FindJob(job_id);
  if (!job) throw EOleException("No job " + job_id);
  if (!Store().EndClientJob(job_id, text, config_.Clock(), BuildNotifications(*job, kDone, text)))
    throw EOleException("Job " + job_id + " is not a direct run still open");
}

Variant TReportCounter::GetPower(std::span<Arg> args) {
  NeedArgs("GetPower", args, 1);
  const Variant& a = args[0].get();
  TRights r = Store().Rights(ItemText(a, 0), ItemText(a, 1), ItemText(a, 2));
  Variant limits = VarArrayCreate(0, static_cast<int>(r.LimitValues.size()));
  limits[0] = static_cast<std::int32_t>(r.LimitValues.size());
  for (std::size_t i = 0; i < r.LimitValues.size(); ++i)
    limits[static_cast<int>(i) + 1] = r.LimitValues[i];
  return VarArrayOf({"", r.Tokens, r.Text2, r.Text3, r.LimitText, limits});
}

Variant TReportCounter::SchemeCall(std::string_view name, std::span<Arg> args) {
  NeedArgs(name, args, SameText(name, "ChangeConName") ? 2 : 1);
  const Variant& a = args[0].get();
  if (SameText(name, "LoadTable")) {
    scheme_user_ = ItemText(a, 0);
    scheme_program_ = ItemText(a, 1);
    RefreshSchemes();
    return Variant();
  }
  if (SameText(name, "InsertConTable")) {
    TSchemeRecord s{ItemText(a, 0), ItemText(a, 1), ItemText(a, 3),
                    ItemText(a, 2), ItemText(a, 4), ItemText(a, 5)};
    const Variant& replace = ItemOf(a, 6);
    return Variant(
        Store().SaveScheme(s, !replace.IsEmpty() && !replace.IsNull() && replace.ToBool()));
  }
  if (SameText(name, "DeleteConTable"))
    return Variant(Store().DeleteScheme(ItemText(a, 0), ItemText(a, 1), ItemText(a, 2)));
  const Variant& b = args[1].get();
  if (ItemText(a, 1) != ItemText(b, 1) || ItemText(a, 2) != ItemText(b, 2))
    return Variant(std::string("方案只能在同一用户与程序内更名"));
  return Variant(
      Store().RenameScheme(ItemText(a, 0), ItemText(b, 0), ItemText(a, 1), ItemText(a, 2)));
}

void TReportCounter::RefreshSchemes() {
  std::vector<TRecordValues> records;
  if (!scheme_user_.empty())
    for (const TSchemeRecord& s : Store().Schemes(scheme_user_, scheme_program_))
      records.push_back({s.Name, s.Creator, s.Programme, s.CreateDate, s.Fields, s.Values});
  providers_.Find(kSchemeProvider)->SetRecords(std::move(records));
}

namespace {

// The class identifier is there as long as the library is loaded, as the
// module's in-process connection expects.
const ScopedClassRegistration kRegistration(kServerClassID, [] {
  return std::make_shared<TReportCounter>(DefaultConfig());
});

}  // namespace

}  // namespace vx::appserver
