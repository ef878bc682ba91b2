#pragma once
// The demo company: its two SQLite databases built from the scripts in
// demo/sql (embedded at build time) plus a stock ledger and worksheet lines
// generated from a fixed seed, and a large ledger for benchmarks.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/db/engine.h"

namespace vx::demo {

// The system database is attached under this name; the company is "DEMO".
inline constexpr const char* kSystemDbName = "VXSYS";
inline constexpr const char* kCompanyID = "DEMO";
inline constexpr const char* kSystemFileName = "VXSYS.db";
inline constexpr const char* kCompanyFileName = "DEMO.db";

// The scripts as shipped in demo/sql.
const std::string& SystemScript();
const std::string& CompanyScript();

// "Provider=SQLite;Data Source=<folder>/DEMO.db;Attach VXSYS=<folder>/VXSYS.db".
std::string DemoConnectionString(const std::string& folder);

// Creates both databases fresh in the folder (made when missing; files of
// the same names are replaced): schema and fixed data from the scripts, then
// the seeded ledger of 2023 to 2025 and the worksheet lines with stale book
// quantities. Raises vx::Exception (or EDBEngineError) on failure; a failed
// build leaves no half-made file behind.
void CreateDemoDatabases(const std::string& folder);

struct TLedgerOptions {
  // Ledger entries to add (on generated items, in three warehouses).
  std::int64_t Rows = 0;
  // Lines of the generated worksheet kLargeWorksheet, one per item and
  // warehouse.
  int Lines = 0;
  // Called now and then with the entries written so far.
  std::function<void(std::int64_t done, std::int64_t total)> Progress;
};
inline constexpr const char* kLargeWorksheet = "WBENCH";
inline constexpr const char* kLargeWorksheetDate = "20241231";
inline constexpr std::int64_t kMaxLedgerRows = 1'000'000'000;
inline constexpr int kMaxWorksheetLines = 1'000'000;

// Adds the generated items, ledger entries and the large worksheet to the
// company database of an open session, in one transaction.
void GenerateLargeLedger(db::ISession& company, const TLedgerOptions& options);

// CreateDemoDatabases, then GenerateLargeLedger with the settings of a bulk
// load (no journal: a failed build is simply built again) and fresh
// statistics for the planner.
void CreateLargeDemoDatabases(const std::string& folder, const TLedgerOptions& options);

}  // namespace vx::demo
