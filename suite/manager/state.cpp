#include "suite/manager/state.h"

#include "platform/db/connection_string.h"
#include "platform/os/paths.h"
#include "platform/rtl/text.h"

namespace vx::manager {
namespace {

constexpr std::size_t kMaxFileNameLength = 255;

// A value of a connection string, quoted so that ";" and "=" in a path stay
// part of it.
std::string QuotedValue(std::string_view value) {
  std::string out = "\"";
  for (char c : value) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::unique_ptr<db::ISession> Open(const db::TConnectionSettings& settings, std::string_view what) {
  try {
    return db::OpenSession(settings);
  } catch (const Exception& e) {
    Refuse("Cannot open the " + std::string(what) + ": " + e.Message());
  }
}

}  // namespace

void Refuse(const std::string& reason) {
  throw EOleException(reason, kManagerClassID);
}

void RequireArgs(std::span<Arg> args, std::size_t n, std::string_view method) {
  if (args.size() < n)
    throw EOleSysError(
        std::string(method) + " needs " + IntToStr(static_cast<std::int64_t>(n)) + " arguments",
        DISP_E_BADPARAMCOUNT);
}

namespace {
std::string BoundedText(const Variant& v, std::string_view what, std::size_t max_length) {
  if (v.IsArray() || v.IsDispatch()) Refuse(std::string(what) + " must be a text");
  std::string text;
  try {
    text = VarToStr(v);
  } catch (const Exception&) {
    Refuse(std::string(what) + " must be a text");
  }
  if (text.size() > max_length)
    Refuse(std::string(what) + " is longer than " +
           IntToStr(static_cast<std::int64_t>(max_length)) + " bytes");
  return text;
}
}  // namespace

std::string TextArg(std::span<Arg> args, std::size_t index, std::string_view what,
                    std::size_t max_length) {
  if (index >= args.size()) Refuse(std::string(what) + " is missing");
  return BoundedText(args[index].get(), what, max_length);
}

std::string TextElement(const Variant& array, int index, std::string_view what,
                        std::size_t max_length) {
  if (!array.IsArray() || array.DimCount() != 1) return {};
  if (index < array.LowBound() || index > array.HighBound()) return {};
  return BoundedText(array[index], what, max_length);
}

TRows ReadRows(db::IStatement& statement, std::size_t max_rows) {
  TRows rows;
  const int columns = statement.ColumnCount();
  while (statement.Step()) {
    if (rows.size() >= max_rows)
      Refuse("The query gives more than " + IntToStr(static_cast<std::int64_t>(max_rows)) +
             " rows");
    std::vector<Variant>& row = rows.emplace_back();
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
      row.push_back(statement.Column(c));
  }
  return rows;
}

Variant RowsToVariant(const TRows& rows) {
  if (rows.empty()) return Unassigned;
  Variant result = VarArrayCreate(0, static_cast<int>(rows.size()) - 1);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    Variant row = VarArrayCreate(0, static_cast<int>(rows[r].size()) - 1);
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      row[static_cast<int>(c)] = rows[r][c];
    result[static_cast<int>(r)] = std::move(row);
  }
  return result;
}

TManagerState::TManagerState(TManagerConfig config)
    : Config(std::move(config)),
      Scripted(std::make_shared<TScriptedAnswerer>()),
      Answerer(Scripted) {}

std::string TManagerState::SystemName(std::string_view system_db) const {
  std::string name = Trim(system_db.empty() ? std::string_view(Config.SystemDB) : system_db);
  if (!db::IsDatabaseName(name) || name.size() > kMaxNameLength)
    Refuse("\"" + name.substr(0, kMaxNameLength) + "\" cannot name a system database");
  return name;
}

std::string TManagerState::SystemFile(std::string_view system_db) const {
  std::string file = JoinPath(Config.DataFolder, SystemName(system_db) + ".db");
  if (!FileExists(file)) Refuse("The system database file \"" + file + "\" does not exist");
  return file;
}

std::string TManagerState::CompanyFile(std::string_view company, std::string_view system_db) const {
  const std::string id = Trim(company);
  if (id.empty()) Refuse("No company was given");
  if (id.size() > kMaxNameLength) Refuse("The company identifier is too long");
  auto session = OpenSystem(system_db);
  std::string name;
  bool found = false;
  try {
    auto q = session->Prepare("SELECT MA003 FROM DSCMA WHERE MA001 = :MA001");
    q->Bind("MA001", id);
    if (q->Step()) {
      found = true;
      name = Trim(q->ColumnText(0));
    }
  } catch (const Exception& e) {
    Refuse("Cannot read the company table: " + e.Message());
  }
  if (!found) Refuse("The company \"" + id + "\" is not in the company table");
  // Only a plain file name: the table must not lead outside the data folder.
  if (name.empty() || name.size() > kMaxFileNameLength || ExtractFileName(name) != name ||
      name == "." || name == ".." || HasDriveOrShare(name))
    Refuse("The company \"" + id + "\" names no valid database file");
  std::string file = JoinPath(Config.DataFolder, name);
  if (!FileExists(file))
    Refuse("The database file \"" + file + "\" of company \"" + id + "\" does not exist");
  return file;
}

std::string TManagerState::ConnectionString(std::string_view company,
                                            std::string_view system_db) const {
  const std::string name = SystemName(system_db);
  const std::string company_file = CompanyFile(company, name);
  return "Provider=SQLite;Data Source=" + QuotedValue(company_file) + ";Attach " + name + "=" +
         QuotedValue(SystemFile(name));
}

std::unique_ptr<db::ISession> TManagerState::OpenSystem(std::string_view system_db) const {
  const std::string name = SystemName(system_db);
  db::TConnectionSettings settings;
  settings.DataSource = SystemFile(name);
  settings.ReadOnly = true;
  settings.Attached.push_back({name, settings.DataSource});
  return Open(settings, "system database " + name);
}

std::unique_ptr<db::ISession> TManagerState::OpenCompany(std::string_view company,
                                                         std::string_view system_db) const {
  const std::string name = SystemName(system_db);
  db::TConnectionSettings settings;
  settings.DataSource = CompanyFile(company, name);
  settings.ReadOnly = true;
  settings.Attached.push_back({name, SystemFile(name)});
  return Open(settings, "database of company " + Trim(company));
}

std::unique_ptr<db::ISession> TManagerState::OpenFor(std::string_view company,
                                                     std::string_view system_db) const {
  return Trim(company).empty() ? OpenSystem(system_db) : OpenCompany(company, system_db);
}

}  // namespace vx::manager
