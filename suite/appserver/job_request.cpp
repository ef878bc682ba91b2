#include "suite/appserver/job_request.h"

#include <cmath>

#include "platform/remote/variant_codec.h"
#include "platform/rtl/text.h"

namespace vx::appserver {
namespace {

bool IsRow(const Variant& v) {
  return v.IsArray() && v.DimCount() == 1;
}

// Refusals carry their reason out of the nested checks.
struct Refusal {
  std::string Reason;
};
[[noreturn]] void Refuse(std::string reason) {
  throw Refusal{std::move(reason)};
}

std::string RowName(int element) {
  static const char* names[] = {"environment row", "caption row", "value row", "schedule",
                                "date-shift list"};
  return std::string(names[element]) + " (element " + IntToStr(element) + ")";
}

const Variant& RowOf(const Variant& params, int element, int low, int high) {
  const Variant& row = params[element];
  if (!IsRow(row)) Refuse("The " + RowName(element) + " is not a one-dimensional array");
  if (row.LowBound() != low || row.HighBound() != high)
    Refuse(Format("The %s has bounds %d..%d instead of %d..%d", RowName(element), row.LowBound(),
                  row.HighBound(), low, high));
  return row;
}

std::string TextEntry(const Variant& env, int i, const char* what, bool required) {
  const Variant& v = env[i];
  if (!v.IsString() && !v.IsEmpty() && !v.IsNull())
    Refuse(Format("Environment entry %d (%s) is not a text", i, what));
  std::string text = Trim(VarToStr(v));
  if (required && text.empty()) Refuse(Format("Environment entry %d (%s) is empty", i, what));
  if (text.size() > 4096) Refuse(Format("Environment entry %d (%s) is too long", i, what));
  return text;
}

int CountEntry(const Variant& env, int i, const char* what, int low, int high) {
  const Variant& v = env[i];
  std::optional<std::int64_t> n;
  if (v.IsString()) {
    n = TryStrToInt64(Trim(VarToStr(v)));
  } else if (v.IsNumeric()) {
    double d = v.ToDouble();
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e9)
      n = static_cast<std::int64_t>(d);
  }
  if (!n) Refuse(Format("Environment entry %d (%s) is not a whole number", i, what));
  if (*n < low || *n > high)
    Refuse(Format("Environment entry %d (%s) is %s, outside %d..%d", i, what, IntToStr(*n), low,
                  high));
  return static_cast<int>(*n);
}

TJobRequest Check(const Variant& params) {
  if (!IsRow(params)) Refuse("The parameter array is not a one-dimensional array");
  if (params.LowBound() != 0 || (params.HighBound() != 2 && params.HighBound() != 4))
    Refuse(Format("The parameter array has bounds %d..%d instead of 0..2 or 0..4",
                  params.LowBound(), params.HighBound()));
  if (EncodeVariant(params).size() > kMaxParamBytes)
    Refuse(Format("The parameter array is larger than %d bytes", static_cast<int>(kMaxParamBytes)));
  const Variant& env0 = params[0];
  if (!IsRow(env0) || env0.LowBound() != 1 || env0.HighBound() < 9)
    Refuse("The " + RowName(0) + " must have bounds 1..9 or more");
  int env_count = CountEntry(env0, 2, "EnvCount", 9, kMaxEnvCount);
  const Variant& env = RowOf(params, 0, 1, env_count);
  int option_count = CountEntry(env, 3, "OptionCount", 0, kMaxOptionCount);
  const Variant& captions = RowOf(params, 1, 1, option_count);
  RowOf(params, 2, 1, option_count);
  for (int i = 1; i <= option_count; ++i) {
    const Variant& pair = captions[i];
    if (!IsRow(pair) || pair.Bounds()[0].Count() != 2)
      Refuse(Format("Caption entry %d is not a pair [caption, component name]", i));
  }

  TJobRequest job;
  job.ProgramID = UpperCase(TextEntry(env, 1, "program", true));
  job.CompanyID = TextEntry(env, 4, "company", true);
  job.UserID = TextEntry(env, 5, "user", true);
  job.SystemDB = TextEntry(env, 6, "system database", true);
  job.ServerClass = TextEntry(env, 8, "server class", false);
  std::string kind = TextEntry(env, 9, "program kind", true);
  job.ProgramKind = UpperCase(kind);
  job.Periodic = kind != job.ProgramKind;
  if (env_count >= 10) job.RunMode = static_cast<TRunMode>(CountEntry(env, 10, "run mode", 0, 2));
  if (job.RunMode == TRunMode::Timed) {
    if (env_count < 11 || env[11].VarType() != varDate)
      Refuse("Environment entry 11 (run date and time) is not a date-time");
    job.RunAt = CivilOfDate(env[11].ToDate());
    if (!IsValidCivil(*job.RunAt))
      Refuse("Environment entry 11 (run date and time) is no valid moment");
  }
  if (env_count >= 12) {
    const Variant& r = env[12];
    // The earlier edition sends its notice choice as a number 1..4.
    job.Receivers = r.IsNumeric() ? IntToStr(CountEntry(env, 12, "notice", 1, 4))
                                  : TextEntry(env, 12, "receivers", false);
  }

  if (job.Periodic != (params.HighBound() == 4))
    Refuse(job.Periodic ? "A periodic job (program kind in lower case) needs elements 3 and 4"
                        : "Elements 3 and 4 belong to a periodic job (program kind in lower case)");
  if (job.Periodic) {
    if (job.RunMode != TRunMode::Timed) Refuse("A periodic job must have run mode 2");
    job.Schedule = ParseSchedule(params[3]);
    if (!job.Schedule) Refuse("The schedule (element 3) does not describe a cycle");
    const Variant& list = params[4];
    if (!IsRow(list) || list.LowBound() != 0)
      Refuse("The " + RowName(4) + " is not an array from 0");
    int n = CountEntry(list, 0, "", 0, kMaxOptionCount);
    if (n != list.HighBound())
      Refuse(Format("The date-shift list counts %d entries but holds %d", n, list.HighBound()));
    Variant shifted = ApplyDateShifts(ShiftArguments(params), job.Schedule->Start);
    if (!shifted.IsArray()) Refuse("An entry of the date-shift list cannot be applied");
  }
  return job;
}

}  // namespace

Variant ShiftArguments(const Variant& params) {
  Variant a = VarArrayCreate(1, 3);
  a[1] = params[2];
  a[2] = params[3];
  a[3] = params[4];
  return a;
}

TCivilDateTime CivilOfDate(TDateTime value) {
  TCivilDateTime t;
  if (!std::isfinite(value.Value) || std::fabs(value.Value) > 3.0e6) return t;
  // Rounded to the second: a moment sent as a double may fall a hair short.
  double seconds = std::round(value.Value * 86400.0);
  double days = std::floor(seconds / 86400.0);
  int rest = static_cast<int>(seconds - days * 86400.0);
  DecodeDate(TDateTime(days), t.Year, t.Month, t.Day);
  t.Hour = rest / 3600;
  t.Minute = rest / 60 % 60;
  t.Second = rest % 60;
  return t;
}

std::optional<TJobRequest> CheckParamArray(const Variant& params, std::string& reason) {
  try {
    reason.clear();
    return Check(params);
  } catch (const Refusal& r) {
    reason = r.Reason;
  } catch (const std::exception& e) {
    reason = std::string("The parameter array cannot be read: ") + e.what();
  }
  return std::nullopt;
}

}  // namespace vx::appserver
