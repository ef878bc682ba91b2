// jobs_bench [ROWS LINES]: the recount of a LINES-line worksheet over a
// ROWS-entry ledger (default 10,000,000 and 20,000) through the job's server
// library, against the same balances set by one hand-written UPDATE run
// straight on the engine over a fresh copy of the same database. Prints both
// times, their ratio, and fails when the two give different quantities.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/svrctrl.h"
#include "platform/os/dynlib.h"
#include "platform/rtl/text.h"
#include "suite/demodb/demodb.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc == SQLITE_OK || rc == SQLITE_DONE) return;
  std::fprintf(stderr, "jobs_bench: %s: %s\n", what, sqlite3_errmsg(db));
  std::exit(1);
}

// The bare shape: one correlated UPDATE in one transaction, nothing around it.
double BareRecount(const std::string& file) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(file.c_str(), &db), db, "open");
  auto start = Clock::now();
  Check(sqlite3_exec(db,
                     "BEGIN IMMEDIATE;"
                     "UPDATE INVTF SET TF005 = ROUND(COALESCE((SELECT SUM(LA011) FROM INVLA"
                     " WHERE LA001 = INVTF.TF003 AND LA009 = INVTF.TF004 AND LA004 <= '20241231'),"
                     " 0), 3) WHERE TF001 = 'WBENCH';"
                     "COMMIT;",
                     nullptr, nullptr, nullptr),
        db, "bare recount");
  double t = Seconds(start);
  sqlite3_close(db);
  return t;
}

// Through the library as the batch run calls it: load, controller, run, messages.
double LibraryRecount(const std::string& folder) {
  ::setenv("VX_JOB_CONNECT", vx::demo::DemoConnectionString(folder).c_str(), 1);
  auto start = Clock::now();
  vx::TDynLib lib(VX_STKB17S_LIBRARY);
  auto get = lib.Function<vx::TGetSvrControllerFunc>("GetSvrController");
  if (!get) {
    std::fprintf(stderr, "jobs_bench: %s\n", lib.Error().c_str());
    std::exit(1);
  }
  std::unique_ptr<vx::TSvrController> c(get());
  vx::Variant values = vx::VarArrayCreate(1, 4);
  values[1] = vx::demo::kLargeWorksheet;
  values[2] = "";
  values[3] = "N";
  values[4] = "";
  c->Run(vx::VarArrayOf(
      {"BENCH0001", vx::demo::kCompanyID, "DS", values, vx::demo::kSystemDbName, "", 3}));
  std::u16string messages;
  c->GetMessages(messages);
  double t = Seconds(start);
  if (!messages.empty()) {
    std::fprintf(stderr, "jobs_bench: %s\n", vx::Utf16ToUtf8(messages).c_str());
    std::exit(1);
  }
  return t;
}

std::vector<std::string> Quantities(const std::string& file) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(file.c_str(), &db), db, "open");
  sqlite3_stmt* q = nullptr;
  Check(sqlite3_prepare_v2(db, "SELECT TF005 FROM INVTF WHERE TF001 = 'WBENCH' ORDER BY TF002", -1,
                           &q, nullptr),
        db, "read");
  std::vector<std::string> out;
  while (sqlite3_step(q) == SQLITE_ROW)
    out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
  sqlite3_finalize(q);
  sqlite3_close(db);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::int64_t rows = 10'000'000;
  std::int64_t lines = 20'000;
  if (argc == 3) {
    auto r = vx::TryStrToInt64(argv[1]), l = vx::TryStrToInt64(argv[2]);
    if (!r || !l || *r < 0 || *r > vx::demo::kMaxLedgerRows || *l < 1 ||
        *l > vx::demo::kMaxWorksheetLines) {
      std::fprintf(stderr, "usage: jobs_bench [ROWS LINES]\n");
      return 2;
    }
    rows = *r;
    lines = *l;
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: jobs_bench [ROWS LINES]\n");
    return 2;
  }
  std::string tmpl = (std::filesystem::temp_directory_path() / "vx_jobs_bench_XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return 1;
  const std::string root = tmpl, lib_dir = root + "/library", bare_dir = root + "/bare";
  int rc = 0;
  try {
    auto start = Clock::now();
    vx::demo::CreateLargeDemoDatabases(
        lib_dir, {rows, static_cast<int>(lines), [](std::int64_t done, std::int64_t total) {
                    std::fprintf(stderr, "\rjobs_bench: ledger %lld of %lld entries",
                                 static_cast<long long>(done), static_cast<long long>(total));
                  }});
    std::filesystem::create_directories(bare_dir);
    for (const char* f : {vx::demo::kCompanyFileName, vx::demo::kSystemFileName})
      std::filesystem::copy_file(lib_dir + "/" + f, bare_dir + "/" + f);
    std::fprintf(stderr, "\njobs_bench: databases ready in %.1f s\n", Seconds(start));

    // Alternate the two, so that neither gains from the other's warm cache.
    std::vector<double> lib_t, bare_t;
    for (int i = 0; i < kRounds; ++i) {
      bare_t.push_back(BareRecount(bare_dir + "/" + vx::demo::kCompanyFileName));
      lib_t.push_back(LibraryRecount(lib_dir));
    }
    if (Quantities(lib_dir + "/" + vx::demo::kCompanyFileName) !=
        Quantities(bare_dir + "/" + vx::demo::kCompanyFileName)) {
      std::fprintf(stderr, "jobs_bench: the library and the bare statement disagree\n");
      rc = 1;
    }
    double lib_best = *std::min_element(lib_t.begin(), lib_t.end());
    double bare_best = *std::min_element(bare_t.begin(), bare_t.end());
    std::printf("recount of %lld lines over %lld ledger entries (best of %d)\n",
                static_cast<long long>(lines), static_cast<long long>(rows), kRounds);
    std::printf("  through STKB17S:     %8.3f s\n", lib_best);
    std::printf("  hand-written UPDATE: %8.3f s\n", bare_best);
    std::printf("  ratio:               %8.2f\n", bare_best > 0 ? lib_best / bare_best : 0.0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jobs_bench: %s\n", e.what());
    rc = 1;
  }
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return rc;
}
