// STKB17S: the stocktaking book-quantity recount, run by the application
// server or in process by the batch form.
//
// For one worksheet, every line's book quantity (INVTF.TF005) becomes the
// ledger balance of its item in its warehouse as of the stocktaking date:
// the sum of the signed quantities (INVLA.LA011) of the entries dated on or
// before that date, 0 when there are none. One UPDATE inside one write
// transaction does it; any failure leaves every line as it was.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/svrctrl.h"
#include "platform/db/engine.h"
#include "platform/os/dynlib.h"
#include "platform/os/inifile.h"
#include "platform/os/paths.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"

namespace vx::jobs {
namespace {

constexpr const char* kProgramID = "STKB17";
constexpr int kBatchArgs = 7;
constexpr int kOtherKindArgs = 12;
// Longest text taken from an argument; longer ones are refused.
constexpr std::size_t kMaxArgText = 64;

// A failure the user is told of; its text is the reason.
struct TJobError {
  std::string Reason;
};

// The entire argument as text, refused when it is no text or number, or too long.
std::string ArgText(const Variant& v, const char* what, bool required) {
  const TJobError not_text{std::string(what) + "不是文字"};
  if (v.IsArray() || v.IsDispatch()) throw not_text;
  std::string text;
  try {
    text = Trim(VarToStr(v));
  } catch (const std::exception&) {
    throw not_text;
  }
  if (text.size() > kMaxArgText)
    throw TJobError{std::string(what) + "长度超过 " + IntToStr(kMaxArgText) + " 个字节"};
  if (required && text.empty()) throw TJobError{std::string(what) + "不可空白"};
  return text;
}

bool IsFileNamePart(std::string_view s) {
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
          c == '-'))
      return false;
  return !s.empty();
}

bool IsDateText(std::string_view s) {
  if (s.size() != 8) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  TDateTime d;
  return TryEncodeDate(StrToIntDef(s.substr(0, 4), 0), StrToIntDef(s.substr(4, 2), 0),
                       StrToIntDef(s.substr(6, 2), 0), d);
}

struct TRequest {
  std::string JobID, CompanyID, UserID, SystemDB, SubID;
  std::string Worksheet, Date;
  bool Log = false;
};

TRequest ParseArgs(const Variant& args) {
  if (!args.IsArray() || args.DimCount() != 1) throw TJobError{"参数不是一维阵列"};
  const int low = args.LowBound(), count = args.HighBound() - low + 1;
  if (count == kOtherKindArgs)
    throw TJobError{"收到其他类型程序的 12 个元素参数; STKB17 是批处理程序, 需要 7 个元素"};
  if (count != kBatchArgs)
    throw TJobError{"参数阵列应有 7 个元素, 收到 " + IntToStr(count) + " 个"};
  TRequest r;
  r.JobID = ArgText(args[low], "作业编号", true);
  if (!IsFileNamePart(r.JobID)) throw TJobError{"作业编号 \"" + r.JobID + "\" 含有不允许的字符"};
  r.CompanyID = ArgText(args[low + 1], "公司代号", true);
  if (!db::IsDatabaseName(r.CompanyID))
    throw TJobError{"公司代号 \"" + r.CompanyID + "\" 不是有效的数据库名称"};
  r.UserID = ArgText(args[low + 2], "用户代号", true);
  r.SystemDB = ArgText(args[low + 4], "系统数据库", true);
  if (!db::IsDatabaseName(r.SystemDB))
    throw TJobError{"系统数据库 \"" + r.SystemDB + "\" 不是有效的数据库名称"};
  r.SubID = ArgText(args[low + 5], "子作业编号", false);
  ArgText(args[low + 6], "产品版本", false);

  const Variant& values = args[low + 3];
  if (!values.IsArray() || values.DimCount() != 1) throw TJobError{"选择条件信息不是一维阵列"};
  const int vlow = values.LowBound();
  if (values.HighBound() - vlow + 1 < 3)
    throw TJobError{"选择条件信息至少应有 3 项 (盘点底稿编号, 盘点日期, 生成Log文档)"};
  r.Worksheet = ArgText(values[vlow], "盘点底稿编号", true);
  r.Date = ArgText(values[vlow + 1], "盘点日期", false);
  if (!r.Date.empty() && !IsDateText(r.Date))
    throw TJobError{"盘点日期 \"" + r.Date + "\" 不是 YYYYMMDD 格式的有效日期"};
  std::string log = UpperCase(ArgText(values[vlow + 2], "生成Log文档", false));
  if (log != "Y" && log != "N" && !log.empty())
    throw TJobError{"生成Log文档应为 Y 或 N, 收到 \"" + log + "\""};
  r.Log = log == "Y";
  return r;
}

// Folder of this library: where its configuration file is looked for.
std::string LibraryFolder() {
  static const int anchor = 0;
  return ExtractFilePath(GetModuleFileName(&anchor));
}

// Settings beside the library, read only when the environment does not give them.
std::string Setting(const char* env, const char* key, const std::string& def) {
  if (const char* v = std::getenv(env); v && *v) return v;
  TIniFile ini(LibraryFolder() + "STKB17S.ini");
  return ini.ReadString("Job", key, def);
}

void ReplaceText(std::string& s, std::string_view from, const std::string& to) {
  for (std::size_t at = FindText(s, from); at != std::string::npos;
       at = FindText(s, from, at + to.size()))
    s.replace(at, from.size(), to);
}

// The company's connection string; "%CompanyID%" and "%SystemDB%" in the
// configured text stand for the job's company and system database (names
// already checked to be plain identifiers).
std::string ConnectString(const TRequest& r) {
  std::string cs = Setting("VX_JOB_CONNECT", "ConnectString", "");
  if (Trim(cs).empty())
    throw TJobError{
        "没有数据库连接设定 (环境变量 VX_JOB_CONNECT 或 STKB17S.ini 的 [Job] ConnectString)"};
  ReplaceText(cs, "%CompanyID%", r.CompanyID);
  ReplaceText(cs, "%SystemDB%", r.SystemDB);
  return cs;
}

std::string LogFolder() {
  return Setting("VX_JOB_LOG_DIR", "LogFolder", LibraryFolder() + "Log");
}

// The new book quantity of a line of INVTF, as of :DATE.
constexpr const char* kBalance =
    "ROUND(COALESCE((SELECT SUM(LA011) FROM INVLA"
    " WHERE LA001 = INVTF.TF003 AND LA009 = INVTF.TF004 AND LA004 <= :DATE), 0), 3)";

struct TChange {
  std::int64_t Line;
  std::string Item, Warehouse;
  double Old, New;
};

// Writes the log under a temporary name and renames it into place, so that
// a reader never sees half a file.
std::string WriteLog(const TRequest& r, const std::string& date, std::int64_t lines,
                     const std::vector<TChange>& changes) {
  const std::string folder = LogFolder();
  std::string error;
  if (!ForceDirectories(folder, &error))
    throw TJobError{"无法建立 Log 文件夹 \"" + folder + "\": " + error};
  const std::string file = JoinPath(folder, "STKB17S_" + r.JobID + ".log");
  const std::string temp = file + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << "盘点帐面量重计 " << kProgramID << "  作业 " << r.JobID << "  "
        << FormatDateTime("yyyy/mm/dd hh:nn:ss", Now()) << "\n"
        << "公司 " << r.CompanyID << "  用户 " << r.UserID << "  盘点底稿 " << r.Worksheet
        << "  盘点日期 " << date << "\n"
        << "序号\t品号\t库别\t原帐面量\t新帐面量\n";
    for (const TChange& c : changes)
      out << c.Line << "\t" << c.Item << "\t" << c.Warehouse << "\t" << FloatToStr(c.Old) << "\t"
          << FloatToStr(c.New) << "\n";
    out << "共 " << lines << " 行, 变更 " << changes.size() << " 行\n";
    out.flush();
    if (!out) throw TJobError{"无法写入 Log 文件 \"" + temp + "\""};
  }
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    throw TJobError{"无法写入 Log 文件 \"" + file + "\""};
  }
  return file;
}

void Recount(const TRequest& r) {
  std::unique_ptr<db::ISession> s;
  try {
    s = db::OpenSession(ConnectString(r));
  } catch (const Exception& e) {
    throw TJobError{"无法连接公司 " + r.CompanyID + " 的数据库: " + e.Message()};
  }
  // The write lock first: a locked database fails here, after its busy
  // time-out, before anything is read or changed.
  std::unique_ptr<db::TTransaction> t;
  try {
    t = std::make_unique<db::TTransaction>(*s, db::TTransactionMode::Immediate);
  } catch (const Exception& e) {
    throw TJobError{"数据库正被其他作业使用, 请稍后再试: " + e.Message()};
  }
  std::string date = r.Date;
  {
    auto q = s->Prepare("SELECT TE002 FROM INVTE WHERE TE001 = :TE001");
    q->Bind("TE001", r.Worksheet);
    if (!q->Step()) throw TJobError{"盘点底稿 " + r.Worksheet + " 不存在"};
    if (date.empty()) date = Trim(q->ColumnText(0));
  }
  if (!IsDateText(date))
    throw TJobError{"盘点底稿 " + r.Worksheet + " 的盘点日期 \"" + date + "\" 不是有效日期"};

  std::vector<TChange> changes;
  std::int64_t lines = 0;
  if (r.Log) {
    auto q = s->Prepare(std::string("SELECT TF002, TF003, TF004, TF005, ") + kBalance +
                        " FROM INVTF WHERE TF001 = :TF001 ORDER BY TF002");
    q->Bind("DATE", date);
    q->Bind("TF001", r.Worksheet);
    while (q->Step()) {
      ++lines;
      TChange c{q->ColumnInt64(0), std::string(q->ColumnText(1)), std::string(q->ColumnText(2)),
                q->ColumnDouble(3), q->ColumnDouble(4)};
      if (q->ColumnIsNull(3) || c.Old != c.New) changes.push_back(std::move(c));
    }
  }
  auto u =
      s->Prepare(std::string("UPDATE INVTF SET TF005 = ") + kBalance + " WHERE TF001 = :TF001");
  u->Bind("DATE", date);
  u->Bind("TF001", r.Worksheet);
  u->Execute();
  std::string log_file;
  if (r.Log) log_file = WriteLog(r, date, lines, changes);
  try {
    t->Commit();
  } catch (...) {
    std::error_code ec;
    if (!log_file.empty()) std::filesystem::remove(log_file, ec);
    throw;
  }
}

class TStkb17SvrController final : public TSvrController {
 public:
  void GetMessages(std::u16string& text) override { text = Utf8ToUtf16(messages_); }
  // Never raises across the library's edge: a failure is kept as the text
  // GetMessages gives back.
  void Run(const Variant& args) override {
    messages_.clear();
    try {
      Recount(ParseArgs(args));
    } catch (const TJobError& e) {
      messages_ = kFailed + e.Reason;
    } catch (const std::exception& e) {
      messages_ = kFailed + e.what();
    } catch (...) {
      messages_ = kFailed + "未知的错误";
    }
  }

 private:
  static inline const std::string kFailed = "盘点帐面量重计失败: ";
  std::string messages_;
};

}  // namespace
}  // namespace vx::jobs

extern "C" __attribute__((visibility("default"))) vx::TSvrController* GetSvrController() {
  try {
    return new vx::jobs::TStkb17SvrController();
  } catch (...) {
    return nullptr;
  }
}
