#include "suite/appserver/job_store.h"

#include <filesystem>

#include "platform/remote/variant_codec.h"
#include "platform/rtl/text.h"

namespace vx::appserver {
namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS JOB_COUNTER (DAY TEXT PRIMARY KEY, SEQ INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS JOBS (
  JOB_ID TEXT PRIMARY KEY, PROGRAM TEXT NOT NULL, KIND TEXT NOT NULL, PERIODIC INTEGER NOT NULL,
  COMPANY TEXT NOT NULL, USER_ID TEXT NOT NULL, SYSTEM_DB TEXT NOT NULL, SERVER_CLASS TEXT,
  CLIENT TEXT, PARAMS TEXT NOT NULL, RUN_MODE INTEGER NOT NULL, RUN_AT INTEGER NOT NULL,
  STATUS TEXT NOT NULL, STATUS_TEXT TEXT, RECEIVERS TEXT, ZONE TEXT NOT NULL,
  SUBMITTED INTEGER NOT NULL, STARTED INTEGER, ENDED INTEGER, ATTEMPTS INTEGER NOT NULL DEFAULT 0,
  OWNER TEXT, LEASE_UNTIL INTEGER, NEXT_CIVIL TEXT, NEXT_NUMBER INTEGER);
CREATE INDEX IF NOT EXISTS JOBS_DUE ON JOBS (STATUS, RUN_AT);
CREATE TABLE IF NOT EXISTS JOB_RUNS (
  JOB_ID TEXT NOT NULL, RUN_NUMBER INTEGER NOT NULL, RUN_DATE TEXT, STATUS TEXT NOT NULL,
  MESSAGES TEXT, STARTED INTEGER, ENDED INTEGER, ATTEMPT INTEGER,
  PRIMARY KEY (JOB_ID, RUN_NUMBER));
CREATE TABLE IF NOT EXISTS SCHEMES (
  NCONDITION TEXT NOT NULL, CREATOR TEXT NOT NULL, PROGRAMME TEXT NOT NULL, CREATE_DATE TEXT,
  SCONDITION TEXT, VCONDITION TEXT, PRIMARY KEY (NCONDITION, CREATOR, PROGRAMME));
CREATE TABLE IF NOT EXISTS USER_RIGHTS (
  SYSTEM_DB TEXT NOT NULL, USER_ID TEXT NOT NULL, PROGRAM TEXT NOT NULL, TOKENS TEXT NOT NULL,
  TEXT2 TEXT, TEXT3 TEXT, LIMIT_TEXT TEXT, LIMIT_VALUES TEXT,
  PRIMARY KEY (SYSTEM_DB, USER_ID, PROGRAM));
CREATE TABLE IF NOT EXISTS NOTICES (
  ID INTEGER PRIMARY KEY AUTOINCREMENT, JOB_ID TEXT NOT NULL, CHANNEL TEXT NOT NULL,
  RECEIVER TEXT, NAME TEXT, ADDRESS TEXT, BODY TEXT, CREATED INTEGER NOT NULL,
  SENT INTEGER NOT NULL DEFAULT 0)
)";

constexpr const char* kJobColumns =
    "JOB_ID, PROGRAM, KIND, PERIODIC, COMPANY, USER_ID, SYSTEM_DB, SERVER_CLASS, CLIENT, PARAMS, "
    "RUN_MODE, RUN_AT, STATUS, STATUS_TEXT, RECEIVERS, ZONE, SUBMITTED, STARTED, ENDED, ATTEMPTS, "
    "NEXT_CIVIL, NEXT_NUMBER";

// Texts longer than this are not stored in a scheme.
constexpr std::size_t kMaxSchemeName = 200;
constexpr std::size_t kMaxSchemeText = 1u << 20;

std::string Text(db::IStatement& q, int c) {
  return q.ColumnIsNull(c) ? std::string() : std::string(q.ColumnText(c));
}

const char kLimitSeparator = '\x03';

}  // namespace

std::string EncodeParams(const Variant& params) {
  static const char kHex[] = "0123456789abcdef";
  std::string bytes = EncodeVariant(params);
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    text += kHex[c >> 4];
    text += kHex[c & 15];
  }
  return text;
}

Variant DecodeParams(const std::string& text) {
  if (text.size() % 2 != 0) throw ERemoteFrameError("A stored parameter array is damaged");
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw ERemoteFrameError("A stored parameter array is damaged");
  };
  std::string bytes(text.size() / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(nibble(text[2 * i]) * 16 + nibble(text[2 * i + 1]));
  return DecodeVariant(bytes);
}

TJobStore::TJobStore(const std::string& file_name, int busy_timeout_ms) : file_name_(file_name) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::path(file_name).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  db::TConnectionSettings settings;
  settings.DataSource = file_name;
  settings.Create = true;
  settings.BusyTimeoutMs = busy_timeout_ms;
  db_ = db::OpenSession(settings);
  // WAL lets readers go on while one writer commits; FULL makes every
  // committed job survive a power loss, not only a crash of the process.
  db_->ExecuteScript("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL");
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  db_->ExecuteScript(kSchema);
  t.Commit();
}

TJobStore::~TJobStore() = default;

std::string TJobStore::AddJob(const TJobRequest& r, const Variant& params,
                              const std::string& client, const char* status, TInstant now,
                              const std::string& zone) {
  std::vector<TNewJob> one{{&r, &params, client, status, {}, {}}};
  AddJobs(one, now, zone);
  if (!one[0].Error.empty()) throw EConvertError(one[0].Error);
  return one[0].JobID;
}

void TJobStore::AddJobs(std::vector<TNewJob>& jobs, TInstant now, const std::string& zone) {
  std::string day = CivilDate8(InstantToCivil(now, zone));
  struct Prepared {
    std::string Encoded, NextCivil;
    TInstant RunAt = 0;
    std::int64_t NextNumber = 0;
  };
  std::vector<Prepared> prepared(jobs.size());
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const TJobRequest& r = *jobs[i].Request;
    Prepared& p = prepared[i];
    try {
      p.Encoded = EncodeParams(*jobs[i].Params);
      p.RunAt = now;
      if (r.Schedule) {
        auto first = FirstRun(*r.Schedule, InstantToCivil(now, zone));
        if (!first) throw EConvertError("The schedule has no run");
        p.NextCivil = CivilText(first->At);
        p.NextNumber = first->Number;
        p.RunAt = CivilToInstant(first->At, zone);
      } else if (r.RunMode == TRunMode::Timed && r.RunAt) {
        p.RunAt = CivilToInstant(*r.RunAt, zone);
      }
    } catch (const std::exception& e) {
      jobs[i].Error = e.what();
    }
  }
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  auto count = db_->Prepare(
      "INSERT INTO JOB_COUNTER (DAY, SEQ) VALUES (:DAY, 1) "
      "ON CONFLICT (DAY) DO UPDATE SET SEQ = SEQ + 1");
  auto seq = db_->Prepare("SELECT SEQ FROM JOB_COUNTER WHERE DAY = :DAY");
  auto ins = db_->Prepare(
      "INSERT INTO JOBS (JOB_ID, PROGRAM, KIND, PERIODIC, COMPANY, USER_ID, SYSTEM_DB, "
      "SERVER_CLASS, CLIENT, PARAMS, RUN_MODE, RUN_AT, STATUS, RECEIVERS, ZONE, SUBMITTED, "
      "NEXT_CIVIL, NEXT_NUMBER) VALUES (:ID, :PROGRAM, :KIND, :PERIODIC, :COMPANY, :USER_ID, "
      ":SYSTEM_DB, :SERVER_CLASS, :CLIENT, :PARAMS, :RUN_MODE, :RUN_AT, :STATUS, :RECEIVERS, "
      ":ZONE, :SUBMITTED, :NEXT_CIVIL, :NEXT_NUMBER)");
  count->Bind("DAY", day);
  seq->Bind("DAY", day);
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (!jobs[i].Error.empty()) continue;
    const TJobRequest& r = *jobs[i].Request;
    const Prepared& p = prepared[i];
    count->Execute();
    seq->Reset();
    seq->Step();
    std::string n = IntToStr(seq->ColumnInt64(0));
    seq->Reset();
    std::string job_id = day + std::string(n.size() < 6 ? 6 - n.size() : 0, '0') + n;
    ins->Bind("ID", job_id);
    ins->Bind("PROGRAM", r.ProgramID);
    ins->Bind("KIND", r.ProgramKind);
    ins->Bind("PERIODIC", r.Periodic);
    ins->Bind("COMPANY", r.CompanyID);
    ins->Bind("USER_ID", r.UserID);
    ins->Bind("SYSTEM_DB", r.SystemDB);
    ins->Bind("SERVER_CLASS", r.ServerClass);
    ins->Bind("CLIENT", jobs[i].Client);
    ins->Bind("PARAMS", p.Encoded);
    ins->Bind("RUN_MODE", static_cast<std::int32_t>(r.RunMode));
    ins->Bind("RUN_AT", p.RunAt);
    ins->Bind("STATUS", jobs[i].Status);
    ins->Bind("RECEIVERS", r.Receivers);
    ins->Bind("ZONE", zone);
    ins->Bind("SUBMITTED", now);
    ins->Bind("NEXT_CIVIL", p.NextCivil.empty() ? Variant::Null() : Variant(p.NextCivil));
    ins->Bind("NEXT_NUMBER", p.NextNumber);
    ins->Execute();
    jobs[i].JobID = job_id;
  }
  count.reset();
  seq.reset();
  ins.reset();
  t.Commit();
}

TJob TJobStore::ReadJob(db::IStatement& q) {
  TJob j;
  j.JobID = Text(q, 0);
  j.ProgramID = Text(q, 1);
  j.Kind = Text(q, 2);
  j.Periodic = q.ColumnInt64(3) != 0;
  j.CompanyID = Text(q, 4);
  j.UserID = Text(q, 5);
  j.SystemDB = Text(q, 6);
  j.ServerClass = Text(q, 7);
  j.Client = Text(q, 8);
  j.Params = DecodeParams(Text(q, 9));
  j.RunMode = static_cast<int>(q.ColumnInt64(10));
  j.RunAt = q.ColumnInt64(11);
  j.Status = Text(q, 12);
  j.StatusText = Text(q, 13);
  j.Receivers = Text(q, 14);
  j.Zone = Text(q, 15);
  j.Submitted = q.ColumnInt64(16);
  j.Started = q.ColumnInt64(17);
  j.Ended = q.ColumnInt64(18);
  j.Attempts = static_cast<int>(q.ColumnInt64(19));
  j.NextCivil = Text(q, 20);
  j.NextNumber = q.ColumnInt64(21);
  return j;
}

std::optional<TJob> TJobStore::FindJob(const std::string& job_id) {
  auto q = db_->Prepare(std::string("SELECT ") + kJobColumns + " FROM JOBS WHERE JOB_ID = :ID");
  q->Bind("ID", job_id);
  if (!q->Step()) return std::nullopt;
  return ReadJob(*q);
}

std::vector<TJob> TJobStore::ListJobs(bool only_open, int limit) {
  std::string sql = std::string("SELECT ") + kJobColumns + " FROM JOBS";
  if (only_open) sql += " WHERE STATUS IN ('queued', 'running', 'client')";
  sql += " ORDER BY SUBMITTED, JOB_ID LIMIT :LIMIT";
  auto q = db_->Prepare(sql);
  q->Bind("LIMIT", limit);
  std::vector<TJob> jobs;
  while (q->Step())
    jobs.push_back(ReadJob(*q));
  return jobs;
}

std::optional<TJob> TJobStore::ClaimDue(TInstant now, const std::string& owner,
                                        TInstant lease_until) {
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  auto q = db_->Prepare(std::string("SELECT ") + kJobColumns +
                        " FROM JOBS WHERE (STATUS = 'queued' AND RUN_AT <= :NOW)"
                        " OR (STATUS = 'running' AND LEASE_UNTIL < :NOW)"
                        " ORDER BY RUN_AT, JOB_ID LIMIT 1");
  q->Bind("NOW", now);
  if (!q->Step()) return std::nullopt;
  TJob job = ReadJob(*q);
  q.reset();
  db_->Execute(
      "UPDATE JOBS SET STATUS = 'running', OWNER = :OWNER, LEASE_UNTIL = :LEASE, "
      "ATTEMPTS = ATTEMPTS + 1, STARTED = :NOW WHERE JOB_ID = :ID",
      {{"OWNER", owner}, {"LEASE", lease_until}, {"NOW", now}, {"ID", job.JobID}});
  t.Commit();
  job.Status = kRunning;
  job.Attempts += 1;
  job.Started = now;
  return job;
}

bool TJobStore::RenewLease(const std::string& job_id, const std::string& owner,
                           TInstant lease_until) {
  return db_->Execute(
             "UPDATE JOBS SET LEASE_UNTIL = :LEASE WHERE JOB_ID = :ID AND OWNER = :OWNER "
             "AND STATUS = 'running'",
             {{"LEASE", lease_until}, {"ID", job_id}, {"OWNER", owner}}) == 1;
}

void TJobStore::WriteNotices(const std::vector<TNotification>& notices, TInstant when) {
  if (notices.empty()) return;
  auto ins = db_->Prepare(
      "INSERT INTO NOTICES (JOB_ID, CHANNEL, RECEIVER, NAME, ADDRESS, BODY, CREATED) "
      "VALUES (:JOB, :CHANNEL, :RECEIVER, :NAME, :ADDRESS, :BODY, :CREATED)");
  for (const TNotification& n : notices) {
    ins->Bind("JOB", n.JobID);
    ins->Bind("CHANNEL", n.Channel);
    ins->Bind("RECEIVER", n.Receiver);
    ins->Bind("NAME", n.Name);
    ins->Bind("ADDRESS", n.Address);
    ins->Bind("BODY", n.Text);
    ins->Bind("CREATED", when);
    ins->Execute();
  }
}

namespace {

void UpsertRun(db::ISession& db, const TRunRecord& run) {
  db.Execute(
      "INSERT INTO JOB_RUNS (JOB_ID, RUN_NUMBER, RUN_DATE, STATUS, MESSAGES, STARTED, ENDED, "
      "ATTEMPT) VALUES (:ID, :NUM, :DAY, :STATUS, :MSG, :STARTED, :ENDED, :ATTEMPT) "
      "ON CONFLICT (JOB_ID, RUN_NUMBER) DO UPDATE SET RUN_DATE = excluded.RUN_DATE, "
      "STATUS = excluded.STATUS, MESSAGES = excluded.MESSAGES, STARTED = excluded.STARTED, "
      "ENDED = excluded.ENDED, ATTEMPT = excluded.ATTEMPT",
      {{"ID", run.JobID},
       {"NUM", run.Number},
       {"DAY", run.RunDate},
       {"STATUS", run.Status},
       {"MSG", run.Messages},
       {"STARTED", run.Started},
       {"ENDED", run.Ended},
       {"ATTEMPT", run.Attempt}});
}

}  // namespace

bool TJobStore::FinishRun(const TJob& job, const std::string& owner, const TRunRecord& run,
                          const std::optional<std::pair<std::string, TInstant>>& next,
                          const std::vector<TNotification>& notices) {
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  auto q = db_->Prepare(
      "SELECT 1 FROM JOBS WHERE JOB_ID = :ID AND OWNER = :OWNER AND STATUS = 'running'");
  q->Bind("ID", job.JobID);
  q->Bind("OWNER", owner);
  bool mine = q->Step();
  q.reset();
  if (!mine) return false;
  UpsertRun(*db_, run);
  if (next) {
    db_->Execute(
        "UPDATE JOBS SET STATUS = 'queued', OWNER = NULL, LEASE_UNTIL = NULL, RUN_AT = :AT, "
        "NEXT_CIVIL = :CIVIL, NEXT_NUMBER = :NUM, STATUS_TEXT = :TEXT, ENDED = :ENDED, "
        "ATTEMPTS = 0 WHERE JOB_ID = :ID",
        {{"AT", next->second},
         {"CIVIL", next->first},
         {"NUM", run.Number + 1},
         {"TEXT", run.Messages},
         {"ENDED", run.Ended},
         {"ID", job.JobID}});
  } else {
    db_->Execute(
        "UPDATE JOBS SET STATUS = :STATUS, OWNER = NULL, LEASE_UNTIL = NULL, "
        "STATUS_TEXT = :TEXT, ENDED = :ENDED, NEXT_CIVIL = NULL WHERE JOB_ID = :ID",
        {{"STATUS", job.Periodic ? std::string(kDone) : run.Status},
         {"TEXT", run.Messages},
         {"ENDED", run.Ended},
         {"ID", job.JobID}});
  }
  WriteNotices(notices, run.Ended);
  t.Commit();
  return true;
}

void TJobStore::RecordClientRun(const TRunRecord& run) {
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  UpsertRun(*db_, run);
  db_->Execute("UPDATE JOBS SET STARTED = :STARTED, ATTEMPTS = ATTEMPTS + 1 WHERE JOB_ID = :ID",
               {{"STARTED", run.Started}, {"ID", run.JobID}});
  t.Commit();
}

bool TJobStore::EndClientJob(const std::string& job_id, const std::string& status_text,
                             TInstant when, const std::vector<TNotification>& notices) {
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  std::int64_t n = db_->Execute(
      "UPDATE JOBS SET STATUS = 'done', STATUS_TEXT = :TEXT, ENDED = :ENDED "
      "WHERE JOB_ID = :ID AND STATUS = 'client'",
      {{"TEXT", status_text}, {"ENDED", when}, {"ID", job_id}});
  if (n != 1) return false;
  WriteNotices(notices, when);
  t.Commit();
  return true;
}

std::string TJobStore::CancelJob(const std::string& job_id, TInstant when) {
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  auto job = FindJob(job_id);
  if (!job) return "No job " + job_id;
  if (job->Status != kQueued)
    return "Job " + job_id + " is " + job->Status + " and cannot be cancelled";
  db_->Execute("UPDATE JOBS SET STATUS = 'cancelled', ENDED = :ENDED WHERE JOB_ID = :ID",
               {{"ENDED", when}, {"ID", job_id}});
  t.Commit();
  return {};
}

std::vector<TRunRecord> TJobStore::Runs(const std::string& job_id) {
  auto q = db_->Prepare(
      "SELECT JOB_ID, RUN_NUMBER, RUN_DATE, STATUS, MESSAGES, STARTED, ENDED, ATTEMPT "
      "FROM JOB_RUNS WHERE JOB_ID = :ID ORDER BY RUN_NUMBER");
  q->Bind("ID", job_id);
  std::vector<TRunRecord> runs;
  while (q->Step())
    runs.push_back({Text(*q, 0), q->ColumnInt64(1), Text(*q, 2), Text(*q, 3), Text(*q, 4),
                    q->ColumnInt64(5), q->ColumnInt64(6), static_cast<int>(q->ColumnInt64(7))});
  return runs;
}

std::vector<TSchemeRecord> TJobStore::Schemes(const std::string& creator,
                                              const std::string& programme) {
  auto q = db_->Prepare(
      "SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION FROM SCHEMES "
      "WHERE CREATOR = :CREATOR AND PROGRAMME = :PROGRAMME ORDER BY NCONDITION");
  q->Bind("CREATOR", creator);
  q->Bind("PROGRAMME", programme);
  std::vector<TSchemeRecord> schemes;
  while (q->Step())
    schemes.push_back(
        {Text(*q, 0), Text(*q, 1), Text(*q, 2), Text(*q, 3), Text(*q, 4), Text(*q, 5)});
  return schemes;
}

std::optional<TSchemeRecord> TJobStore::FindScheme(const std::string& name,
                                                   const std::string& creator,
                                                   const std::string& programme) {
  for (TSchemeRecord& s : Schemes(creator, programme))
    if (s.Name == name) return s;
  return std::nullopt;
}

namespace {

std::string CheckScheme(const TSchemeRecord& s) {
  if (Trim(s.Name).empty()) return "方案名不可空白!";
  if (s.Name.size() > kMaxSchemeName) return "方案名太长";
  if (s.Creator.empty() || s.Programme.empty()) return "方案缺少用户或程序代号";
  if (s.Fields.size() > kMaxSchemeText || s.Values.size() > kMaxSchemeText) return "方案内容太长";
  return {};
}

}  // namespace

std::string TJobStore::SaveScheme(const TSchemeRecord& s, bool replace) {
  if (std::string reason = CheckScheme(s); !reason.empty()) return reason;
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  std::int64_t n = db_->Execute(
      std::string(replace ? "INSERT OR REPLACE" : "INSERT OR IGNORE") +
          " INTO SCHEMES (NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION) "
          "VALUES (:NAME, :CREATOR, :PROGRAMME, :DAY, :FIELDS, :VALS)",
      {{"NAME", s.Name},
       {"CREATOR", s.Creator},
       {"PROGRAMME", s.Programme},
       {"DAY", s.CreateDate},
       {"FIELDS", s.Fields},
       {"VALS", s.Values}});
  if (n == 0) return "此方案名称已经存在！";
  t.Commit();
  return {};
}

std::string TJobStore::DeleteScheme(const std::string& name, const std::string& creator,
                                    const std::string& programme) {
  std::int64_t n = db_->Execute(
      "DELETE FROM SCHEMES WHERE NCONDITION = :NAME AND CREATOR = :CREATOR "
      "AND PROGRAMME = :PROGRAMME",
      {{"NAME", name}, {"CREATOR", creator}, {"PROGRAMME", programme}});
  return n == 1 ? std::string() : "方案不存在: " + name;
}

std::string TJobStore::RenameScheme(const std::string& old_name, const std::string& new_name,
                                    const std::string& creator, const std::string& programme) {
  if (Trim(new_name).empty()) return "方案名不可空白!";
  if (new_name.size() > kMaxSchemeName) return "方案名太长";
  if (old_name == new_name) return {};
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  if (FindScheme(new_name, creator, programme)) return "此方案名称已经存在！";
  std::int64_t n = db_->Execute(
      "UPDATE SCHEMES SET NCONDITION = :NEW WHERE NCONDITION = :OLD AND CREATOR = :CREATOR "
      "AND PROGRAMME = :PROGRAMME",
      {{"NEW", new_name}, {"OLD", old_name}, {"CREATOR", creator}, {"PROGRAMME", programme}});
  if (n != 1) return "方案不存在: " + old_name;
  t.Commit();
  return {};
}

std::string TJobStore::UpdateScheme(const TSchemeRecord& o, const TSchemeRecord& c) {
  if (std::string reason = CheckScheme(c); !reason.empty()) return reason;
  db::TTransaction t(*db_, db::TTransactionMode::Immediate);
  if ((c.Name != o.Name || c.Creator != o.Creator || c.Programme != o.Programme) &&
      FindScheme(c.Name, c.Creator, c.Programme))
    return "此方案名称已经存在！";
  std::int64_t n = db_->Execute(
      "UPDATE SCHEMES SET NCONDITION = :NAME, CREATOR = :CREATOR, PROGRAMME = :PROGRAMME, "
      "CREATE_DATE = :DAY, SCONDITION = :FIELDS, VCONDITION = :VALS WHERE NCONDITION = :ONAME "
      "AND CREATOR = :OCREATOR AND PROGRAMME = :OPROGRAMME",
      {{"NAME", c.Name},
       {"CREATOR", c.Creator},
       {"PROGRAMME", c.Programme},
       {"DAY", c.CreateDate},
       {"FIELDS", c.Fields},
       {"VALS", c.Values},
       {"ONAME", o.Name},
       {"OCREATOR", o.Creator},
       {"OPROGRAMME", o.Programme}});
  if (n != 1) return "方案不存在: " + o.Name;
  t.Commit();
  return {};
}

TRights TJobStore::Rights(const std::string& system_db, const std::string& user,
                          const std::string& program) {
  auto q = db_->Prepare(
      "SELECT TOKENS, TEXT2, TEXT3, LIMIT_TEXT, LIMIT_VALUES FROM USER_RIGHTS "
      "WHERE SYSTEM_DB = :DB AND USER_ID = :USER_ID AND PROGRAM IN (:PROGRAM, '*') "
      "ORDER BY CASE PROGRAM WHEN '*' THEN 1 ELSE 0 END LIMIT 1");
  q->Bind("DB", system_db);
  q->Bind("USER_ID", user);
  q->Bind("PROGRAM", UpperCase(program));
  TRights r;
  if (!q->Step()) return r;
  r.Tokens = Text(*q, 0);
  r.Text2 = Text(*q, 1);
  r.Text3 = Text(*q, 2);
  r.LimitText = Text(*q, 3);
  std::string values = Text(*q, 4);
  std::size_t start = 0;
  while (!values.empty() && start <= values.size()) {
    std::size_t end = values.find(kLimitSeparator, start);
    if (end == std::string::npos) end = values.size();
    r.LimitValues.push_back(values.substr(start, end - start));
    start = end + 1;
  }
  return r;
}

void TJobStore::SetRights(const std::string& system_db, const std::string& user,
                          const std::string& program, const TRights& r) {
  std::string values;
  for (std::size_t i = 0; i < r.LimitValues.size(); ++i)
    values += (i ? std::string(1, kLimitSeparator) : std::string()) + r.LimitValues[i];
  db_->Execute(
      "INSERT OR REPLACE INTO USER_RIGHTS (SYSTEM_DB, USER_ID, PROGRAM, TOKENS, TEXT2, TEXT3, "
      "LIMIT_TEXT, LIMIT_VALUES) VALUES (:DB, :USER_ID, :PROGRAM, :TOKENS, :T2, :T3, :LT, :LV)",
      {{"DB", system_db},
       {"USER_ID", user},
       {"PROGRAM", program == "*" ? program : UpperCase(program)},
       {"TOKENS", r.Tokens},
       {"T2", r.Text2},
       {"T3", r.Text3},
       {"LT", r.LimitText},
       {"LV", values}});
}

std::vector<TNotification> TJobStore::Notifications(const std::string& job_id) {
  auto q = db_->Prepare(
      "SELECT JOB_ID, CHANNEL, RECEIVER, NAME, ADDRESS, BODY FROM NOTICES WHERE JOB_ID = :ID "
      "ORDER BY ID");
  q->Bind("ID", job_id);
  std::vector<TNotification> list;
  while (q->Step())
    list.push_back({Text(*q, 0), Text(*q, 1), Text(*q, 2), Text(*q, 3), Text(*q, 4), Text(*q, 5)});
  return list;
}

}  // namespace vx::appserver
