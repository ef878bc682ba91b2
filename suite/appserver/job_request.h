#pragma once
// What a parameter array asks of the server: its check and the job it
// describes. The array is [environment row, caption row, value row] (bounds
// 0..2), a periodic job adding [schedule, date-shift list] (0..4); the rows
// have lower bound 1. Only the entries a job needs are read; the array
// itself is kept unchanged with the job.
#include <optional>
#include <string>

#include "lib/schedule.h"
#include "platform/automation/variant.h"

namespace vx::appserver {

// The largest parameter array accepted, in encoded bytes, and the most
// entries of its caption and value rows.
inline constexpr std::size_t kMaxParamBytes = 1u << 20;
inline constexpr int kMaxOptionCount = 1000;
inline constexpr int kMaxEnvCount = 100;

enum class TRunMode { Queue = 0, RealTime = 1, Timed = 2 };

struct TJobRequest {
  std::string ProgramID;  // upper case
  std::string CompanyID, UserID, SystemDB, ServerClass;
  std::string ProgramKind;  // upper case; the array's lower case marks a periodic job
  bool Periodic = false;
  TRunMode RunMode = TRunMode::Queue;
  // Entry 11 for a timed job: the civil time it asks for.
  std::optional<TCivilDateTime> RunAt;
  std::optional<TSchedule> Schedule;  // periodic jobs
  std::string Receivers;              // entry 12 as text ("" none)
};

// The job the array describes; on refusal no value and reason says why, in
// words a user can act on.
std::optional<TJobRequest> CheckParamArray(const Variant& params, std::string& reason);

// [value row, schedule, date-shift list] (bounds 1..3) of a periodic
// array, as ApplyDateShifts takes them.
Variant ShiftArguments(const Variant& params);

// The civil date and time a date-time variant holds.
TCivilDateTime CivilOfDate(TDateTime value);

}  // namespace vx::appserver
