#include "suite/demodb/demodb.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/os/paths.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx::demo {
namespace scripts {
const std::string& system();
const std::string& company();
}  // namespace scripts

const std::string& SystemScript() {
  return scripts::system();
}
const std::string& CompanyScript() {
  return scripts::company();
}

std::string DemoConnectionString(const std::string& folder) {
  // Quoted, so that a folder may hold ";" or "=".
  auto quoted = [](const std::string& path) {
    std::string q = "\"";
    for (char c : path)
      q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
  };
  return "Provider=SQLite;Data Source=" + quoted(JoinPath(folder, kCompanyFileName)) + ";Attach " +
         kSystemDbName + "=" + quoted(JoinPath(folder, kSystemFileName));
}

namespace {

// A small generator of our own rather than a standard distribution, whose
// results differ between library versions: the seed data must be the same
// everywhere.
class TRandom {
 public:
  explicit TRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [low, high].
  int Between(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }

 private:
  std::uint64_t state_;
};

// Days since 1970-01-01 to "YYYYMMDD" (proleptic Gregorian calendar).
std::string DayText(int days) {
  int z = days + 719468;
  int era = (z >= 0 ? z : z - 146096) / 146097;
  int doe = z - era * 146097;
  int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int y = yoe + era * 400;
  int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int mp = (5 * doy + 2) / 153;
  int d = doy - (153 * mp + 2) / 5 + 1;
  int m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char text[40];
  std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
  return text;
}

constexpr int kFirstDay = 19358;  // 2023-01-01
constexpr int kLastDay = 20453;   // 2025-12-31
constexpr std::array<const char*, 3> kWarehouses{"WH01", "WH02", "WH03"};

struct TEntry {
  std::string Date;
  int Direction;
  std::string Kind;
  double Quantity;  // signed
};

struct TPair {
  std::string Item;
  std::string Warehouse;
  std::string Unit;
  std::vector<TEntry> Entries;  // by date
  double BalanceAt(const std::string& date) const {
    double sum = 0;
    for (const TEntry& e : Entries)
      if (e.Date <= date) sum += e.Quantity;
    return sum;
  }
};

// Quantities in units that are measured come in halves, others whole: both
// add up exactly in binary floating point.
double Quantity(TRandom& rng, const std::string& unit, int low, int high) {
  int q = rng.Between(low, high);
  bool measured = unit == "M" || unit == "KG";
  return measured ? q + (rng.Between(0, 1) ? 0.5 : 0.0) : q;
}

std::vector<TPair> SeedLedger(db::ISession& s) {
  TRandom rng(20241231);
  std::vector<std::pair<std::string, std::string>> items;
  auto q = s.Prepare("SELECT MB001, MB004 FROM INVMB ORDER BY MB001");
  while (q->Step())
    items.emplace_back(std::string(q->ColumnText(0)), std::string(q->ColumnText(1)));
  std::vector<TPair> pairs;
  for (const auto& [item, unit] : items) {
    // Every item is kept in the main warehouse, most in one or two others.
    for (std::size_t w = 0; w < kWarehouses.size(); ++w) {
      if (w > 0 && rng.Between(0, 9) < 3) continue;
      TPair p{item, kWarehouses[w], unit, {}};
      double balance = 0;
      int day = kFirstDay + rng.Between(0, 20);
      while (day <= kLastDay) {
        bool receipt = balance <= 0 || rng.Between(0, 99) < 40;
        TEntry e{DayText(day), receipt ? 1 : -1, "", 0};
        if (receipt) {
          e.Kind = rng.Between(0, 4) == 0 ? "1101" : "3401";
          e.Quantity = Quantity(rng, unit, 20, 200);
        } else {
          e.Kind = rng.Between(0, 3) == 0 ? "1201" : "2301";
          double want = Quantity(rng, unit, 5, 120);
          e.Quantity = -std::min(want, balance);
        }
        if (e.Quantity != 0) {
          balance += e.Quantity;
          p.Entries.push_back(std::move(e));
        }
        day += rng.Between(2, 21);
      }
      pairs.push_back(std::move(p));
    }
  }
  auto ins = s.Prepare(
      "INSERT INTO INVLA (LA001, LA004, LA005, LA006, LA007, LA008, LA009, LA011) "
      "VALUES (:LA001, :LA004, :LA005, :LA006, :LA007, :LA008, :LA009, :LA011)");
  // Documents are numbered per kind and day; each pair's entry is one line.
  std::map<std::string, int> lines;
  for (const TPair& p : pairs) {
    for (const TEntry& e : p.Entries) {
      int line = ++lines[e.Kind + e.Date];
      ins->Bind(0, p.Item);
      ins->Bind(1, e.Date);
      ins->Bind(2, std::int32_t{e.Direction});
      ins->Bind(3, e.Kind);
      ins->Bind(4, e.Date + "001");
      ins->Bind(5, std::int32_t{line});
      ins->Bind(6, p.Warehouse);
      ins->Bind(7, e.Quantity);
      ins->Execute();
    }
  }
  return pairs;
}

// Worksheet lines whose book quantities were copied some weeks before the
// stocktaking date, so that a recount has something to correct; the counted
// quantities differ a little from the true balance.
void SeedWorksheetLines(db::ISession& s, const std::vector<TPair>& pairs) {
  TRandom rng(20250630);
  auto ins = s.Prepare(
      "INSERT INTO INVTF (TF001, TF002, TF003, TF004, TF005, TF006) "
      "VALUES (:TF001, :TF002, :TF003, :TF004, :TF005, :TF006)");
  auto add = [&](const std::string& sheet, int line, const std::string& item, const std::string& wh,
                 double book, double counted) {
    ins->Bind(0, sheet);
    ins->Bind(1, std::int32_t{line});
    ins->Bind(2, item);
    ins->Bind(3, wh);
    ins->Bind(4, book);
    ins->Bind(5, std::max(0.0, counted));
    ins->Execute();
  };
  struct TSheet {
    const char* Number;
    const char* Date;
    const char* Copied;  // when the book quantities were taken
    const char* Warehouse;
    std::size_t Lines;
  };
  const TSheet sheets[] = {{"W24001", "20241231", "20241115", "", 30},
                           {"W25006", "20250630", "20250601", "WH01", 1000},
                           {"W25009", "20250930", "20250820", "WH03", 12}};
  for (const TSheet& sh : sheets) {
    std::vector<const TPair*> chosen;
    for (const TPair& p : pairs)
      if (!*sh.Warehouse || p.Warehouse == sh.Warehouse) chosen.push_back(&p);
    // A fixed shuffle, then the first lines in item order.
    for (std::size_t i = chosen.size(); i > 1; --i)
      std::swap(chosen[i - 1], chosen[static_cast<std::size_t>(rng.Next() % i)]);
    chosen.resize(std::min(chosen.size(), sh.Lines));
    std::sort(chosen.begin(), chosen.end(), [](const TPair* a, const TPair* b) {
      return std::tie(a->Item, a->Warehouse) < std::tie(b->Item, b->Warehouse);
    });
    int line = 0;
    for (const TPair* p : chosen) {
      double truth = p->BalanceAt(sh.Date);
      add(sh.Number, ++line, p->Item, p->Warehouse, p->BalanceAt(sh.Copied),
          truth + rng.Between(-2, 2));
    }
  }
  // An item never moved in the store: its recounted book quantity is 0.
  add("W25009", 99, "F6004", "WH03", 4, 0);
}

std::unique_ptr<db::ISession> CreateFile(const std::string& file) {
  db::TConnectionSettings cs;
  cs.DataSource = file;
  cs.Create = true;
  return db::OpenSession(cs);
}

void Remove(const std::string& file) {
  std::error_code ec;
  for (const char* suffix : {"", "-journal", "-wal", "-shm"})
    std::filesystem::remove(file + suffix, ec);
}

}  // namespace

void CreateDemoDatabases(const std::string& folder) {
  std::string error;
  if (!ForceDirectories(folder, &error))
    throw Exception("Cannot create the folder \"" + folder + "\": " + error);
  const std::string sys_file = JoinPath(folder, kSystemFileName);
  const std::string co_file = JoinPath(folder, kCompanyFileName);
  Remove(sys_file);
  Remove(co_file);
  try {
    {
      auto sys = CreateFile(sys_file);
      db::TTransaction t(*sys);
      sys->ExecuteScript(SystemScript());
      t.Commit();
    }
    auto co = CreateFile(co_file);
    db::TTransaction t(*co);
    co->ExecuteScript(CompanyScript());
    SeedWorksheetLines(*co, SeedLedger(*co));
    t.Commit();
  } catch (...) {
    Remove(sys_file);
    Remove(co_file);
    throw;
  }
}

void GenerateLargeLedger(db::ISession& s, const TLedgerOptions& o) {
  if (o.Rows < 0 || o.Rows > kMaxLedgerRows)
    throw Exception("The number of ledger entries must lie between 0 and " +
                    IntToStr(kMaxLedgerRows));
  if (o.Lines < 0 || o.Lines > kMaxWorksheetLines)
    throw Exception("The number of worksheet lines must lie between 0 and " +
                    IntToStr(kMaxWorksheetLines));
  const std::int64_t wh_count = static_cast<std::int64_t>(kWarehouses.size());
  // Enough items for one line per item and warehouse, at least one.
  const std::int64_t items = std::max<std::int64_t>(1, (o.Lines + wh_count - 1) / wh_count);
  const std::int64_t pairs = items * wh_count;
  TRandom rng(10'000'000);
  db::TTransaction t(s);
  auto item =
      s.Prepare("INSERT INTO INVMB (MB001, MB002, MB003, MB004) VALUES (:A, :B, '', 'PCS')");
  auto code = [](std::int64_t i) { return Format("G%07lld", static_cast<long long>(i)); };
  for (std::int64_t i = 1; i <= items; ++i) {
    item->Bind(0, code(i));
    item->Bind(1, "生成物料 " + IntToStr(i));
    item->Execute();
  }
  // Entries per item and warehouse in date order, pairs in key order, so
  // that the table and its indexes grow at their ends.
  auto ins = s.Prepare(
      "INSERT INTO INVLA (LA001, LA004, LA005, LA006, LA007, LA008, LA009, LA011) "
      "VALUES (:LA001, :LA004, :LA005, 'G001', :LA007, 1, :LA009, :LA011)");
  const int span = kLastDay - kFirstDay + 1;
  std::int64_t done = 0;
  std::int64_t next_report = 0;
  const std::int64_t step = std::max<std::int64_t>(1, o.Rows / 100);
  for (std::int64_t p = 0; p < pairs && done < o.Rows; ++p) {
    const std::int64_t n = o.Rows / pairs + (p < o.Rows % pairs ? 1 : 0);
    const std::string item_code = code(p / wh_count + 1);
    const std::string wh = kWarehouses[static_cast<std::size_t>(p % wh_count)];
    std::int64_t balance = 0;
    for (std::int64_t k = 0; k < n; ++k) {
      const int day = kFirstDay + static_cast<int>(k * span / n);
      const bool receipt = balance < 10 || rng.Between(0, 1) == 0;
      const std::int64_t qty =
          receipt ? rng.Between(10, 100) : -std::min<std::int64_t>(balance, rng.Between(1, 50));
      balance += qty;
      ins->Bind(0, item_code);
      ins->Bind(1, DayText(day));
      ins->Bind(2, std::int32_t{receipt ? 1 : -1});
      ins->Bind(3, Format("G%010lld", static_cast<long long>(done + 1)));
      ins->Bind(4, wh);
      ins->Bind(5, qty);
      ins->Execute();
      if (++done >= next_report) {
        if (o.Progress) o.Progress(done, o.Rows);
        next_report = done + step;
      }
    }
  }
  if (o.Progress) o.Progress(done, o.Rows);
  if (o.Lines > 0) {
    s.Execute("INSERT INTO INVTE (TE001, TE002, TE003, TE004) VALUES (:A, :B, :C, '')",
              {{"A", kLargeWorksheet}, {"B", kLargeWorksheetDate}, {"C", "生成的大盘点底稿"}});
    auto line = s.Prepare(
        "INSERT INTO INVTF (TF001, TF002, TF003, TF004, TF005, TF006) "
        "VALUES (:A, :B, :C, :D, -1, 0)");
    for (int l = 0; l < o.Lines; ++l) {
      line->Bind(0, kLargeWorksheet);
      line->Bind(1, std::int32_t{l + 1});
      line->Bind(2, code(l / wh_count + 1));
      line->Bind(3, kWarehouses[static_cast<std::size_t>(l % wh_count)]);
      line->Execute();
    }
  }
  t.Commit();
}

void CreateLargeDemoDatabases(const std::string& folder, const TLedgerOptions& options) {
  CreateDemoDatabases(folder);
  auto s = db::OpenSession(DemoConnectionString(folder));
  s->ExecuteScript("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF");
  GenerateLargeLedger(*s, options);
  s->ExecuteScript("ANALYZE");
}

}  // namespace vx::demo
